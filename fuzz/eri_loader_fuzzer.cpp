// The ERI loader over arbitrary file contents: it must load them or refuse
// them, never read or write out of bounds, never hang.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "eri/dib_block.h"
#include "eri/eri_loader.h"
#include "eri/memory_input_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    eri::MemoryInputStream file(std::vector<std::uint8_t>(data, data + size));
    eri::HeapDibBlock block;
    const std::size_t dibSize = eri::loadEriImage(file, block);
    if (dibSize != 0) {
        // Every byte of the DIB was written: reading them all finds stray ones.
        volatile std::uint8_t sum = 0;
        for (std::size_t i = 0; i < dibSize; ++i) {
            sum = static_cast<std::uint8_t>(sum + block.data()[i]);
        }
    }
    return 0;
}
