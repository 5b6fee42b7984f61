#include "eri/memory_input_stream.h"

#include <algorithm>
#include <cstring>

namespace eri {

MemoryInputStream::MemoryInputStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() > 0xFFFFFFFFu) {
        bytes_.resize(0xFFFFFFFFu);
    }
}

std::uint32_t MemoryInputStream::getSize() {
    return static_cast<std::uint32_t>(bytes_.size());
}

std::uint32_t MemoryInputStream::read(void* buffer, std::uint32_t count) {
    const std::uint32_t left = getSize() - position_;
    const std::uint32_t n = std::min(count, left);
    if (n > 0) {
        std::memcpy(buffer, bytes_.data() + position_, n);
    }
    position_ += n;
    return n;
}

void MemoryInputStream::seek(std::uint32_t offset) {
    position_ = std::min(offset, getSize());
}

}  // namespace eri
