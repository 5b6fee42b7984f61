// Reading of gamma-coded runs and of the tree symbols between them: while
// the buffer holds the next bytes the codes come from the window of a buffer
// position; the buffer's last bytes, the refills, the end of the data and
// long codes go through the bit cursor, and the two hand the position over
// in both directions.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"
#include "eri/core/bit_position.h"
#include "eri/core/huffman_walk.h"

namespace eri::detail {

// A sign bit and a short gamma code, by their first kSignedGammaBits bits:
// the signed value and the length with the sign, length 0 where the code is longer.
struct SignedGamma {
    std::int8_t value;
    std::uint8_t length;
};

constexpr int kSignedGammaBits = kShortGammaBits + 1;

inline constexpr auto kSignedGammas = [] {
    std::array<SignedGamma, std::size_t{1} << kSignedGammaBits> table{};
    constexpr std::uint32_t kGammaMask = (std::uint32_t{1} << kShortGammaBits) - 1;
    for (std::uint32_t bits = 0; bits < table.size(); ++bits) {
        const ShortGamma known = kShortGammas[bits & kGammaMask];
        if (known.length != 0) {
            const int magnitude = known.value;
            const bool negative = (bits >> kShortGammaBits) != 0;
            table[bits] = {static_cast<std::int8_t>(negative ? -magnitude : magnitude),
                           static_cast<std::uint8_t>(known.length + 1)};
        }
    }
    return table;
}();

// A sign bit (1 for negative) and the magnitude's gamma code, bit by bit.
// False at the end of the data.
inline bool takeSignedGammaExactly(BitCursor& cursor, std::int32_t& value) {
    std::uint32_t gamma = 0;
    const int sign = cursor.takeBit();
    if (sign < 0 || !cursor.takeGamma(gamma)) {
        return false;
    }
    value = static_cast<std::int32_t>(sign != 0 ? 0u - gamma : gamma);
    return true;
}

// The reader of the codes above, from the bit input's place on; save() puts
// its place back. Gamma codes longer than 32 bits take the bit cursor.
class GammaReader {
  public:
    explicit GammaReader(BitInput& input) : place_(input) {}

    void save() { place_.save(); }

    [[gnu::always_inline]] bool takeSigned(std::int32_t& value) {
        if (place_.position.fillWindow()) {
            const std::uint64_t window = place_.position.window;
            const SignedGamma known = kSignedGammas[window >> (64 - kSignedGammaBits)];
            int length = known.length;
            value = known.value;
            if (length == 0) {
                std::uint32_t gamma = 0;
                if (!BitCursor::gammaAtTop(static_cast<std::uint32_t>(window >> 31), 31, gamma,
                                           length)) {
                    return takeExactly(value);
                }
                value = static_cast<std::int32_t>((window >> 63) != 0 ? 0u - gamma : gamma);
                ++length;
            }
            place_.position.skipWindow(length);
            return true;
        }
        return takeExactly(value);
    }

    [[gnu::always_inline]] bool takeGamma(std::uint32_t& value) {
        if (place_.position.fillWindow()) {
            int length = 0;
            if (BitCursor::gammaAtTop(static_cast<std::uint32_t>(place_.position.window >> 32), 32,
                                      value, length)) {
                place_.position.skipWindow(length);
                return true;
            }
        }
        return takeGammaExactly(value);
    }

    // The kind of a fresh run from its first bit: 0 for zeros, -1 for values.
    // False at the end of the data.
    [[gnu::always_inline]] bool takeRunKind(std::int32_t& nonZero) {
        int bit = 0;
        if (place_.position.fillWindow()) {
            bit = static_cast<int>(place_.position.window >> 63);
            place_.position.skipWindow(1);
        } else if (!place_.onCursor([&bit](BitCursor& cursor) {
                       bit = cursor.takeBit();
                       return bit >= 0;
                   })) {
            return false;
        }
        nonZero = bit == 0 ? 0 : -1;
        return true;
    }

    // One symbol of `tree`, its escape read as 8 raw bits. A code that ends
    // within the window is walked and counted there; the escape, an empty
    // tree and longer codes take the exact walk. False at the end of the data.
    [[gnu::always_inline]] bool takeSymbol(HuffmanTree& tree, std::uint32_t& symbol) {
        HuffmanNode* const nodes = tree.nodes;
        std::int32_t child = nodes[kHuffmanRoot].childOrLeaf;
        if (child != kEmptyRoot && place_.position.fillWindow()) {
            std::uint64_t window = place_.position.window;
            for (int used = 1; used <= 32; ++used) {
                const int node = child + static_cast<int>(window >> 63);
                window <<= 1;
                const std::int32_t code = nodes[node].childOrLeaf;
                if (code >= 0) {
                    child = code;
                    continue;
                }
                if (code == kEscapeCode) {
                    break;
                }
                place_.position.skipWindow(used);
                if (tree.incrementLeaf(node) >= kRescaleWeight) {
                    tree.rescaleTree();
                }
                symbol = static_cast<std::uint32_t>(code) & 0x7FFFFFFF;
                return true;
            }
        }
        return takeSymbolExactly(tree, symbol);
    }

  private:
    [[gnu::noinline]] bool takeSymbolExactly(HuffmanTree& tree, std::uint32_t& symbol) {
        return place_.onCursor([&](BitCursor& cursor) {
            bool rescaled = false;
            return decodeFromTree(
                cursor, tree, ReadRawByte{}, [](int, int) {}, rescaled, symbol);
        });
    }

    [[gnu::noinline]] bool takeExactly(std::int32_t& value) {
        return place_.onCursor(
            [&value](BitCursor& cursor) { return takeSignedGammaExactly(cursor, value); });
    }

    [[gnu::noinline]] bool takeGammaExactly(std::uint32_t& value) {
        return place_.onCursor([&value](BitCursor& cursor) { return cursor.takeGamma(value); });
    }

    CursorAndPosition place_;
};

// Gamma runs into `out` from the reader's place, with the run state of
// `input` (kind and length of the current run) carried in and out: the
// number of values stored, fewer at the end of the data.
[[gnu::always_inline]] inline std::uint32_t readGammaRuns(BitInput& input, GammaReader& reader,
                                                          std::int32_t* out, std::uint32_t count) {
    // The run state lives in locals while decoding: stores to `out` could
    // otherwise alias it and force reloads.
    std::int32_t* __restrict const values = out;
    std::uint32_t left = input.runLength;
    std::int32_t nonZero = input.runIsNonZero;
    std::uint32_t stored = 0;
    const auto finish = [&](std::uint32_t result) {
        input.runLength = left;
        input.runIsNonZero = nonZero;
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

}  // namespace eri::detail
