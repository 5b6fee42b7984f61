#pragma once

#include <cstdint>
#include <vector>

namespace eriwriter {

// Arithmetic coder whose output decodeArithmeticSymbols reads back: the same
// adaptive models and interval arithmetic, the code value kept exactly (carries
// propagate into the bits already produced), then written out with the carry
// bit the decoder expects after every 32 one-bits in its lookahead.
class ArithmeticEncoder {
  public:
    struct Termination {
        // Where the code has a 1 followed by 32 zeros, write 0, 32 ones and a
        // carry bit of 1 instead, so the decoder's carry path is taken.
        bool useCarryBits = false;
        // One-bits appended after the code value (it stays inside the last
        // interval); 32 or more make the decoder read stuffed zero carry bits.
        int trailingOnes = 0;
    };

    // b in 1..8.
    explicit ArithmeticEncoder(int b);
    // `symbol` in the signed b-bit range.
    void encode(std::int32_t symbol);
    std::vector<std::uint8_t> finish(Termination termination);

    // Carry bits written by finish, by value.
    std::uint64_t zeroCarryBits() const { return zeroCarryBits_; }
    std::uint64_t oneCarryBits() const { return oneCarryBits_; }

  private:
    void appendBit(std::uint32_t bit);
    void carry();
    bool bitAt(std::uint64_t i) const;

    std::uint32_t symbolCount_;
    std::vector<std::uint32_t> models_;
    std::uint32_t context_ = 0;
    std::uint64_t low_ = 0;
    std::uint32_t range_ = 0xFFFFFFFFu;
    // The code value's bits produced so far, most significant first, packed.
    std::vector<std::uint64_t> code_;
    std::uint64_t codeBits_ = 0;
    std::uint64_t zeroCarryBits_ = 0;
    std::uint64_t oneCarryBits_ = 0;
};

}  // namespace eriwriter
