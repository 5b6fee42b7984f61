// The fused macroblock kernels on AVX2 (compiled with -mavx2 and without FMA
// contraction, so every lane rounds as on SSE2): blocks eight at a time.
#include "eri/core/lossy_simd_kernels.h"

#if defined(ERI_FLOAT_SIMD) && defined(__AVX2__)

#include <immintrin.h>

namespace eri::detail {

namespace {

struct Float8 {
    __m256 v;
};
inline Float8 operator+(Float8 a, Float8 b) {
    return {_mm256_add_ps(a.v, b.v)};
}
inline Float8 operator-(Float8 a, Float8 b) {
    return {_mm256_sub_ps(a.v, b.v)};
}
inline Float8 mul(Float8 a, double c) {
    return {_mm256_mul_ps(a.v, _mm256_set1_ps(static_cast<float>(c)))};
}

struct Lanes8 {
    static constexpr int width = 8;
    using Vec = Float8;
    using Bits = __m256i;

    static Vec load(const float* from) { return {_mm256_loadu_ps(from)}; }
    static void store(float* to, Vec value) { _mm256_storeu_ps(to, value.v); }
    static Vec scaledIntegers(const std::int32_t* values, Vec scales) {
        return {_mm256_mul_ps(
            _mm256_cvtepi32_ps(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(values))),
            scales.v)};
    }
    static Bits noBits() { return _mm256_setzero_si256(); }
    static Bits orBits(Bits bits, const std::int32_t* values) {
        return _mm256_or_si256(bits, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values)));
    }
    static bool anyBits(Bits bits, int real) {
        alignas(32) std::int32_t lanes[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), bits);
        for (int i = 0; i < real; ++i) {
            if (lanes[i] != 0) {
                return true;
            }
        }
        return false;
    }
    static Vec zero() { return {_mm256_setzero_ps()}; }
    static bool allZero(const Vec* values, int count) {
        __m256 bits = _mm256_setzero_ps();
        for (int i = 0; i < count; ++i) {
            bits = _mm256_or_ps(bits, values[i].v);
        }
        // Sign bits aside, the OR is zero only when every value is.
        return _mm256_movemask_ps(_mm256_cmp_ps(bits, _mm256_setzero_ps(), _CMP_NEQ_UQ)) == 0;
    }
    static void storeRows(const Vec* rows, float* const* outputs, int offset) {
        __m256 t[8];
        for (int i = 0; i < 8; i += 2) {
            t[i] = _mm256_unpacklo_ps(rows[i].v, rows[i + 1].v);
            t[i + 1] = _mm256_unpackhi_ps(rows[i].v, rows[i + 1].v);
        }
        __m256 s[8];
        for (int i = 0; i < 8; i += 4) {
            s[i] = _mm256_shuffle_ps(t[i], t[i + 2], 0x44);
            s[i + 1] = _mm256_shuffle_ps(t[i], t[i + 2], 0xEE);
            s[i + 2] = _mm256_shuffle_ps(t[i + 1], t[i + 3], 0x44);
            s[i + 3] = _mm256_shuffle_ps(t[i + 1], t[i + 3], 0xEE);
        }
        for (int i = 0; i < 4; ++i) {
            _mm256_storeu_ps(outputs[i] + offset, _mm256_permute2f128_ps(s[i], s[i + 4], 0x20));
            _mm256_storeu_ps(outputs[i + 4] + offset, _mm256_permute2f128_ps(s[i], s[i + 4], 0x31));
        }
    }
};

}  // namespace

}  // namespace eri::detail

#include "eri/core/interleaved_blocks.h"
#include "eri/core/macroblock_pixels.h"
#include "eri/core/paired_blocks_avx2.h"

namespace eri::detail {

void reconstructBlocksAvx2(const QuantisedMacroblock& block, float* const* sampleBlocks,
                           float* work) {
    if (block.side == 8 && paired::reconstructBlocks(block, sampleBlocks, work)) {
        return;
    }
    interleaved::reconstructBlocks<Lanes8>(block, sampleBlocks, work);
}

void writeMacroblockAvx2(const MacroblockSamples& samples, const MacroblockTarget& target) {
    if (writeWhole411IfFits(samples, target)) {
        return;
    }
    writeMacroblock(samples, target);
}

}  // namespace eri::detail

#endif
