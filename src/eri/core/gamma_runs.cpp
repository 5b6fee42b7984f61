#include <algorithm>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"

namespace eri {

std::uint32_t BitInput::decodeGammaRuns(std::int32_t* out, std::uint32_t count) {
    detail::BitCursor cursor(*this);
    std::uint32_t stored = 0;
    std::uint32_t gamma = 0;
    if (runLength == 0) {
        if (!cursor.takeGamma(gamma)) {
            cursor.save();
            return 0;
        }
        runLength = gamma;
    }
    for (;;) {
        const std::uint32_t n = std::min(count - stored, runLength);
        runLength -= n;
        if (runIsNonZero != 0) {
            for (std::uint32_t i = 0; i < n; ++i) {
                const int sign = cursor.takeBit();
                if (sign < 0 || !cursor.takeGamma(gamma)) {
                    cursor.save();
                    return stored;
                }
                out[stored++] = static_cast<std::int32_t>(sign != 0 ? 0u - gamma : gamma);
            }
        } else {
            std::fill(out + stored, out + stored + n, 0);
            stored += n;
        }
        if (stored == count) {
            break;
        }
        runIsNonZero = ~runIsNonZero;
        if (!cursor.takeGamma(gamma)) {
            cursor.save();
            return stored;
        }
        runLength = gamma;
    }
    // A run that ended with the request leaves the next call a fresh run of the other kind.
    if (runLength == 0) {
        runIsNonZero = ~runIsNonZero;
    }
    cursor.save();
    return stored;
}

}  // namespace eri
