#include "eri/core/lossy_simd_kernels.h"

#ifdef ERI_FLOAT_SIMD

#include "eri/core/fast_cosine.h"
#include "eri/core/float4.h"

namespace eri::detail {

namespace {

// Four columns at a time; the results are transposed in 4 x 4 tiles so each
// column's outputs become one row of `out`.
template <int N>
void simdPass(const float* in, float* out) {
    Float4 column[N];
    Float4 result[N];
    for (int u = 0; u < N; u += 4) {
        for (int v = 0; v < N; ++v) {
            column[v].v = _mm_loadu_ps(in + v * N + u);
        }
        inverse1d<N>(column, result);
        for (int x = 0; x < N; x += 4) {
            __m128 r0 = result[x].v;
            __m128 r1 = result[x + 1].v;
            __m128 r2 = result[x + 2].v;
            __m128 r3 = result[x + 3].v;
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            _mm_storeu_ps(out + u * N + x, r0);
            _mm_storeu_ps(out + (u + 1) * N + x, r1);
            _mm_storeu_ps(out + (u + 2) * N + x, r2);
            _mm_storeu_ps(out + (u + 3) * N + x, r3);
        }
    }
}

template <int N>
void simdTransform(float* output, const float* coefficients, float* work) {
    simdPass<N>(coefficients, work);
    simdPass<N>(work, output);
}

}  // namespace

void inverseTransformSimd(float* output, const float* coefficients, int s, float* work) {
    switch (s) {
        case 3:
            simdTransform<8>(output, coefficients, work);
            break;
        case 4:
            simdTransform<16>(output, coefficients, work);
            break;
        case 5:
            simdTransform<32>(output, coefficients, work);
            break;
        default:
            break;
    }
}

}  // namespace eri::detail

#endif
