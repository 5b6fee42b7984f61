// The two steps of arithmetic decoding that used to cost most: finding the
// entry whose running count passes the code's place in the range, and dividing
// by the model's total.
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
    explicit TotalDivider(std::uint32_t total) : reciprocal_(reciprocalOf(total)) {}
    // With the reciprocal worked out beforehand.
    explicit TotalDivider(std::uint64_t reciprocal) : reciprocal_(reciprocal) {}

    static std::uint64_t reciprocalOf(std::uint32_t total) { return ~std::uint64_t{0} / total + 1; }

    std::uint64_t floorOf(std::uint64_t x) const {
        return static_cast<std::uint64_t>((static_cast<Wide>(x) * reciprocal_) >> 64);
    }

  private:
    std::uint64_t reciprocal_;
};

// The searched entries at the front of each model, where the busiest stand.
constexpr std::uint32_t kSearchedEntries = 16;

// What the search leaves behind: rests[1 + k] = code x total - range x (the
// counts of the entries before entry k), modulo 2^64. rests[1 + i] and
// rests[2 + i] for the entry i found give the new code and range.
struct SearchRests {
    alignas(16) std::uint64_t rests[2 + kSearchedEntries];
};

// The symbol's entry is the first whose running count r satisfies
// floor(code x total / range) < r, that is range x r > code x total: the
// products need no division by the range. `runningCounts` holds the running
// counts of the first 16 entries (through each entry), 64 bits wide; returns
// the first entry whose product exceeds `codeTotal` (below 2^48), 16 when none
// does.
inline std::uint32_t searchRunningCountsPlain(const std::uint64_t* runningCounts,
                                              std::uint32_t range, std::uint64_t codeTotal,
                                              SearchRests& out) {
    out.rests[1] = codeTotal;
    std::uint32_t found = kSearchedEntries;
    for (std::uint32_t k = 0; k < kSearchedEntries; ++k) {
        const std::uint64_t product = range * runningCounts[k];
        out.rests[2 + k] = codeTotal - product;
        if (found == kSearchedEntries && product > codeTotal) {
            found = k;
        }
    }
    return found;
}

#if defined(__SSE2__)
// Products below 2^48 subtracted from codeTotal: the sign of each difference
// is the comparison. `runningCounts` 16-byte aligned.
inline std::uint32_t searchRunningCountsSse2(const std::uint64_t* runningCounts,
                                             std::uint32_t range, std::uint64_t codeTotal,
                                             SearchRests& out) {
    const __m128i ranges = _mm_set1_epi64x(range);
    const __m128i codes = _mm_set1_epi64x(static_cast<std::int64_t>(codeTotal));
    out.rests[1] = codeTotal;
    __m128i rests[8];
    for (int k = 0; k < 8; ++k) {
        const __m128i counts = _mm_load_si128(reinterpret_cast<const __m128i*>(runningCounts) + k);
        rests[k] = _mm_sub_epi64(codes, _mm_mul_epu32(counts, ranges));
        _mm_store_si128(reinterpret_cast<__m128i*>(out.rests + 2) + k, rests[k]);
    }
    // The high halves of the 16 rests, saturated down to one byte each.
    __m128 highs[4];
    for (int k = 0; k < 4; ++k) {
        highs[k] = _mm_shuffle_ps(_mm_castsi128_ps(rests[2 * k]),
                                  _mm_castsi128_ps(rests[2 * k + 1]), _MM_SHUFFLE(3, 1, 3, 1));
    }
    const __m128i low = _mm_packs_epi32(_mm_castps_si128(highs[0]), _mm_castps_si128(highs[1]));
    const __m128i high = _mm_packs_epi32(_mm_castps_si128(highs[2]), _mm_castps_si128(highs[3]));
    const auto negative = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
    return static_cast<std::uint32_t>(__builtin_ctz(negative | 0x10000u));
}
#endif

inline std::uint32_t searchRunningCounts(const std::uint64_t* runningCounts, std::uint32_t range,
                                         std::uint64_t codeTotal, SearchRests& out) {
#if defined(__SSE2__)
    return searchRunningCountsSse2(runningCounts, range, codeTotal, out);
#else
    return searchRunningCountsPlain(runningCounts, range, codeTotal, out);
#endif
}

}  // namespace eri::detail
