// Chooses the AVX2 build of the fused macroblock kernels where the processor
// has it, the SSE2 build otherwise; both give the same bytes.
#include "eri/core/lossy_simd_kernels.h"

#ifdef ERI_FLOAT_SIMD

namespace eri::detail {

#ifdef ERI_AVX2_KERNELS
namespace {

bool hasAvx2() {
    return __builtin_cpu_supports("avx2") != 0;
}

}  // namespace
#endif

void reconstructBlocksSimd(const QuantisedMacroblock& block, float* const* sampleBlocks,
                           float* work) {
#ifdef ERI_AVX2_KERNELS
    if (hasAvx2()) {
        reconstructBlocksAvx2(block, sampleBlocks, work);
        return;
    }
#endif
    reconstructBlocksSse2(block, sampleBlocks, work);
}

void writeMacroblockSimd(const MacroblockSamples& samples, const MacroblockTarget& target) {
#ifdef ERI_AVX2_KERNELS
    if (hasAvx2()) {
        writeMacroblockAvx2(samples, target);
        return;
    }
#endif
    writeMacroblockSse2(samples, target);
}

}  // namespace eri::detail

#endif
