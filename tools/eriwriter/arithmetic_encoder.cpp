#include "eriwriter/arithmetic_encoder.h"

#include <cassert>

#include "eri/core/frequency_model.h"
#include "eriwriter/bit_writer.h"

namespace eriwriter {
namespace {

constexpr std::uint32_t kHalfRange = 0x80000000u;
constexpr int kWindowBits = 32;

}  // namespace

ArithmeticEncoder::ArithmeticEncoder(int b) : symbolCount_(1u << b) {
    assert(b >= 1 && b <= 8);
    models_.resize(std::size_t{symbolCount_} * (symbolCount_ + 1));
    for (std::uint32_t t = 0; t < symbolCount_; ++t) {
        eri::FrequencyModel(models_.data() + t * (symbolCount_ + 1)).initialize(b);
    }
}

void ArithmeticEncoder::appendBit(std::uint32_t bit) {
    if (codeBits_ % 64 == 0) {
        code_.push_back(0);
    }
    if (bit != 0) {
        code_.back() |= std::uint64_t{1} << (63 - codeBits_ % 64);
    }
    ++codeBits_;
}

// Adds one at the last bit produced.
void ArithmeticEncoder::carry() {
    std::size_t word = code_.size() - 1;
    std::uint64_t add = std::uint64_t{1} << (63 - (codeBits_ - 1) % 64);
    for (;;) {
        code_[word] += add;
        if (code_[word] >= add) {
            return;
        }
        assert(word > 0);
        --word;
        add = 1;
    }
}

bool ArithmeticEncoder::bitAt(std::uint64_t i) const {
    if (i >= codeBits_) {
        return false;
    }
    return ((code_[i / 64] >> (63 - i % 64)) & 1) != 0;
}

void ArithmeticEncoder::encode(std::int32_t symbol) {
    std::uint32_t* const words = models_.data() + context_ * (symbolCount_ + 1);
    eri::FrequencyModel model(words);
    const std::uint32_t total = model.total();
    std::uint32_t i = 0;
    std::uint32_t cumulative = 0;
    while (model.symbol(i) != symbol) {
        cumulative += model.count(i);
        ++i;
        assert(i < symbolCount_);
    }
    const std::uint64_t start = std::uint64_t{range_} * cumulative;
    low_ += start / total + (start % total != 0 ? 1 : 0);
    if (low_ > 0xFFFFFFFFu) {
        carry();
        low_ &= 0xFFFFFFFFu;
    }
    range_ = static_cast<std::uint32_t>(std::uint64_t{range_} * model.count(i) / total);
    while (range_ < kHalfRange) {
        appendBit(static_cast<std::uint32_t>(low_ >> 31) & 1);
        low_ = (low_ << 1) & 0xFFFFFFFFu;
        range_ <<= 1;
    }
    const std::int32_t coded = model.update(i, symbolCount_);
    context_ = static_cast<std::uint32_t>(coded) & (symbolCount_ - 1);
}

std::vector<std::uint8_t> ArithmeticEncoder::finish(Termination termination) {
    for (int i = 31; i >= 0; --i) {
        appendBit(static_cast<std::uint32_t>(low_ >> i) & 1);
    }
    for (int i = 0; i < termination.trailingOnes; ++i) {
        appendBit(1);
    }
    // The decoder takes 64 bits before its first symbol, reading ones past the end.
    while (codeBits_ < 2 * kWindowBits) {
        appendBit(0);
    }

    BitWriter out;
    int ones = 0;  // trailing one-bits of the decoder's lookahead
    auto emit = [&](std::uint32_t bit) {
        out.putBit(bit);
        ones = bit != 0 ? ones + 1 : 0;
        if (ones >= kWindowBits) {
            out.putBit(0);
            ++zeroCarryBits_;
        }
    };
    std::uint64_t i = 0;
    while (i < codeBits_) {
        const bool bit = bitAt(i);
        bool zerosFollow = termination.useCarryBits && bit && i + kWindowBits < codeBits_;
        for (int k = 1; zerosFollow && k <= kWindowBits; ++k) {
            zerosFollow = !bitAt(i + k);
        }
        if (zerosFollow) {
            // 1 0..0 written as 0 1..1 plus a carry of 1, which clears the lookahead.
            out.putBit(0);
            for (int k = 0; k < kWindowBits; ++k) {
                out.putBit(1);
            }
            out.putBit(1);
            ++oneCarryBits_;
            ones = 0;
            i += kWindowBits + 1;
            continue;
        }
        emit(bit ? 1 : 0);
        ++i;
    }
    return out.bytes();
}

}  // namespace eriwriter
