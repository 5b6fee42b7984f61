// The SIMD paths of the lossy kernels; callers go through the dispatching
// entry points, which also check the shape conditions.
#pragma once

#include <cstddef>
#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)
#define ERI_FLOAT_SIMD 1
#endif

namespace eri::detail {

#ifdef ERI_FLOAT_SIMD
void inverseTransformSimd(float* output, const float* coefficients, int s, float* work);
void convertColourSimd(float* channel0, float* channel1, float* channel2, int count);
// Rows of `width` pixels, width a multiple of 4; `planeCount` 3 or 4 planes,
// `pixelStep` 3 or 4. With 3 planes and a pixel step of 4 the fourth byte is kept.
void writePixelsSimd(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                     int planeStride, int width, int height, int planeCount, int pixelStep);
#endif

}  // namespace eri::detail
