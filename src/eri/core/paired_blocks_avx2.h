// Dequantisation and inverse transform of 8 x 8 blocks four at a time on
// AVX2, two columns (then two rows) per register: element (position * 4 +
// lane) of a quad is block (first + lane) at that natural position, so one
// 8-float load holds columns u and u + 1 of the four blocks side by side.
// With four blocks per register a 4:1:1 macroblock's luminance fills one
// quad and its chroma, mostly without AC values, another that the DC fill
// settles; eight blocks per register would carry two empty lanes and the
// chroma through the whole transform. Every lane runs the float operations
// of the interleaved kernels in the same order, so the samples are
// bit-identical to theirs.
//
// Included by the AVX2 kernel file only, after Float8 and Lanes8.
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "eri/core/fast_cosine.h"
#include "eri/core/lossy_simd_kernels.h"

namespace eri::detail::paired {

namespace {

constexpr int kSide = 8;
constexpr int kArea = kSide * kSide;
constexpr int kQuadFloats = 4 * kArea;

// Blocks first..first + 7 scaled into two quads, lanes 0-3 into `lowQuad`
// and 4-7 into `highQuad`; `hasAc` tells per quad whether a real block in
// it has an AC value.
template <typename L>
void dequantiseEight(float* lowQuad, float* highQuad, const QuantisedMacroblock& block, int first,
                     bool hasAc[2]) {
    const int blocks = block.blocks;
    const int lowEnd = (kSide - 1) * kSide / 2;
    const std::int32_t* row = block.values + first;
    const std::int32_t* const order = block.zigzag;
    const auto store = [lowQuad, highQuad](int at, __m256 v) {
        _mm_storeu_ps(lowQuad + at * 4, _mm256_castps256_ps128(v));
        _mm_storeu_ps(highQuad + at * 4, _mm256_extractf128_ps(v, 1));
    };
    const typename L::Vec low = L::load(block.lowScales + first);
    const typename L::Vec high = L::load(block.highScales + first);
    store(0, L::scaledIntegers(row, L::load(block.dcScales + first)).v);
    typename L::Bits any = L::noBits();
    for (int p = 1; p < lowEnd; ++p) {
        row += blocks;
        any = L::orBits(any, row);
        store(order[p], L::scaledIntegers(row, low).v);
    }
    for (int p = lowEnd; p < kArea; ++p) {
        row += blocks;
        any = L::orBits(any, row);
        store(order[p], L::scaledIntegers(row, high).v);
    }
    const int real = blocks - first;
    hasAc[0] = L::anyBits(any, real < 4 ? real : 4);
    // The high quad's lanes seen from its own first lane.
    const typename L::Bits upper = _mm256_permute2x128_si256(any, any, 0x11);
    hasAc[1] = real > 4 && L::anyBits(upper, real - 4 < 4 ? real - 4 : 4);
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

// Columns in pairs, then rows in pairs, into the quad's four output blocks.
// A pair of zero columns transforms to zeros and is not transformed.
__attribute__((flatten)) inline void transformQuad(const float* coefficients, float* const* outputs,
                                                   float* work) {
    Float8 in[kSide];
    Float8 out[kSide];
    // work holds, for rows y and y + 1 and column u, one register at
    // ((y / 2) * 8 + u) * 8: lanes 0-3 row y, 4-7 row y + 1.
    for (int u = 0; u < kSide; u += 2) {
        for (int v = 0; v < kSide; ++v) {
            in[v] = Lanes8::load(coefficients + (v * kSide + u) * 4);
        }
        if (Lanes8::allZero(in, kSide)) {
            for (int y = 0; y < kSide; y += 2) {
                Lanes8::store(work + ((y / 2) * kSide + u) * 8, Lanes8::zero());
                Lanes8::store(work + ((y / 2) * kSide + u + 1) * 8, Lanes8::zero());
            }
            continue;
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

// Every sample of each real block in the quad is its DC value.
inline void fillDc(const float* quad, float* const* outputs, int real) {
    for (int lane = 0; lane < real; ++lane) {
        const __m256 dc = _mm256_set1_ps(quad[lane]);
        for (int i = 0; i < kArea; i += 8) {
            _mm256_storeu_ps(outputs[lane] + i, dc);
        }
    }
}

// The macroblock's 8 x 8 blocks; `work` holds 16 blocks of floats.
inline void reconstructBlocks(const QuantisedMacroblock& block, float* const* sampleBlocks,
                              float* work) {
    float* const quads[2] = {work, work + kQuadFloats};
    float* const passWork = work + 2 * kQuadFloats;
    for (int first = 0; first < block.blocks; first += 8) {
        bool hasAc[2];
        dequantiseEight<Lanes8>(quads[0], quads[1], block, first, hasAc);
        for (int q = 0; q < 2; ++q) {
            const int quadFirst = first + 4 * q;
            const int real = block.blocks - quadFirst < 4 ? block.blocks - quadFirst : 4;
            if (real <= 0) {
                break;
            }
            if (hasAc[q]) {
                transformQuad(quads[q], sampleBlocks + quadFirst, passWork);
            } else {
                fillDc(quads[q], sampleBlocks + quadFirst, real);
            }
        }
    }
}

}  // namespace

}  // namespace eri::detail::paired
