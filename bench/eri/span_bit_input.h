// Bit input over bytes owned elsewhere, refilled 64 KiB at a time as the
// loader does.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "eri/core/bit_input.h"

namespace eribench {

class SpanBitInput : public eri::BitInput {
  public:
    explicit SpanBitInput(const std::vector<std::uint8_t>& bytes)
        : eri::BitInput(0x10000), bytes_(bytes) {}

  protected:
    std::uint32_t read(std::uint8_t* buffer, std::uint32_t count) override {
        const std::size_t n = std::min<std::size_t>(count, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<std::uint32_t>(n);
    }

  private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t position_ = 0;
};

constexpr std::size_t kStreamBytes = 16u << 20;

}  // namespace eribench
