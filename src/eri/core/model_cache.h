// What the arithmetic decoder keeps beside each frequency model so that a
// symbol costs no division: the running counts of the first entries, ready
// for the search, and the reciprocal of the total.
#pragma once

#include <cstdint>

#include "eri/core/frequency_model.h"
#include "eri/core/model_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace eri::detail {

struct ModelCache {
    // Through entry k; past the model's last entry, the total.
    alignas(16) std::uint64_t runningCounts[kSearchedEntries];
    std::uint64_t reciprocal;

    void refresh(const FrequencyModel& model, std::uint32_t n) {
        std::uint64_t sum = 0;
        for (std::uint32_t k = 0; k < kSearchedEntries; ++k) {
            sum += k < n ? model.count(k) : 0;
            runningCounts[k] = sum;
        }
        reciprocal = TotalDivider::reciprocalOf(model.total());
    }

    // After FrequencyModel::countInPlace(i).
    void countInPlace(std::uint32_t i, std::uint32_t total) {
        if (i < kSearchedEntries) {
            addFrom(i);
        }
        reciprocal = TotalDivider::reciprocalOf(total);
    }

  private:
    // One more in every running count from entry i on.
    void addFrom(std::uint32_t i) {
#if defined(__SSE2__)
        // Sixteen zeros then sixteen ones: read from 16 - i, ones from lane i on.
        alignas(16) static constexpr std::uint64_t kSteps[2 * kSearchedEntries] = {
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        const std::uint64_t* const steps = kSteps + kSearchedEntries - i;
        for (std::uint32_t k = 0; k < kSearchedEntries; k += 2) {
            auto* const counts = reinterpret_cast<__m128i*>(runningCounts + k);
            const __m128i step = _mm_loadu_si128(reinterpret_cast<const __m128i*>(steps + k));
            _mm_store_si128(counts, _mm_add_epi64(_mm_load_si128(counts), step));
        }
#else
        for (std::uint32_t k = i; k < kSearchedEntries; ++k) {
            ++runningCounts[k];
        }
#endif
    }
};

}  // namespace eri::detail
