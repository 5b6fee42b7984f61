// Bit writer: bits most significant first within big-endian 32-bit words,
// as the decoders' bit input reads them.
#pragma once

#include <cstdint>
#include <vector>

namespace eriwriter {

class BitWriter {
  public:
    void putBit(std::uint32_t bit);
    // The low n (0..32) bits of value, most significant first.
    void putBits(std::uint32_t value, int n);
    // Interleaved gamma code of value >= 1: a flag 1 and a data bit per data
    // bit (most significant first), then a flag 0.
    void putGamma(std::uint32_t value);

    std::uint64_t bitCount() const { return bitCount_; }
    // The bytes written so far; the last byte is completed with zero bits.
    std::vector<std::uint8_t> bytes() const;

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t bitCount_ = 0;
};

}  // namespace eriwriter
