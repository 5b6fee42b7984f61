// The one-dimensional transforms behind inverseTransformBlock, written once
// for any lane type T: double on the plain path, four floats on the SIMD path.
// T needs +, - and mul(T, double).
#pragma once

#include "eri/core/cosine_tables.h"

namespace eri::detail {

constexpr int log2Of(int n) {
    int s = 0;
    while ((1 << s) < n) {
        ++s;
    }
    return s;
}

// The plain path's lane.
inline double mul(double a, double c) {
    return a * c;
}

// C[j] = sum over k of v[k] cos(j (2k + 1) pi / 2M), with C[0] halved.
template <int M, typename T>
inline void forwardHalfDc(const T* v, T* c) {
    if constexpr (M == 4) {
        const double c1 = cosineTables[1][0];
        const double c3 = cosineTables[1][1];
        const T s0 = v[0] + v[3];
        const T s1 = v[1] + v[2];
        const T d0 = v[0] - v[3];
        const T d1 = v[1] - v[2];
        c[0] = mul(s0 + s1, 0.5);
        c[2] = mul(s0 - s1, kCosQuarterPi);
        c[1] = mul(d0, c1) + mul(d1, c3);
        c[3] = mul(d0, c3) - mul(d1, c1);
    } else {
        constexpr int H = M / 2;
        const float* const premultiply = cosineTables[log2Of(H)];
        T sums[H];
        T differences[H];
        for (int k = 0; k < H; ++k) {
            sums[k] = v[k] + v[M - 1 - k];
            differences[k] = mul(v[k] - v[M - 1 - k], premultiply[k]);
        }
        T even[H];
        T odd[H];
        forwardHalfDc<H>(sums, even);
        forwardHalfDc<H>(differences, odd);
        // Type-IV outputs from the halved-DC transform by the running difference.
        T previous = odd[0] + odd[0];
        c[0] = even[0];
        c[1] = previous;
        for (int j = 1; j < H; ++j) {
            previous = (odd[j] + odd[j]) - previous;
            c[2 * j] = even[j];
            c[2 * j + 1] = previous;
        }
    }
}

// y[x] = sum over u of X[u] cos((2x + 1) u pi / 2N), DC weight 1.
template <int N, typename T>
inline void inverse1d(const T* in, T* out) {
    if constexpr (N == 4) {
        const double c1 = cosineTables[1][0];
        const double c3 = cosineTables[1][1];
        const T base = in[0];
        const T even = mul(in[2], kCosQuarterPi);
        const T odd0 = mul(in[1], c1) + mul(in[3], c3);
        const T odd1 = mul(in[1], c3) - mul(in[3], c1);
        out[0] = (base + even) + odd0;
        out[3] = (base + even) - odd0;
        out[1] = (base - even) + odd1;
        out[2] = (base - even) - odd1;
    } else {
        constexpr int H = N / 2;
        const float* const premultiply = cosineTables[log2Of(H)];
        T evenIn[H];
        T oddIn[H];
        for (int k = 0; k < H; ++k) {
            evenIn[k] = in[2 * k];
            oddIn[k] = mul(in[2 * k + 1], premultiply[k]);
        }
        T even[H];
        T halved[H];
        inverse1d<H>(evenIn, even);
        forwardHalfDc<H>(oddIn, halved);
        T odd = halved[0] + halved[0];
        out[0] = even[0] + odd;
        out[N - 1] = even[0] - odd;
        for (int x = 1; x < H; ++x) {
            odd = (halved[x] + halved[x]) - odd;
            out[x] = even[x] + odd;
            out[N - 1 - x] = even[x] - odd;
        }
    }
}

}  // namespace eri::detail
