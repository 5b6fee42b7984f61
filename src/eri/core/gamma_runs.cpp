#include <algorithm>
#include <bit>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"

namespace eri {
namespace {

// A sign bit (1 for negative) and the magnitude's gamma code, read at once
// when both lie in the cursor's window. False at the end of the data.
[[gnu::always_inline]] inline bool takeSignedGamma(detail::BitCursor& cursor, std::int32_t& value) {
    int available = 0;
    const std::uint64_t window = cursor.peekWindow(available);
    std::uint32_t gamma = 0;
    int length = 0;
    if (detail::BitCursor::gammaAtTop(static_cast<std::uint32_t>(window >> 31), available - 1,
                                      gamma, length)) {
        value = static_cast<std::int32_t>((window >> 63) != 0 ? 0u - gamma : gamma);
        cursor.skipBits(length + 1);
        return true;
    }
    const int sign = cursor.takeBit();
    if (sign < 0 || !cursor.takeGamma(gamma)) {
        return false;
    }
    value = static_cast<std::int32_t>(sign != 0 ? 0u - gamma : gamma);
    return true;
}

}  // namespace

std::uint32_t BitInput::decodeGammaRuns(std::int32_t* out, std::uint32_t count) {
    // The run state lives in locals while decoding: stores to `out` could
    // otherwise alias it and force reloads.
    detail::BitCursor cursor(*this);
    std::int32_t* __restrict const values = out;
    std::uint32_t left = runLength;
    std::int32_t nonZero = runIsNonZero;
    std::uint32_t stored = 0;
    const auto finish = [&](std::uint32_t result) {
        runLength = left;
        runIsNonZero = nonZero;
        cursor.save();
        return result;
    };
    if (left == 0 && !cursor.takeGamma(left)) {
        return finish(0);
    }
    // Zero runs are mostly short and many: clearing the span once beats a
    // fill per run.
    if (count != 0) {
        std::memset(values, 0, std::size_t{count} * sizeof(std::int32_t));
    }
    for (;;) {
        const std::uint32_t n = std::min(count - stored, left);
        left -= n;
        if (nonZero != 0) {
            for (std::uint32_t i = 0; i < n; ++i) {
                if (!takeSignedGamma(cursor, values[stored])) {
                    return finish(stored);
                }
                ++stored;
            }
        } else {
            stored += n;
        }
        if (stored == count) {
            break;
        }
        nonZero = ~nonZero;
        if (!cursor.takeGamma(left)) {
            left = 0;
            return finish(stored);
        }
    }
    // A run that ended with the request leaves the next call a fresh run of the other kind.
    if (left == 0) {
        nonZero = ~nonZero;
    }
    return finish(stored);
}

}  // namespace eri
