#include "dib_buffer.h"

#include <cstdlib>
#include <utility>

namespace tinta {

DibBuffer::DibBuffer(DibBuffer&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

DibBuffer& DibBuffer::operator=(DibBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        block_ = std::exchange(other.block_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

DibBuffer::~DibBuffer() {
    Release();
}

bool DibBuffer::Resize(size_t size) {
    if (size == 0) {
        return false;
    }
    if (block_ != nullptr && capacity_ >= size) {
        size_ = size;
        return true;
    }
    if (block_ != nullptr) {
        // realloc leaves the old block valid when it fails.
        if (void* enlarged = std::realloc(block_, size)) {
            block_ = static_cast<uint8_t*>(enlarged);
            size_ = size;
            capacity_ = size;
            return true;
        }
    }
    void* fresh = std::malloc(size);
    if (fresh == nullptr) {
        return false;
    }
    std::free(block_);
    block_ = static_cast<uint8_t*>(fresh);
    size_ = size;
    capacity_ = size;
    return true;
}

void DibBuffer::Release() {
    std::free(block_);
    block_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

}  // namespace tinta
