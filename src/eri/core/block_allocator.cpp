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
constexpr std::size_t kHugePageSize = std::size_t{2} << 20;
// Blocks of this size and more are mapped in whole, aligned huge pages: a
// picture's buffers and the decoding tables are then faulted in a few times
// per decode instead of hundreds or thousands.
constexpr std::size_t kHugeBlockSize = std::size_t{1} << 20;

struct Mapping {
    unsigned char* base;
    std::size_t length;
};

Mapping mapPages(std::size_t length) {
    void* mapped =
        mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return mapped == MAP_FAILED ? Mapping{nullptr, 0}
                                : Mapping{static_cast<unsigned char*>(mapped), length};
}

#ifdef MADV_HUGEPAGE
// Maps whole huge pages on a huge-page boundary; the slack taken for the
// alignment is given back at once.
Mapping mapHugePages(std::size_t length) {
    const std::size_t rounded = (length + kHugePageSize - 1) & ~(kHugePageSize - 1);
    if (rounded < length || rounded > SIZE_MAX - kHugePageSize) {
        return Mapping{nullptr, 0};
    }
    const Mapping wide = mapPages(rounded + kHugePageSize);
    if (wide.base == nullptr) {
        return wide;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(wide.base);
    const std::size_t head = ((start + kHugePageSize - 1) & ~(kHugePageSize - 1)) - start;
    if (head != 0) {
        munmap(wide.base, head);
    }
    if (head != kHugePageSize) {
        munmap(wide.base + head + rounded, kHugePageSize - head);
    }
    madvise(wide.base + head, rounded, MADV_HUGEPAGE);  // only a hint; refusal changes nothing
    return Mapping{wide.base + head, rounded};
}
#endif

// Page blocks the C heap keeps: a decoder's tables and work buffers, freed
// at the end of one picture and asked for again by the next. The heap hands
// them back already faulted in, where fresh mappings cost a page fault each
// time and a TLB flush on release. Larger blocks are pictures: they are
// mapped, so their memory goes back to the system when they are freed.
constexpr std::size_t kHeapPageBlockLimit = std::size_t{4} << 20;

// A page block's header holds the mapping's length, or 0 when the heap serves it.
void* pageBlock(std::size_t size, bool fromHeap) {
    if (size > SIZE_MAX - kPageHeader) {
        return nullptr;
    }
    const std::size_t length = size + kPageHeader;
    Mapping mapping{nullptr, 0};
    if (fromHeap) {
        mapping.base = static_cast<unsigned char*>(std::malloc(length));
    } else {
#ifdef MADV_HUGEPAGE
        mapping = length >= kHugeBlockSize ? mapHugePages(length) : mapPages(length);
#else
        mapping = mapPages(length);
#endif
    }
    if (mapping.base == nullptr) {
        return nullptr;
    }
    unsigned char* const base = mapping.base;
    std::memcpy(base, &mapping.length, sizeof mapping.length);
    std::memcpy(base + kPageHeader - 4, kPageTag, 4);
    return base + kPageHeader;
}

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
    return pageBlock(size, size < kHeapPageBlockLimit);
}

void* allocateZeroedBlock(std::size_t size) {
    if (size < kPageBlockThreshold) {
        void* block = allocateBlock(size);
        if (block != nullptr) {
            std::memset(block, 0, size);
        }
        return block;
    }
    return pageBlock(size, false);
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
        if (length == 0) {
            std::free(base);
        } else {
            munmap(base, length);
        }
    }
}

}  // namespace eri
