// The fused macroblock kernels on SSE2: blocks four at a time.
#include "eri/core/lossy_simd_kernels.h"

#ifdef ERI_FLOAT_SIMD

#include <emmintrin.h>

#include "eri/core/float4.h"

namespace eri::detail {

namespace {

struct Lanes4 {
    static constexpr int width = 4;
    using Vec = Float4;
    using Bits = __m128i;

    static Vec load(const float* from) { return {_mm_loadu_ps(from)}; }
    static void store(float* to, Vec value) { _mm_storeu_ps(to, value.v); }
    static Vec scaledIntegers(const std::int32_t* values, Vec scales) {
        return {_mm_mul_ps(
            _mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values))), scales.v)};
    }
    static Bits noBits() { return _mm_setzero_si128(); }
    static Bits orBits(Bits bits, const std::int32_t* values) {
        return _mm_or_si128(bits, _mm_loadu_si128(reinterpret_cast<const __m128i*>(values)));
    }
    static bool anyBits(Bits bits, int real) {
        alignas(16) std::int32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), bits);
        for (int i = 0; i < real; ++i) {
            if (lanes[i] != 0) {
                return true;
            }
        }
        return false;
    }
    static Vec zero() { return {_mm_setzero_ps()}; }
    static bool allZero(const Vec* values, int count) {
        __m128 bits = _mm_setzero_ps();
        for (int i = 0; i < count; ++i) {
            bits = _mm_or_ps(bits, values[i].v);
        }
        // Sign bits aside, the OR is zero only when every value is.
        return _mm_movemask_ps(_mm_cmpneq_ps(bits, _mm_setzero_ps())) == 0;
    }
    static void storeRows(const Vec* rows, float* const* outputs, int offset) {
        __m128 r0 = rows[0].v;
        __m128 r1 = rows[1].v;
        __m128 r2 = rows[2].v;
        __m128 r3 = rows[3].v;
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        _mm_storeu_ps(outputs[0] + offset, r0);
        _mm_storeu_ps(outputs[1] + offset, r1);
        _mm_storeu_ps(outputs[2] + offset, r2);
        _mm_storeu_ps(outputs[3] + offset, r3);
    }
};

}  // namespace

}  // namespace eri::detail

#include "eri/core/interleaved_blocks.h"
#include "eri/core/macroblock_pixels.h"

namespace eri::detail {

void reconstructBlocksSse2(const QuantisedMacroblock& block, float* const* sampleBlocks,
                           float* work) {
    interleaved::reconstructBlocks<Lanes4>(block, sampleBlocks, work);
}

void writeMacroblockSse2(const MacroblockSamples& samples, const MacroblockTarget& target) {
    writeMacroblock(samples, target);
}

}  // namespace eri::detail

#endif
