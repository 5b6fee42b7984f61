#pragma once

#include <cstdint>
#include <vector>

#include "eri/input_stream.h"

namespace eri {

// A stream over bytes held in memory (tests, benchmarks, in-memory decodes).
class MemoryInputStream : public InputStream {
  public:
    explicit MemoryInputStream(std::vector<std::uint8_t> bytes);

    std::uint32_t read(void* buffer, std::uint32_t count) override;
    std::uint32_t getSize() override;
    std::uint32_t getPosition() override { return position_; }
    void seek(std::uint32_t offset) override;

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t position_ = 0;
};

}  // namespace eri
