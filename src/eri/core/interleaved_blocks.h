// Dequantisation and inverse transform of a macroblock's blocks W at a time:
// the blocks are interleaved, element (position * W + lane) being block
// (first + lane) at that natural position, so each SIMD lane carries one
// block through the same butterflies the single-block path runs per column.
// The lane arithmetic is the same float operations in the same order, so
// the samples are bit-identical to the single-block SIMD path.
//
// Included by the per-instruction-set kernel files only, each with its own
// lane type `L` in an unnamed namespace (so nothing here links across them):
//   L::width, L::Vec with +, - and mul(Vec, double), L::load/store (floats),
//   L::scaledIntegers(ints, scales) (exact int32 -> float, then one multiply),
//   L::Bits with noBits(), orBits(bits, ints) and anyBits(bits, lanes) (any
//   of the first lanes non-zero), L::allZero(vecs, count) (every float +0 or
//   -0), L::zero(), and L::storeRows(vecs, outputs, offset), which transposes
//   W vectors of W lanes into W rows, one per output block.
#pragma once

#include <cstdint>

#include "eri/core/fast_cosine.h"
#include "eri/core/lossy_simd_kernels.h"

namespace eri::detail::interleaved {

// One group of L::width blocks from `first` on, scaled into `coefficients`;
// true when any of its real blocks has an AC value.
template <typename L>
bool dequantiseGroup(float* coefficients, const QuantisedMacroblock& block, int first) {
    constexpr int W = L::width;
    const int blocks = block.blocks;
    const int area = block.side * block.side;
    const int lowEnd = (block.side - 1) * block.side / 2;
    const std::int32_t* row = block.values + first;
    const std::int32_t* const order = block.zigzag;
    const typename L::Vec low = L::load(block.lowScales + first);
    const typename L::Vec high = L::load(block.highScales + first);
    L::store(coefficients, L::scaledIntegers(row, L::load(block.dcScales + first)));
    typename L::Bits any = L::noBits();
    for (int p = 1; p < lowEnd; ++p) {
        row += blocks;
        any = L::orBits(any, row);
        L::store(coefficients + order[p] * W, L::scaledIntegers(row, low));
    }
    for (int p = lowEnd; p < area; ++p) {
        row += blocks;
        any = L::orBits(any, row);
        L::store(coefficients + order[p] * W, L::scaledIntegers(row, high));
    }
    const int real = blocks - first < W ? blocks - first : W;
    return L::anyBits(any, real);
}

// Every sample of each real block in the group is its DC value, exactly what
// the transform of a lone DC value gives.
template <typename L>
void fillDc(const float* coefficients, float* const* outputs, int real, int area) {
    for (int lane = 0; lane < real; ++lane) {
        const float dc = coefficients[lane];
        float* out = outputs[lane];
        for (int i = 0; i < area; ++i) {
            out[i] = dc;
        }
    }
}

// Columns first, then rows; the rows are turned into the W output blocks.
// A column of zeros transforms to zeros, so it is not transformed. (Signed
// zeros may come out as +0 where the transform would give -0; any sum or
// product that reaches a byte is the same either way.)
template <typename L, int N>
__attribute__((flatten)) void transformGroup(const float* coefficients, float* const* outputs,
                                             float* work) {
    constexpr int W = L::width;
    using Vec = typename L::Vec;
    Vec in[N];
    Vec out[N];
    for (int u = 0; u < N; ++u) {
        for (int v = 0; v < N; ++v) {
            in[v] = L::load(coefficients + (v * N + u) * W);
        }
        if (L::allZero(in, N)) {
            for (int y = 0; y < N; ++y) {
                L::store(work + (y * N + u) * W, L::zero());
            }
            continue;
        }
        inverse1d<N>(in, out);
        for (int y = 0; y < N; ++y) {
            L::store(work + (y * N + u) * W, out[y]);
        }
    }
    for (int y = 0; y < N; ++y) {
        for (int u = 0; u < N; ++u) {
            in[u] = L::load(work + (y * N + u) * W);
        }
        inverse1d<N>(in, out);
        for (int x = 0; x < N; x += W) {
            L::storeRows(out + x, outputs, y * N + x);
        }
    }
}

template <typename L>
void reconstructBlocks(const QuantisedMacroblock& block, float* const* sampleBlocks, float* work) {
    constexpr int W = L::width;
    const int area = block.side * block.side;
    float* const coefficients = work;
    float* const passWork = work + W * area;
    for (int first = 0; first < block.blocks; first += W) {
        float* const* outputs = sampleBlocks + first;
        if (!dequantiseGroup<L>(coefficients, block, first)) {
            const int real = block.blocks - first < W ? block.blocks - first : W;
            fillDc<L>(coefficients, outputs, real, area);
            continue;
        }
        switch (block.side) {
            case 8:
                transformGroup<L, 8>(coefficients, outputs, passWork);
                break;
            case 16:
                transformGroup<L, 16>(coefficients, outputs, passWork);
                break;
            default:
                transformGroup<L, 32>(coefficients, outputs, passWork);
                break;
        }
    }
}

}  // namespace eri::detail::interleaved
