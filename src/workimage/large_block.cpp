#include "large_block.h"

#include <sys/mman.h>

#include <cstdint>

namespace tinta {

void AdviseHugePages(void* block, size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHugePageSize = uintptr_t{2} << 20;
    const auto start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + kHugePageSize - 1) & ~(kHugePageSize - 1);
    const uintptr_t end = (start + size) & ~(kHugePageSize - 1);
    if (end > first) {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
#else
    (void)block;
    (void)size;
#endif
}

}  // namespace tinta
