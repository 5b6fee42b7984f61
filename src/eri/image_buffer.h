// Where the decoder stores a picture; the caller owns the pixels.
#pragma once

#include <cstdint>

namespace eri {

struct ImageBuffer {
    std::uint32_t formatType = 0;    // as in ImageInfo: 1 colour, 2 grey, 0x04000001 with alpha
    std::uint8_t* pixels = nullptr;  // first line in memory
    std::int32_t width = 0;
    std::int32_t height = 0;        // positive
    std::int32_t bitsPerPixel = 0;  // 8, 16, 24 or 32
    std::int32_t stride = 0;        // bytes from one line in memory to the next; may be negative
};

}  // namespace eri
