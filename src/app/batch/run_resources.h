// What a run may take of the machine by default.
#pragma once

#include <cstdint>

namespace tinta {

// The processors this process may run on (its CPU affinity); at least 1.
int DefaultJobs();

// A quarter of the physical memory; UINT64_MAX when it cannot be told.
uint64_t DefaultMemoryBudget();

// During a run, freed pixel blocks (pictures, file buffers) stay
// with the allocator and are handed out again for the next picture, instead
// of going back to the system and coming back as fresh pages, each of which
// costs a page fault on first touch. All threads share one heap, so that a
// block freed by the thread that saved its picture serves the next load on
// any thread; with a heap per thread each would keep its own peak. At the
// end of the run the free memory is given back.
class PixelBlockReuse {
  public:
    PixelBlockReuse();
    ~PixelBlockReuse();
    PixelBlockReuse(const PixelBlockReuse&) = delete;
    PixelBlockReuse& operator=(const PixelBlockReuse&) = delete;
};

}  // namespace tinta
