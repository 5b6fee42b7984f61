#include "dib_conversion.h"

#include <cstring>

#include "packed_dib.h"

namespace tinta {
namespace {

uint8_t Widen5(unsigned field) {
    return static_cast<uint8_t>((field << 3) | (field >> 2));
}

void ConvertRow32(const uint8_t* source, uint8_t* target, int32_t width) {
    std::memcpy(target, source, static_cast<size_t>(width) * 4);
}

void ConvertRow24(const uint8_t* source, uint8_t* target, int32_t width) {
    for (int32_t x = 0; x < width; ++x, source += 3, target += 4) {
        target[0] = source[0];
        target[1] = source[1];
        target[2] = source[2];
    }
}

void ConvertRow16(const uint8_t* source, uint8_t* target, int32_t width) {
    for (int32_t x = 0; x < width; ++x, source += 2, target += 4) {
        const unsigned word = unsigned{source[0]} | unsigned{source[1]} << 8;
        target[0] = Widen5(word & 0x1F);
        target[1] = Widen5((word >> 5) & 0x1F);
        target[2] = Widen5((word >> 10) & 0x1F);
    }
}

void ConvertRow8(const uint8_t* source, const uint8_t* colourTable, uint8_t* target,
                 int32_t width) {
    for (int32_t x = 0; x < width; ++x, ++source, target += 4) {
        const uint8_t* entry = colourTable + size_t{*source} * 4;
        target[0] = entry[0];
        target[1] = entry[1];
        target[2] = entry[2];
    }
}

}  // namespace

bool ConvertFromDib(const uint8_t* dib, size_t dibSize, WorkImage& image) {
    const auto header = ReadDibHeader(dib, dibSize);
    if (!header || header->width != image.width || header->height != image.height ||
        image.pixels == nullptr) {
        return false;
    }
    const int bits = header->bitsPerPixel;
    const size_t stride = static_cast<size_t>(DibRowStride(header->width, bits));
    const uint8_t* rows = dib + DibPixelOffset(bits);
    const uint8_t* colourTable = dib + kDibHeaderSize;
    for (int32_t stored = 0; stored < header->height; ++stored) {
        const uint8_t* source = rows + static_cast<size_t>(stored) * stride;
        uint8_t* target = image.Row(image.height - 1 - stored);
        switch (bits) {
            case 32:
                ConvertRow32(source, target, image.width);
                break;
            case 24:
                ConvertRow24(source, target, image.width);
                break;
            case 16:
                ConvertRow16(source, target, image.width);
                break;
            default:
                ConvertRow8(source, colourTable, target, image.width);
                break;
        }
    }
    return true;
}

bool ConvertToDib(const WorkImage& image, uint8_t* dib, size_t dibSize) {
    const auto header = ReadDibHeader(dib, dibSize);
    if (!header || header->bitsPerPixel != 32 || header->width != image.width ||
        header->height != image.height || image.pixels == nullptr) {
        return false;
    }
    uint8_t* rows = dib + kDibHeaderSize;
    const size_t stride = image.RowBytes();
    for (int32_t stored = 0; stored < image.height; ++stored) {
        std::memcpy(rows + static_cast<size_t>(stored) * stride,
                    image.Row(image.height - 1 - stored), stride);
    }
    return true;
}

}  // namespace tinta
