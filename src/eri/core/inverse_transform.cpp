#include "eri/core/inverse_transform.h"

#include "eri/core/fast_cosine.h"
#include "eri/core/lossy_simd_kernels.h"
#include "eri/core/processor_features.h"

namespace eri {

namespace {

// One pass: each column of `in` transformed, its results stored as a row of
// `out`. Butterflies run in double; each pass stores 32-bit floats.
template <int N>
void plainPass(const float* in, float* out) {
    double column[N];
    double result[N];
    for (int u = 0; u < N; ++u) {
        for (int v = 0; v < N; ++v) {
            column[v] = in[v * N + u];
        }
        detail::inverse1d<N>(column, result);
        for (int x = 0; x < N; ++x) {
            out[u * N + x] = static_cast<float>(result[x]);
        }
    }
}

template <int N>
void plainTransform(float* output, const float* coefficients, float* work) {
    plainPass<N>(coefficients, work);
    plainPass<N>(work, output);
}

}  // namespace

void inverseTransformBlock(float* output, const float* coefficients, int s,
                           const TransformWork& work) {
    if (s < 3 || s > 5) {
        return;
    }
#ifdef ERI_FLOAT_SIMD
    if ((processorFeatures & kFloatSimd) != 0) {
        detail::inverseTransformSimd(output, coefficients, s, work.block);
        return;
    }
#endif
    switch (s) {
        case 3:
            plainTransform<8>(output, coefficients, work.block);
            break;
        case 4:
            plainTransform<16>(output, coefficients, work.block);
            break;
        default:
            plainTransform<32>(output, coefficients, work.block);
            break;
    }
}

}  // namespace eri
