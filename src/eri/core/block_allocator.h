// The block allocator of the whole ERI side. Every block carries a four-byte
// tag right in front of it ("heap" or "page") that tells freeBlock how the
// block was obtained.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace eri {

// Requests below this size are "heap" blocks from the C heap; larger ones are
// "page" blocks: from the C heap too while they are work buffers of a few
// MiB, mapped from the system beyond that.
constexpr std::size_t kPageBlockThreshold = 0x10000;

// A block of `size` usable bytes, or null when the memory cannot be had.
void* allocateBlock(std::size_t size);

// A block of `size` zero bytes. Page blocks are always mapped and come zeroed
// from the system, so pages that are never written are never touched.
void* allocateZeroedBlock(std::size_t size);

// Releases a block of allocateBlock; null and blocks with an unknown tag are ignored.
void freeBlock(void* block);

struct BlockDeleter {
    void operator()(void* block) const { freeBlock(block); }
};

// Owning pointer for blocks of allocateBlock.
template <typename T>
using BlockPtr = std::unique_ptr<T, BlockDeleter>;

template <typename T>
BlockPtr<T> allocateBlockOf(std::size_t count) {
    if (count > SIZE_MAX / sizeof(T)) {
        return BlockPtr<T>();
    }
    return BlockPtr<T>(static_cast<T*>(allocateBlock(count * sizeof(T))));
}

}  // namespace eri
