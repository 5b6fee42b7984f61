// Dequantisation and inverse transform of 8 x 8 blocks four at a time on
// AVX2, two columns (then two rows) per register: lanes 0-3 hold column u
// of the quad's four blocks, lanes 4-7 column u + 1, read and scaled
// straight from the quantised values. With four blocks per register a
// 4:1:1 macroblock's luminance fills one quad and its chroma, mostly
// without AC values, another that the DC fill settles; eight blocks per
// register would carry two empty lanes and the chroma through the whole
// transform. Every lane runs the float operations of the interleaved
// kernels in the same order, so the samples are bit-identical to theirs.
//
// Included by the AVX2 kernel file only, after Float8 and Lanes8.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "eri/core/fast_cosine.h"
#include "eri/core/lossy_simd_kernels.h"
#include "eri/core/zigzag_order.h"

namespace eri::detail::paired {

namespace {

constexpr int kSide = 8;
constexpr int kArea = kSide * kSide;
constexpr int kLowEnd = (kSide - 1) * kSide / 2;  // first scan position of the high band

// The scan position of each natural position: the frame's zigzag order
// (buildZigzagTable's for side 8), inverted, so that the transform can read
// the quantised values where they lie.
struct ScanPositions {
    int at[kArea] = {};
};

constexpr ScanPositions scanPositions() {
    std::int32_t order[kArea] = {};
    buildZigzagTable(order, kSide);
    ScanPositions scan;
    for (int p = 0; p < kArea; ++p) {
        scan.at[order[p]] = p;
    }
    return scan;
}

constexpr ScanPositions kScan = scanPositions();

// Which of a quad's scale pairs position (v, u) and its right neighbour take.
enum ScalePair { kLowLow, kLowHigh, kHighLow, kHighHigh, kDcLow, kScalePairs };

constexpr int scalePair(int v, int u) {
    const int left = kScan.at[v * kSide + u];
    const int right = kScan.at[v * kSide + u + 1];
    if (left == 0) {
        return kDcLow;
    }
    return (left >= kLowEnd ? kHighLow : kLowLow) + (right >= kLowEnd ? 1 : 0);
}

// The quantised values of natural positions (v, u) and (v, u + 1) of the
// quad's four blocks.
template <int Blocks>
inline __m256i valuePair(const std::int32_t* values, int v, int u) {
    const auto* left = reinterpret_cast<const __m128i*>(values + kScan.at[v * kSide + u] * Blocks);
    const auto* right =
        reinterpret_cast<const __m128i*>(values + kScan.at[v * kSide + u + 1] * Blocks);
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(left)),
                                   _mm_loadu_si128(right), 1);
}

// Four 4-lane rows transposed in each 128-bit half.
inline void transposeHalves(__m256& r0, __m256& r1, __m256& r2, __m256& r3) {
    const __m256 t0 = _mm256_unpacklo_ps(r0, r1);
    const __m256 t1 = _mm256_unpackhi_ps(r0, r1);
    const __m256 t2 = _mm256_unpacklo_ps(r2, r3);
    const __m256 t3 = _mm256_unpackhi_ps(r2, r3);
    r0 = _mm256_shuffle_ps(t0, t2, 0x44);
    r1 = _mm256_shuffle_ps(t0, t2, 0xEE);
    r2 = _mm256_shuffle_ps(t1, t3, 0x44);
    r3 = _mm256_shuffle_ps(t1, t3, 0xEE);
}

// The quad whose first block's values start at `values`: columns in pairs,
// dequantised as they are read, then rows in pairs, into its four output
// blocks. A pair of columns without values in the real lanes (`realLanes`
// all ones) transforms to zeros there and is not transformed.
template <int Blocks>
__attribute__((flatten)) void transformQuad(const std::int32_t* values, const __m256* scales,
                                            __m256i realLanes, float* const* outputs, float* work) {
    Float8 in[kSide];
    Float8 out[kSide];
    // work holds, for rows y and y + 1 and column u, one register at
    // ((y / 2) * 8 + u) * 8: lanes 0-3 row y, 4-7 row y + 1.
#pragma GCC unroll 4
    for (int u = 0; u < kSide; u += 2) {
        __m256i quantised[kSide];
        __m256i any = _mm256_setzero_si256();
#pragma GCC unroll 8
        for (int v = 0; v < kSide; ++v) {
            quantised[v] = valuePair<Blocks>(values, v, u);
            any = _mm256_or_si256(any, quantised[v]);
        }
        if (_mm256_testz_si256(any, realLanes) != 0) {
            for (int y = 0; y < kSide; y += 2) {
                Lanes8::store(work + ((y / 2) * kSide + u) * 8, Lanes8::zero());
                Lanes8::store(work + ((y / 2) * kSide + u + 1) * 8, Lanes8::zero());
            }
            continue;
        }
#pragma GCC unroll 8
        for (int v = 0; v < kSide; ++v) {
            in[v].v = _mm256_mul_ps(_mm256_cvtepi32_ps(quantised[v]), scales[scalePair(v, u)]);
        }
        inverse1d<kSide>(in, out);
        for (int y = 0; y < kSide; y += 2) {
            _mm256_storeu_ps(work + ((y / 2) * kSide + u) * 8,
                             _mm256_permute2f128_ps(out[y].v, out[y + 1].v, 0x20));
            _mm256_storeu_ps(work + ((y / 2) * kSide + u + 1) * 8,
                             _mm256_permute2f128_ps(out[y].v, out[y + 1].v, 0x31));
        }
    }
    for (int y = 0; y < kSide; y += 2) {
        for (int u = 0; u < kSide; ++u) {
            in[u] = Lanes8::load(work + ((y / 2) * kSide + u) * 8);
        }
        inverse1d<kSide>(in, out);
        // out[x]: sample x of row y of each block, then of row y + 1.
        transposeHalves(out[0].v, out[1].v, out[2].v, out[3].v);
        transposeHalves(out[4].v, out[5].v, out[6].v, out[7].v);
        for (int b = 0; b < 4; ++b) {
            _mm256_storeu_ps(outputs[b] + y * kSide,
                             _mm256_permute2f128_ps(out[b].v, out[b + 4].v, 0x20));
            _mm256_storeu_ps(outputs[b] + (y + 1) * kSide,
                             _mm256_permute2f128_ps(out[b].v, out[b + 4].v, 0x31));
        }
    }
}

