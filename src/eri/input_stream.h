// Byte streams of the ERI side. Offsets and sizes are 32 bits: files of
// 4 GiB and more are refused when they are opened.
#pragma once

#include <cstdint>

namespace eri {

class InputStream {
  public:
    virtual ~InputStream() = default;
    // Copies up to `count` bytes; returns how many (0 at the end or on error).
    virtual std::uint32_t read(void* buffer, std::uint32_t count) = 0;
    virtual std::uint32_t getSize() = 0;
    virtual std::uint32_t getPosition() = 0;
    virtual void seek(std::uint32_t offset) = 0;
};

}  // namespace eri
