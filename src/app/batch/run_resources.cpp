#include "run_resources.h"

#include <malloc.h>
#include <sched.h>
#include <unistd.h>

#include <thread>

namespace tinta {

int DefaultJobs() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) {
            return count;
        }
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 0 ? static_cast<int>(hardware) : 1;
}

uint64_t DefaultMemoryBudget() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) {
        return UINT64_MAX;
    }
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 4;
}

namespace {

// Blocks up to 32 MiB (pictures up to 4096 x 2048) come from the heap rather
// than fresh mappings, and up to 512 MiB of freed heap stays for reuse.
constexpr int kRunMapThreshold = 32 * 1024 * 1024;
constexpr int kRunTrimThreshold = 512 * 1024 * 1024;

}  // namespace

PixelBlockReuse::PixelBlockReuse() {
    mallopt(M_MMAP_THRESHOLD, kRunMapThreshold);
    mallopt(M_TRIM_THRESHOLD, kRunTrimThreshold);
    mallopt(M_ARENA_MAX, 1);
}

PixelBlockReuse::~PixelBlockReuse() {
    malloc_trim(0);
}

}  // namespace tinta
