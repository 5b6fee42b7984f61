// The block a loaded picture is written into: one growable block on the C
// heap that the caller keeps from load to load.
#pragma once

#include <cstddef>
#include <cstdint>

namespace eri {

class DibBlock {
  public:
    virtual ~DibBlock() = default;
    // Room for `size` bytes: the block to write them into, or null when no
    // block of that size can be had; the previous block is then unchanged.
    virtual std::uint8_t* reserve(std::size_t size) = 0;
};

// A DibBlock that owns its block. A block large enough is kept; a smaller one
// is enlarged with realloc, and when that fails (or there is none yet) a new
// block is taken with malloc and the old one freed.
class HeapDibBlock final : public DibBlock {
  public:
    // The allocation routines, replaceable so that failures can be tried.
    struct Allocator {
        void* (*allocate)(std::size_t);
        void* (*reallocate)(void*, std::size_t);
        void (*free)(void*);
    };
    static Allocator heapAllocator();

    explicit HeapDibBlock(Allocator allocator = heapAllocator()) : allocator_(allocator) {}
    ~HeapDibBlock() override;
    HeapDibBlock(const HeapDibBlock&) = delete;
    HeapDibBlock& operator=(const HeapDibBlock&) = delete;

    std::uint8_t* reserve(std::size_t size) override;

    const std::uint8_t* data() const { return block_; }
    std::size_t capacity() const { return capacity_; }

  private:
    Allocator allocator_;
    std::uint8_t* block_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace eri
