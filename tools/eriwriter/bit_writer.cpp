#include "eriwriter/bit_writer.h"

namespace eriwriter {

void BitWriter::putBit(std::uint32_t bit) {
    if (bitCount_ % 8 == 0) {
        bytes_.push_back(0);
    }
    if (bit != 0) {
        bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (bitCount_ % 8));
    }
    ++bitCount_;
}

void BitWriter::putBits(std::uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
        putBit((value >> i) & 1);
    }
}

void BitWriter::putGamma(std::uint32_t value) {
    int k = 0;
    while (k < 31 && (value >> (k + 1)) != 0) {
        ++k;
    }
    for (int i = k - 1; i >= 0; --i) {
        putBit(1);
        putBit((value >> i) & 1);
    }
    putBit(0);
}

std::vector<std::uint8_t> BitWriter::bytes() const {
    return bytes_;
}

}  // namespace eriwriter
