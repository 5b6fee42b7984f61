#include "tga_row_encoder.h"

#include <algorithm>
#include <cstring>

namespace tinta {
namespace {

// Equal keys mean equal bytes, so the hot loops compare the bytes directly;
// a fixed size lets the compiler turn the comparison into one load each.
template <int kPixelSize>
inline bool SamePixel(const uint8_t* a, const uint8_t* b) {
    return std::memcmp(a, b, kPixelSize) == 0;
}

template <int kPixelSize>
size_t CountRaw(const uint8_t* pixels, size_t count) {
    if (count <= 1) {
        return count;
    }
    size_t different = 0;
    while (different + 1 < count && !SamePixel<kPixelSize>(pixels + different * kPixelSize,
                                                           pixels + (different + 1) * kPixelSize)) {
        ++different;
    }
    return different;
}

template <int kPixelSize>
size_t CountRun(const uint8_t* pixels, size_t count) {
    if (count == 0) {
        return 0;
    }
    size_t same = 1;
    while (same < count && SamePixel<kPixelSize>(pixels, pixels + same * kPixelSize)) {
        ++same;
    }
    return same;
}

template <int kPixelSize>
size_t EncodeRow(const uint8_t* pixels, uint8_t* out, size_t count) {
    uint8_t* const start = out;
    while (count > 0) {
        // Both measures are capped at one packet, so they need not look
        // further: 129 pixels decide whether a raw packet reaches 128, and
        // 128 whether a run does. The packets are the same as with the
        // measures taken over the whole rest of the row.
        const size_t raw = std::min(CountRaw<kPixelSize>(pixels, std::min(count, size_t{129})),
                                    kTgaMaxPacketPixels);
        if (raw > 0) {
            *out++ = static_cast<uint8_t>(raw - 1);
            std::memcpy(out, pixels, raw * kPixelSize);
            out += raw * kPixelSize;
            pixels += raw * kPixelSize;
            count -= raw;
            continue;
        }
        const size_t run = CountRun<kPixelSize>(pixels, std::min(count, kTgaMaxPacketPixels));
        *out++ = static_cast<uint8_t>(0x80 | (run - 1));
        std::memcpy(out, pixels, kPixelSize);
        out += kPixelSize;
        pixels += run * kPixelSize;
        count -= run;
    }
    return static_cast<size_t>(out - start);
}

}  // namespace

uint32_t PixelKey(const uint8_t* pixel, int pixelSize) {
    uint32_t key = 0;
    for (int i = 0; i < pixelSize; ++i) {
        key = key << 8 | pixel[i];
    }
    return key;
}

size_t CountRawPixels(const uint8_t* pixels, int pixelSize, size_t count) {
    switch (pixelSize) {
        case 1:
            return CountRaw<1>(pixels, count);
        case 2:
            return CountRaw<2>(pixels, count);
        case 3:
            return CountRaw<3>(pixels, count);
        case 4:
            return CountRaw<4>(pixels, count);
        default:
            return 0;
    }
}

size_t CountRunPixels(const uint8_t* pixels, int pixelSize, size_t count) {
    switch (pixelSize) {
        case 1:
            return CountRun<1>(pixels, count);
        case 2:
            return CountRun<2>(pixels, count);
        case 3:
            return CountRun<3>(pixels, count);
        case 4:
            return CountRun<4>(pixels, count);
        default:
            return 0;
    }
}

size_t EncodeTgaRow(const uint8_t* pixels, uint8_t* out, size_t count, int pixelSize) {
    switch (pixelSize) {
        case 1:
            return EncodeRow<1>(pixels, out, count);
        case 2:
            return EncodeRow<2>(pixels, out, count);
        case 3:
            return EncodeRow<3>(pixels, out, count);
        case 4:
            return EncodeRow<4>(pixels, out, count);
        default:
            return 0;
    }
}

}  // namespace tinta
