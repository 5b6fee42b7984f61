// The decoders' working copy of the bit register: kept in locals for the hot
// loops, with the word load inline and only the byte refill out of line.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "eri/core/bit_input.h"

namespace eri::detail {

// Gamma codes that fit in kShortGammaBits bits, by those bits (first bit most
// significant); length 0 where the code is longer.
struct ShortGamma {
    std::uint8_t value;
    std::uint8_t length;
};

constexpr int kShortGammaBits = 11;

inline constexpr auto kShortGammas = [] {
    std::array<ShortGamma, std::size_t{1} << kShortGammaBits> table{};
    for (std::uint32_t bits = 0; bits < table.size(); ++bits) {
        const auto bitAt = [bits](int place) { return bits >> (kShortGammaBits - 1 - place) & 1; };
        std::uint32_t value = 1;
        for (int place = 0; place < kShortGammaBits; place += 2) {
            if (bitAt(place) == 0) {
                table[bits] = {static_cast<std::uint8_t>(value),
                               static_cast<std::uint8_t>(place + 1)};
                break;
            }
            if (place + 1 == kShortGammaBits) {
                break;
            }
            value = value * 2 + bitAt(place + 1);
        }
    }
    return table;
}();

struct BitCursor {
    BitInput& input;
    std::uint32_t reg;
    std::int32_t count;

    explicit BitCursor(BitInput& in) : input(in), reg(in.bitRegister), count(in.bitCount) {}

    void save() {
        input.bitRegister = reg;
        input.bitCount = count;
    }

    // Loads the next word into the register; false when the data has ended.
    bool loadWord() {
        if (input.bytesLeft_ == 0 && !input.fillBuffer()) {
            return false;
        }
        reg = bufferedWord();
        input.bufferCursor_ += 4;
        input.bytesLeft_ -= 4;
        count = 32;
        return true;
    }

    // The next bits without taking them, left-aligned: those left in the
    // register, then the next word when the buffer already holds it. Bits past
    // `available` are zero. Lets the decoders take a whole code at once.
    [[gnu::always_inline]] std::uint64_t peekWindow(int& available) const {
        // Past the arithmetic code's end the register is a run of zero bits.
        if (count > 32) {
            available = 32;
            return 0;
        }
        std::uint64_t window = std::uint64_t{reg} << 32;
        available = count;
        if (input.bytesLeft_ >= 4) {
            window |= std::uint64_t{bufferedWord()} << (32 - count);
            available += 32;
        }
        return window;
    }

    // Takes n bits of the last peekWindow (n <= 32 and n <= available), as
    // bit-by-bit taking would: the next word enters only once a bit of it is used.
    [[gnu::always_inline]] void skipBits(int n) {
        if (n <= count) {
            reg = n == 32 ? 0 : reg << n;
            count -= n;
            return;
        }
        const int fromWord = n - count;
        const std::uint32_t word = bufferedWord();
        input.bufferCursor_ += 4;
        input.bytesLeft_ -= 4;
        reg = fromWord == 32 ? 0 : word << fromWord;
        count = 32 - fromWord;
    }

    // 0 or 1, or -1 when the data has ended.
    int takeBit() {
        if (count == 0 && !loadWord()) {
            return -1;
        }
        const int bit = static_cast<int>(reg >> 31);
        reg <<= 1;
        --count;
        return bit;
    }

    bool takeBits(int n, std::uint32_t& value) {
        std::uint32_t result = 0;
        while (n > 0) {
            if (count == 0 && !loadWord()) {
                return false;
            }
            const int k = count < n ? count : n;
            if (k == 32) {
                result = reg;
                reg = 0;
            } else {
                result = (result << k) | (reg >> (32 - k));
                reg <<= k;
            }
            count -= k;
            n -= k;
        }
        value = result;
        return true;
    }

    // False at the end of the data, and for a code of 32 or more data bits,
    // whose value would not fit in 32 bits.
    [[gnu::always_inline]] bool takeGamma(std::uint32_t& value) {
        int available = 0;
        const std::uint64_t window = peekWindow(available);
        int length = 0;
        if (gammaAtTop(static_cast<std::uint32_t>(window >> 32), available, value, length)) {
            skipBits(length);
            return true;
        }
        return takeGammaBitwise(value);
    }

    // A whole gamma code at the top of `bits`, of which `room` are real: its
    // value and length. Short codes come from the table; codes of up to 15
    // data bits are read at once (flags at even places, data bits between).
    [[gnu::always_inline]] static bool gammaAtTop(std::uint32_t bits, int room,
                                                  std::uint32_t& value, int& length) {
        const ShortGamma known = kShortGammas[bits >> (32 - kShortGammaBits)];
        if (known.length != 0) {
            value = known.value;
            length = known.length;
            return length <= room;
        }
        const std::uint32_t stops = ~bits & 0xAAAAAAAAu;
        if (stops == 0) {
            return false;
        }
        const int k = std::countl_zero(stops) >> 1;
        length = 2 * k + 1;
        value = gammaValue(bits, k);
        return length <= room;
    }

    [[gnu::noinline]] bool takeGammaBitwise(std::uint32_t& value) {
        std::uint32_t data = 0;
        int k = 0;
        for (;;) {
            const int flag = takeBit();
            if (flag <= 0) {
                if (flag < 0) {
                    return false;
                }
                break;
            }
            if (k == 31) {
                return false;
            }
            const int bit = takeBit();
            if (bit < 0) {
                return false;
            }
            data = data * 2 + static_cast<std::uint32_t>(bit);
            ++k;
        }
        value = (std::uint32_t{1} << k) + data;
        return true;
    }

    // Value of a gamma code of k data bits standing left-aligned in `bits`.
    static std::uint32_t gammaValue(std::uint32_t bits, int k) {
        const auto data = static_cast<std::uint32_t>(std::uint64_t{bits} >> (32 - 2 * k));
        return (std::uint32_t{1} << k) | evenBits(data);
    }

  private:
    std::uint32_t bufferedWord() const {
        std::uint32_t word = 0;
        std::memcpy(&word, input.bufferCursor_, 4);
        if constexpr (std::endian::native == std::endian::little) {
            word = __builtin_bswap32(word);
        }
        return word;
    }

    // Packs bits 0, 2, 4, ... of a 30-bit x into the low half, lowest first,
    // a byte at a time: a shorter dependency chain than bit tricks.
    static std::uint32_t evenBits(std::uint32_t x) {
        static constexpr auto kEvenBitsOfByte = [] {
            std::array<std::uint8_t, 256> table{};
            for (std::uint32_t b = 0; b < 256; ++b) {
                table[b] =
                    static_cast<std::uint8_t>((b & 1) | (b >> 1 & 2) | (b >> 2 & 4) | (b >> 3 & 8));
            }
            return table;
        }();
        return kEvenBitsOfByte[x & 0xFF] | std::uint32_t{kEvenBitsOfByte[x >> 8 & 0xFF]} << 4 |
               std::uint32_t{kEvenBitsOfByte[x >> 16 & 0xFF]} << 8 |
               std::uint32_t{kEvenBitsOfByte[x >> 24]} << 12;
    }
};

}  // namespace eri::detail
