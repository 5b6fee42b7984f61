// The decoders' working copy of the bit register: kept in locals for the hot
// loops, with the word load inline and only the byte refill out of line.
#pragma once

#include <cstdint>

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
        const std::uint8_t* p = input.bufferCursor_;
        reg = static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
              static_cast<std::uint32_t>(p[2]) << 8 | p[3];
        input.bufferCursor_ = p + 4;
        input.bytesLeft_ -= 4;
        count = 32;
        return true;
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
    bool takeGamma(std::uint32_t& value) {
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
};

}  // namespace eri::detail
