// Bit input over bytes in memory, with a small refill size so that tests
// cross many refills.
#pragma once

#include <cstdint>
#include <vector>

#include "eri/memory_input_stream.h"
#include "eri/stream_bit_input.h"

namespace eritest {

class BytesBitInput : public eri::BitInput {
  public:
    explicit BytesBitInput(std::vector<std::uint8_t> bytes, std::uint32_t capacity = 64)
        : eri::BitInput(capacity), stream_(std::move(bytes)) {}

    std::uint32_t reads() const { return reads_; }

  protected:
    std::uint32_t read(std::uint8_t* buffer, std::uint32_t count) override {
        ++reads_;
        return stream_.read(buffer, count);
    }

  private:
    eri::MemoryInputStream stream_;
    std::uint32_t reads_ = 0;
};

}  // namespace eritest
