// Pixel byte helpers shared by the SSE2 writers. In an unnamed namespace:
// the kernel files are compiled for different instruction sets, and their
// copies must never be merged.
#pragma once

#include <emmintrin.h>

namespace eri::detail {

namespace {

// Four 4-byte pixels to four 3-byte pixels in the low 12 bytes: per 64-bit
// half, pixel 0 in bytes 0..2 and pixel 1 in 3..5; then the high half joins at 6.
inline __m128i dropFourthBytes(__m128i pixels) {
    const __m128i evenPixel = _mm_set1_epi64x(0xFFFFFF);
    const __m128i oddPixel = _mm_set1_epi64x(0xFFFFFF000000);
    const __m128i halves = _mm_or_si128(_mm_and_si128(pixels, evenPixel),
                                        _mm_and_si128(_mm_srli_epi64(pixels, 8), oddPixel));
    const __m128i lowHalf = _mm_set_epi64x(0, -1);
    return _mm_or_si128(_mm_and_si128(halves, lowHalf),
                        _mm_srli_si128(_mm_andnot_si128(lowHalf, halves), 2));
}

}  // namespace

}  // namespace eri::detail