// Every sample of each real block in the quad is its scaled DC value.
inline void fillDc(const std::int32_t* values, const float* dcScales, float* const* outputs,
                   int real) {
    alignas(16) float dc[4];
    _mm_store_ps(
        dc, _mm_mul_ps(_mm_cvtepi32_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values))),
                       _mm_loadu_ps(dcScales)));
    for (int lane = 0; lane < real; ++lane) {
        const __m256 value = _mm256_set1_ps(dc[lane]);
        for (int i = 0; i < kArea; i += 8) {
            _mm256_storeu_ps(outputs[lane] + i, value);
        }
    }
}

inline __m256 pairOf(const float* left, const float* right) {
    return _mm256_set_m128(_mm_loadu_ps(right), _mm_loadu_ps(left));
}

// The macroblock's 8 x 8 blocks, each quad of four in turn; `Blocks` is the
// macroblock's block count.
template <int Blocks>
void reconstructQuads(const QuantisedMacroblock& block, float* const* sampleBlocks, float* work) {
    for (int first = 0; first < Blocks; first += 8) {
        // Which lanes carry an AC value, eight blocks at once, in four
        // independent chains.
        const auto row = [&block, first](int p) {
            return _mm256_loadu_si256(
                reinterpret_cast<const __m256i*>(block.values + p * Blocks + first));
        };
        __m256i chains[4] = {row(1), row(2), row(3), _mm256_setzero_si256()};
#pragma GCC unroll 16
        for (int p = 4; p < kArea; p += 4) {
            for (int c = 0; c < 4; ++c) {
                chains[c] = _mm256_or_si256(chains[c], row(p + c));
            }
        }
        const __m256i any = _mm256_or_si256(_mm256_or_si256(chains[0], chains[1]),
                                            _mm256_or_si256(chains[2], chains[3]));
        for (int quad = first; quad < first + 8 && quad < Blocks; quad += 4) {
            const int real = Blocks - quad < 4 ? Blocks - quad : 4;
            const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(real),
                                                     _mm256_setr_epi32(0, 1, 2, 3, 0, 1, 2, 3));
            // The quad's lanes in the eight: the low half or the high half.
            const __m256i quadLanes = quad == first ? _mm256_permute2x128_si256(lanes, lanes, 0x80)
                                                    : _mm256_permute2x128_si256(lanes, lanes, 0x08);
            if (_mm256_testz_si256(any, quadLanes) != 0) {
                fillDc(block.values + quad, block.dcScales + quad, sampleBlocks + quad, real);
                continue;
            }
            const float* const dc = block.dcScales + quad;
            const float* const low = block.lowScales + quad;
            const float* const high = block.highScales + quad;
            __m256 scales[kScalePairs];
            scales[kLowLow] = pairOf(low, low);
            scales[kLowHigh] = pairOf(low, high);
            scales[kHighLow] = pairOf(high, low);
            scales[kHighHigh] = pairOf(high, high);
            scales[kDcLow] = pairOf(dc, low);
            transformQuad<Blocks>(block.values + quad, scales, lanes, sampleBlocks + quad, work);
        }
    }
}

// False when the block count has no build here.
inline bool reconstructBlocks(const QuantisedMacroblock& block, float* const* sampleBlocks,
                              float* work) {
    switch (block.blocks) {
        case 6:
            reconstructQuads<6>(block, sampleBlocks, work);
            return true;
        case 8:
            reconstructQuads<8>(block, sampleBlocks, work);
            return true;
        case 10:
            reconstructQuads<10>(block, sampleBlocks, work);
            return true;
        case 12:
            reconstructQuads<12>(block, sampleBlocks, work);
            return true;
        case 16:
            reconstructQuads<16>(block, sampleBlocks, work);
            return true;
        default:
            return false;
    }
}

}  // namespace

}  // namespace eri::detail::paired
