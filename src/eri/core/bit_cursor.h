// The decoders' working copy of the bit register: kept in locals for the hot
// loops, with the word load inline and only the byte refill out of line.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "eri/core/bit_input.h"

namespace eri::detail {

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
        // Codes of up to 15 data bits lying wholly in the window are read at
        // once: the flags stand at even places, the data bits between them.
        int available = 0;
        const auto top = static_cast<std::uint32_t>(peekWindow(available) >> 32);
        const std::uint32_t stops = ~top & 0xAAAAAAAAu;
        if (stops != 0) {
            const int k = std::countl_zero(stops) >> 1;
            const int length = 2 * k + 1;
            if (length <= available) {
                value = gammaValue(top, k);
                skipBits(length);
                return true;
            }
        }
        return takeGammaBitwise(value);
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

    // Packs bits 0, 2, 4, ... of x into the low half, lowest first.
    static std::uint32_t evenBits(std::uint32_t x) {
        x &= 0x55555555u;
        x = (x | x >> 1) & 0x33333333u;
        x = (x | x >> 2) & 0x0F0F0F0Fu;
        x = (x | x >> 4) & 0x00FF00FFu;
        return (x | x >> 8) & 0x0000FFFFu;
    }
};

}  // namespace eri::detail
