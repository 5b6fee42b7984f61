// The two steps of arithmetic decoding that used to cost most: finding the
// entry whose running count passes the target, and dividing by the model's
// total.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace eri::detail {

// Division by a model total (2 .. 0xFFFF) as a multiplication: with
// m = ceil(2^64 / total), the high half of x * m is floor(x / total) for every
// x below 2^48, since the error term x * (m * total - 2^64) stays below 2^64.
class TotalDivider {
    __extension__ using Wide = unsigned __int128;

  public:
    explicit TotalDivider(std::uint32_t total) : total_(total), reciprocal_(reciprocalOf(total)) {}
    // With the reciprocal worked out beforehand.
    TotalDivider(std::uint32_t total, std::uint64_t reciprocal)
        : total_(total), reciprocal_(reciprocal) {}

    static std::uint64_t reciprocalOf(std::uint32_t total) { return ~std::uint64_t{0} / total + 1; }

    std::uint64_t floorOf(std::uint64_t x) const {
        return static_cast<std::uint64_t>((static_cast<Wide>(x) * reciprocal_) >> 64);
    }
    // x + total - 1 stays below 2^48 for the products the decoder divides.
    std::uint64_t ceilingOf(std::uint64_t x) const { return floorOf(x + total_ - 1); }

  private:
    std::uint64_t total_;
    std::uint64_t reciprocal_;
};

// Index of the first of `n` entries (count in the low half of each word) whose
// running count exceeds `target`, with the counts before it in `cumulative`;
// n when there is none.
inline std::uint32_t findEntry(const std::uint32_t* entries, std::uint32_t n, std::uint32_t target,
                               std::uint32_t& cumulative) {
    std::uint32_t i = 0;
    std::uint32_t before = 0;
#if defined(__SSE2__)
    // The busiest entries stand first: the first 16 running counts at once.
    // Counts sum to the total, below 0x10000, so signed compares are exact.
    if (n >= 16) {
        const __m128i low = _mm_set1_epi32(0xFFFF);
        __m128i sums[4];
        __m128i carry = _mm_setzero_si128();
        for (int k = 0; k < 4; ++k) {
            __m128i x =
                _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(entries) + k), low);
            x = _mm_add_epi32(x, _mm_slli_si128(x, 4));
            x = _mm_add_epi32(x, _mm_slli_si128(x, 8));
            sums[k] = _mm_add_epi32(x, carry);
            carry = _mm_shuffle_epi32(sums[k], 0xFF);
        }
        const __m128i limit = _mm_set1_epi32(static_cast<std::int32_t>(target));
        std::uint32_t past = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i above = _mm_cmpgt_epi32(sums[k], limit);
            past |= static_cast<std::uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(above))) << (4 * k);
        }
        alignas(16) std::uint32_t running[20];
        running[3] = 0;
        for (int k = 0; k < 4; ++k) {
            _mm_store_si128(reinterpret_cast<__m128i*>(running + 4) + k, sums[k]);
        }
        i = static_cast<std::uint32_t>(__builtin_ctz(past | 0x10000u));
        // running[3 + i]: the sum of the counts before entry i.
        before = running[3 + i];
        if (i < 16) {
            cumulative = before;
            return i;
        }
    }
#endif
    while (i < n && target - before >= (entries[i] & 0xFFFF)) {
        before += entries[i] & 0xFFFF;
        ++i;
    }
    cumulative = before;
    return i;
}

}  // namespace eri::detail
