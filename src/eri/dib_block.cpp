#include "eri/dib_block.h"

#include <cstdlib>

namespace eri {

HeapDibBlock::Allocator HeapDibBlock::heapAllocator() {
    return Allocator{std::malloc, std::realloc, std::free};
}

HeapDibBlock::~HeapDibBlock() {
    allocator_.free(block_);
}

std::uint8_t* HeapDibBlock::reserve(std::size_t size) {
    if (size == 0) {
        return nullptr;
    }
    if (block_ != nullptr && capacity_ >= size) {
        return block_;
    }
    if (block_ != nullptr) {
        // A failed realloc leaves the old block as it was.
        if (void* grown = allocator_.reallocate(block_, size)) {
            block_ = static_cast<std::uint8_t*>(grown);
            capacity_ = size;
            return block_;
        }
    }
    void* fresh = allocator_.allocate(size);
    if (fresh == nullptr) {
        return nullptr;
    }
    allocator_.free(block_);
    block_ = static_cast<std::uint8_t*>(fresh);
    capacity_ = size;
    return block_;
}

}  // namespace eri
