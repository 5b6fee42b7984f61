// The lossless block writers: plane 0 goes to the first byte of a pixel,
// plane 1 to the second, plane 2 to the third, plane 3 to the fourth.
#include <cstring>

#include "eri/eri_image_decoder.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace eri {
namespace {

constexpr std::uint32_t kColourAlphaFormat = kAlphaFormatBit | kColourFormat;
// Bytes ahead of a stored row that are fetched for the blocks that follow.
constexpr std::ptrdiff_t kPrefetchDistance = 256;

#if defined(__SSE2__)
inline __m128i load(const std::int32_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
#endif

// Bytes packColourRow may store past the end of the row.
constexpr std::int32_t kRowOverrun = 2;

// The low bytes of the three planes' samples, pixel by pixel.
void packColourRow(std::uint8_t* line, const std::int32_t* p0, const std::int32_t* p1,
                   const std::int32_t* p2, std::int32_t width) {
    std::int32_t x = 0;
#ifdef __SSE2__
    // Four pixels at a time: 24-bit words, two squeezed into each 64-bit
    // half, each half stored as eight bytes of which six count.
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i lowWords = _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF);
    for (; x + 4 <= width; x += 4) {
        const __m128i b = _mm_and_si128(load(p0 + x), lowByte);
        const __m128i g = _mm_and_si128(load(p1 + x), lowByte);
        const __m128i r = _mm_and_si128(load(p2 + x), lowByte);
        const __m128i words =
            _mm_or_si128(b, _mm_or_si128(_mm_slli_epi32(g, 8), _mm_slli_epi32(r, 16)));
        const __m128i halves = _mm_or_si128(_mm_and_si128(words, lowWords),
                                            _mm_srli_epi64(_mm_andnot_si128(lowWords, words), 8));
        std::uint8_t* const out = line + 3 * x;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), halves);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 6), _mm_srli_si128(halves, 8));
    }
#endif
    for (; x < width; ++x) {
        line[3 * x] = static_cast<std::uint8_t>(p0[x]);
        line[3 * x + 1] = static_cast<std::uint8_t>(p1[x]);
        line[3 * x + 2] = static_cast<std::uint8_t>(p2[x]);
    }
}

// The low bytes of the first `Planes` planes of a block (planes `area`
// apart, rows `side` apart) to the first bytes of pixels `step` bytes apart;
// the pixels' other bytes are left alone.
template <int Planes>
void storePlaneBytes(const std::int32_t* block, std::int32_t area, std::int32_t side,
                     std::uint8_t* destination, std::int32_t stride, std::int32_t width,
                     std::int32_t height, std::int32_t step) {
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * stride;
        const std::int32_t* row = block + y * side;
        for (std::int32_t x = 0; x < width; ++x, out += step) {
            for (int p = 0; p < Planes; ++p) {
                out[p] = static_cast<std::uint8_t>(row[p * area + x]);
            }
        }
    }
}

}  // namespace

EriImageDecoder::BlockWriter EriImageDecoder::selectLosslessWriter(std::uint32_t formatType,
                                                                   std::int32_t bitsPerPixel) {
    bytesPerPixel = bitsPerPixel >> 3;
    if (formatType == kColourFormat) {
        if (bitsPerPixel == 16) {
            return &EriImageDecoder::writeColour555;
        }
        if (bitsPerPixel == 24 || bitsPerPixel == 32) {
            return &EriImageDecoder::writeColourBytes;
        }
    } else if (formatType == kGreyFormat && bitsPerPixel == 8) {
        return &EriImageDecoder::writeGrey;
    } else if (formatType == kColourAlphaFormat && bitsPerPixel == 32) {
        return &EriImageDecoder::writeColourAlpha;
    }
    return nullptr;
}

void EriImageDecoder::writeColour555(std::uint8_t* destination, std::int32_t stride,
                                     std::int32_t width, std::int32_t height) {
    const std::int32_t* p0 = blockBuffer.get();
    const std::int32_t* p1 = p0 + blockArea;
    const std::int32_t* p2 = p1 + blockArea;
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* out = destination + static_cast<std::ptrdiff_t>(y) * stride;
        const std::int32_t row = y * blockSide;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t word = (static_cast<std::uint32_t>(p0[row + x]) & 0x1F) |
                                       (static_cast<std::uint32_t>(p1[row + x]) & 0x1F) << 5 |
                                       (static_cast<std::uint32_t>(p2[row + x]) & 0x1F) << 10;
            out[2 * x] = static_cast<std::uint8_t>(word);
            out[2 * x + 1] = static_cast<std::uint8_t>(word >> 8);
        }
    }
}

void EriImageDecoder::writeColourBytes(std::uint8_t* destination, std::int32_t stride,
                                       std::int32_t width, std::int32_t height) {
    const std::int32_t* p0 = blockBuffer.get();
    const std::int32_t* p1 = p0 + blockArea;
    const std::int32_t* p2 = p1 + blockArea;
    if (bytesPerPixel == 3) {
        // Each row is put together on the stack and stored in one go: the
        // picture's lines are far apart and mostly not yet in the cache.
        std::uint8_t line[(3 << kMaxLosslessDegree) + kRowOverrun];
        for (std::int32_t y = 0; y < height; ++y) {
            const std::int32_t row = y * blockSide;
            packColourRow(line, p0 + row, p1 + row, p2 + row, width);
            std::uint8_t* const out = destination + static_cast<std::ptrdiff_t>(y) * stride;
            // The blocks to the right come soon: ask for their lines now, so
            // that their stores do not wait on memory one after another.
            __builtin_prefetch(out + kPrefetchDistance, 1);
            std::memcpy(out, line, static_cast<std::size_t>(3 * width));
        }
        return;
    }
    // 32 bits without alpha: the fourth byte of each pixel is left alone.
    storePlaneBytes<3>(p0, blockArea, blockSide, destination, stride, width, height, 4);
}

void EriImageDecoder::writeGrey(std::uint8_t* destination, std::int32_t stride, std::int32_t width,
                                std::int32_t height) {
    storePlaneBytes<1>(blockBuffer.get(), blockArea, blockSide, destination, stride, width, height,
                       1);
}

void EriImageDecoder::writeColourAlpha(std::uint8_t* destination, std::int32_t stride,
                                       std::int32_t width, std::int32_t height) {
    storePlaneBytes<4>(blockBuffer.get(), blockArea, blockSide, destination, stride, width, height,
                       4);
}

}  // namespace eri
