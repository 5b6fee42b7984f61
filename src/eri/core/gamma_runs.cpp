#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"
#include "eri/core/bit_position.h"

namespace eri {
namespace {

// A sign bit and a short gamma code, by their first kSignedGammaBits bits:
// the signed value and the length with the sign, length 0 where the code is longer.
struct SignedGamma {
    std::int8_t value;
    std::uint8_t length;
};

constexpr int kSignedGammaBits = detail::kShortGammaBits + 1;

inline constexpr auto kSignedGammas = [] {
    std::array<SignedGamma, std::size_t{1} << kSignedGammaBits> table{};
    constexpr std::uint32_t kGammaMask = (std::uint32_t{1} << detail::kShortGammaBits) - 1;
    for (std::uint32_t bits = 0; bits < table.size(); ++bits) {
        const detail::ShortGamma known = detail::kShortGammas[bits & kGammaMask];
        if (known.length != 0) {
            const int magnitude = known.value;
            const bool negative = (bits >> detail::kShortGammaBits) != 0;
            table[bits] = {static_cast<std::int8_t>(negative ? -magnitude : magnitude),
                           static_cast<std::uint8_t>(known.length + 1)};
        }
    }
    return table;
}();

// A sign bit (1 for negative) and the magnitude's gamma code, bit by bit.
// False at the end of the data.
bool takeSignedGammaExactly(detail::BitCursor& cursor, std::int32_t& value) {
    std::uint32_t gamma = 0;
    const int sign = cursor.takeBit();
    if (sign < 0 || !cursor.takeGamma(gamma)) {
        return false;
    }
    value = static_cast<std::int32_t>(sign != 0 ? 0u - gamma : gamma);
    return true;
}

// Reads the codes of gamma runs. While the buffer holds the next bytes, the
// codes come from the window of a buffer position; the buffer's last bytes,
// the refills, the end of the data and codes longer than 32 bits go through
// the bit cursor, and the two hand the position over in both directions.
class GammaReader {
  public:
    explicit GammaReader(BitInput& input) : cursor_(input) {
        onPosition_ = position_.takeFrom(cursor_);
    }

    void save() {
        if (onPosition_) {
            position_.giveTo(cursor_);
        }
        cursor_.save();
    }

    [[gnu::always_inline]] bool takeSigned(std::int32_t& value) {
        if (position_.fillWindow()) {
            const std::uint64_t window = position_.window;
            const SignedGamma known = kSignedGammas[window >> (64 - kSignedGammaBits)];
            int length = known.length;
            value = known.value;
            if (length == 0) {
                std::uint32_t gamma = 0;
                if (!detail::BitCursor::gammaAtTop(static_cast<std::uint32_t>(window >> 31), 31,
                                                   gamma, length)) {
                    return takeExactly(value);
                }
                value = static_cast<std::int32_t>((window >> 63) != 0 ? 0u - gamma : gamma);
                ++length;
            }
            position_.skipWindow(length);
            return true;
        }
        return takeExactly(value);
    }

    [[gnu::always_inline]] bool takeGamma(std::uint32_t& value) {
        if (position_.fillWindow()) {
            int length = 0;
            if (detail::BitCursor::gammaAtTop(static_cast<std::uint32_t>(position_.window >> 32),
                                              32, value, length)) {
                position_.skipWindow(length);
                return true;
            }
        }
        return takeGammaExactly(value);
    }

  private:
    [[gnu::noinline]] bool takeExactly(std::int32_t& value) {
        toCursor();
        const bool taken = takeSignedGammaExactly(cursor_, value);
        fromCursor();
        return taken;
    }

    [[gnu::noinline]] bool takeGammaExactly(std::uint32_t& value) {
        toCursor();
        const bool taken = cursor_.takeGamma(value);
        fromCursor();
        return taken;
    }

    void toCursor() {
        if (onPosition_) {
            position_.giveTo(cursor_);
        }
    }

    void fromCursor() { onPosition_ = position_.takeFrom(cursor_); }

    detail::BitCursor cursor_;
    detail::BitPosition position_;
    bool onPosition_ = false;
};

}  // namespace

std::uint32_t BitInput::decodeGammaRuns(std::int32_t* out, std::uint32_t count) {
    // The run state lives in locals while decoding: stores to `out` could
    // otherwise alias it and force reloads.
    GammaReader reader(*this);
    std::int32_t* __restrict const values = out;
    std::uint32_t left = runLength;
    std::int32_t nonZero = runIsNonZero;
    std::uint32_t stored = 0;
    const auto finish = [&](std::uint32_t result) {
        runLength = left;
        runIsNonZero = nonZero;
        reader.save();
        return result;
    };
    if (left == 0 && !reader.takeGamma(left)) {
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
                if (!reader.takeSigned(values[stored])) {
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
        if (!reader.takeGamma(left)) {
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
