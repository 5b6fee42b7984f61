#include "eri/core/block_allocator.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

namespace eri {
namespace {

constexpr std::size_t kHeapHeader = 8;
constexpr std::size_t kPageHeader = 16;
constexpr char kHeapTag[4] = {'h', 'e', 'a', 'p'};
constexpr char kPageTag[4] = {'p', 'a', 'g', 'e'};
// Mappings of this size and more ask for huge pages: a picture's buffers are
// then faulted in a few times instead of thousands.
constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

}  // namespace

void* allocateBlock(std::size_t size) {
    if (size < kPageBlockThreshold) {
        auto* base = static_cast<unsigned char*>(std::malloc(size + kHeapHeader));
        if (base == nullptr) {
            return nullptr;
        }
        std::memcpy(base + kHeapHeader - 4, kHeapTag, 4);
        return base + kHeapHeader;
    }
    if (size > SIZE_MAX - kPageHeader) {
        return nullptr;
    }
    const std::size_t length = size + kPageHeader;
    void* mapped =
        mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
#ifdef MADV_HUGEPAGE
    if (length >= kHugePageSize) {
        madvise(mapped, length, MADV_HUGEPAGE);  // only a hint; refusal changes nothing
    }
#endif
    auto* base = static_cast<unsigned char*>(mapped);
    // The mapping length is kept in the header: munmap needs it back.
    std::memcpy(base, &length, sizeof length);
    std::memcpy(base + kPageHeader - 4, kPageTag, 4);
    return base + kPageHeader;
}

void* allocateZeroedBlock(std::size_t size) {
    void* block = allocateBlock(size);
    if (block != nullptr && size < kPageBlockThreshold) {
        std::memset(block, 0, size);
    }
    return block;
}

void freeBlock(void* block) {
    if (block == nullptr) {
        return;
    }
    auto* bytes = static_cast<unsigned char*>(block);
    if (std::memcmp(bytes - 4, kHeapTag, 4) == 0) {
        std::free(bytes - kHeapHeader);
    } else if (std::memcmp(bytes - 4, kPageTag, 4) == 0) {
        unsigned char* base = bytes - kPageHeader;
        std::size_t length = 0;
        std::memcpy(&length, base, sizeof length);
        munmap(base, length);
    }
}

}  // namespace eri
