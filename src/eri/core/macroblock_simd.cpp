// Chooses the AVX2 build of the fused macroblock kernels where detection
// granted it, the SSE2 build otherwise; both give the same bytes.
#include "eri/core/lossy_simd_kernels.h"
#include "eri/core/processor_features.h"

#ifdef ERI_FLOAT_SIMD

namespace eri::detail {

#ifdef ERI_AVX2_KERNELS
namespace {

// Set by detection only when the processor has AVX2 and the operating
// system saves its registers.
bool hasAvx2() {
    return (processorFeatures & kWideFloatSimd) != 0;
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
