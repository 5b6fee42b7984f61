#include "packed_dib.h"

#include <cstring>
#include <limits>

#include "work_image.h"

namespace tinta {
namespace {

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint16_t Get16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | at[1] << 8);
}

uint32_t Get32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

bool IsSupportedDepth(int bitsPerPixel) {
    return bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

}  // namespace

int64_t DibRowStride(int32_t width, int bitsPerPixel) {
    if (width < 1 || !IsSupportedDepth(bitsPerPixel)) {
        return -1;
    }
    const int64_t bits = int64_t{width} * bitsPerPixel;
    return (bits + 31) / 32 * 4;
}

size_t DibPixelOffset(int bitsPerPixel) {
    return bitsPerPixel == 8 ? kDibHeaderSize + kDibColourTableSize : kDibHeaderSize;
}

int64_t DibBlockSize(int32_t width, int32_t height, int bitsPerPixel) {
    if (WorkImageByteCount(width, height) < 0) {
        return -1;
    }
    const int64_t stride = DibRowStride(width, bitsPerPixel);
    if (stride < 0) {
        return -1;
    }
    const int64_t imageSize = stride * height;
    if (imageSize > std::numeric_limits<uint32_t>::max()) {
        return -1;
    }
    return static_cast<int64_t>(DibPixelOffset(bitsPerPixel)) + imageSize;
}

DibHeader MakeDibHeader(int32_t width, int32_t height, int bitsPerPixel) {
    DibHeader header;
    header.width = width;
    header.height = height;
    header.bitsPerPixel = static_cast<uint16_t>(bitsPerPixel);
    header.imageSize = static_cast<uint32_t>(DibRowStride(width, bitsPerPixel) * height);
    return header;
}

void WriteDibHeader(const DibHeader& header, uint8_t* block) {
    Put32(block + 0, kDibHeaderSize);
    Put32(block + 4, static_cast<uint32_t>(header.width));
    Put32(block + 8, static_cast<uint32_t>(header.height));
    Put16(block + 12, header.planes);
    Put16(block + 14, header.bitsPerPixel);
    Put32(block + 16, header.compression);
    Put32(block + 20, header.imageSize);
    Put32(block + 24, static_cast<uint32_t>(header.xResolution));
    Put32(block + 28, static_cast<uint32_t>(header.yResolution));
    Put32(block + 32, header.coloursUsed);
    Put32(block + 36, header.importantColours);
}

std::optional<DibHeader> ReadDibHeader(const uint8_t* block, size_t blockSize) {
    if (block == nullptr || blockSize < kDibHeaderSize || Get32(block) != kDibHeaderSize) {
        return std::nullopt;
    }
    DibHeader header;
    header.width = static_cast<int32_t>(Get32(block + 4));
    header.height = static_cast<int32_t>(Get32(block + 8));
    header.planes = Get16(block + 12);
    header.bitsPerPixel = Get16(block + 14);
    header.compression = Get32(block + 16);
    header.imageSize = Get32(block + 20);
    header.xResolution = static_cast<int32_t>(Get32(block + 24));
    header.yResolution = static_cast<int32_t>(Get32(block + 28));
    header.coloursUsed = Get32(block + 32);
    header.importantColours = Get32(block + 36);
    if (header.compression != 0) {
        return std::nullopt;
    }
    const int64_t needed = DibBlockSize(header.width, header.height, header.bitsPerPixel);
    if (needed < 0 || static_cast<uint64_t>(needed) > blockSize) {
        return std::nullopt;
    }
    return header;
}

}  // namespace tinta
