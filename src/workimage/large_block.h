// Large pixel blocks and the memory system: a fresh block of tens of
// megabytes costs one page fault per 4 KiB page on first touch, which can
// take longer than the work done on the pixels. Backing such blocks with huge
// pages cuts the faults by a factor of 512.
#pragma once

#include <cstddef>

namespace tinta {

// Asks the system to back the block with huge pages where it can. Only a
// hint: blocks below a few megabytes and systems without the feature are
// left as they are.
void AdviseHugePages(void* block, size_t size);

}  // namespace tinta
