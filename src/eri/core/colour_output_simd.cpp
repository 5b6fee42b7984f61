#include "eri/core/lossy_simd_kernels.h"

#ifdef ERI_FLOAT_SIMD

#include <emmintrin.h>

#include <cstring>

#include "eri/core/byte_packing.h"

namespace eri::detail {

void convertColourSimd(float* channel0, float* channel1, float* channel2, int count) {
    const __m128 vScale = _mm_set1_ps(1.5f);
    const __m128 uToGreen = _mm_set1_ps(0.375f);
    const __m128 vToGreen = _mm_set1_ps(0.75f);
    const __m128 uScale = _mm_set1_ps(1.75f);
    for (int i = 0; i < count; i += 8) {
        for (int half = 0; half < 8; half += 4) {
            const __m128 y = _mm_loadu_ps(channel0 + i + half);
            const __m128 u = _mm_loadu_ps(channel1 + i + half);
            const __m128 v = _mm_loadu_ps(channel2 + i + half);
            const __m128 green =
                _mm_sub_ps(_mm_sub_ps(y, _mm_mul_ps(uToGreen, u)), _mm_mul_ps(vToGreen, v));
            _mm_storeu_ps(channel0 + i + half, _mm_add_ps(y, _mm_mul_ps(vScale, v)));
            _mm_storeu_ps(channel1 + i + half, green);
            _mm_storeu_ps(channel2 + i + half, _mm_add_ps(y, _mm_mul_ps(uScale, u)));
        }
    }
}

namespace {

// Four pixels of four samples each, pixel-major, as 16 bytes: rounded (ties
// to even, the MXCSR mode) and saturated by the packing instructions. NaN and
// values out of the int32 range convert to 0x80000000 and so give 0, as in
// sampleToByte.
inline __m128i packPixels(__m128 c0, __m128 c1, __m128 c2, __m128 c3) {
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    const __m128i low = _mm_packs_epi32(_mm_cvtps_epi32(c0), _mm_cvtps_epi32(c1));
    const __m128i high = _mm_packs_epi32(_mm_cvtps_epi32(c2), _mm_cvtps_epi32(c3));
    return _mm_packus_epi16(low, high);
}

}  // namespace

void writePixelsSimd(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                     int planeStride, int width, int height, int planeCount, int pixelStep) {
    const __m128i keepFourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (int y = 0; y < height; ++y) {
        const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(y) * planeStride;
        std::uint8_t* line = dest + y * lineStep;
        for (int x = 0; x < width; x += 4) {
            const __m128 c0 = _mm_loadu_ps(planes[0] + row + x);
            const __m128 c1 = _mm_loadu_ps(planes[1] + row + x);
            const __m128 c2 = _mm_loadu_ps(planes[2] + row + x);
            const __m128 c3 = planeCount > 3 ? _mm_loadu_ps(planes[3] + row + x) : _mm_setzero_ps();
            __m128i pixels = packPixels(c0, c1, c2, c3);
            std::uint8_t* out = line + static_cast<std::ptrdiff_t>(x) * pixelStep;
            if (pixelStep == 4) {
                if (planeCount == 3) {
                    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out));
                    pixels = _mm_or_si128(pixels, _mm_and_si128(old, keepFourth));
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
            } else {
                const __m128i packed = dropFourthBytes(pixels);
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
                const auto last =
                    static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(packed, 8)));
                std::memcpy(out + 8, &last, 4);
            }
        }
    }
}

}  // namespace eri::detail

#endif
