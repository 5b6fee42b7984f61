#include "eri/core/block_allocator.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// Both sides of the sizes where the allocator changes its source: the whole
// usable size is writable and every block is given back.
TEST(BlockAllocator, BlocksAroundTheThresholdAreWhole) {
    for (const std::size_t size :
         {std::size_t{1}, std::size_t{65535}, std::size_t{65536}, std::size_t{1} << 20,
          (std::size_t{4} << 20) - 1, std::size_t{4} << 20}) {
        auto* block = static_cast<unsigned char*>(eri::allocateBlock(size));
        ASSERT_NE(block, nullptr) << size;
        std::memset(block, 0xAB, size);
        eri::freeBlock(block);
    }
    eri::freeBlock(nullptr);
}

// Big blocks come in whole huge pages: every byte asked for is there and
// zero, and freeing gives the whole mapping back.
TEST(BlockAllocator, BigBlocksAreWholeZeroedAndGivenBack) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    for (const std::size_t size : {(std::size_t{1} << 20) - 16, std::size_t{1} << 20,
                                   (std::size_t{3} << 20) + 5, std::size_t{12} << 20}) {
        auto* block = static_cast<unsigned char*>(eri::allocateZeroedBlock(size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(block[0], 0);
        EXPECT_EQ(block[size - 1], 0);
        std::memset(block, 0xEF, size);
        eri::freeBlock(block);
        // The pages of the block, from its first to its last byte, are unmapped.
        auto* const first = reinterpret_cast<unsigned char*>(
            reinterpret_cast<std::uintptr_t>(block) & ~static_cast<std::uintptr_t>(pageSize - 1));
        unsigned char resident[4];
        EXPECT_EQ(mincore(first, 1, resident), -1);
        EXPECT_EQ(errno, ENOMEM);
        auto* const last =
            reinterpret_cast<unsigned char*>(reinterpret_cast<std::uintptr_t>(block + size - 1) &
                                             ~static_cast<std::uintptr_t>(pageSize - 1));
        EXPECT_EQ(mincore(last, 1, resident), -1);
    }
}

TEST(BlockAllocator, ImpossibleRequestsGiveNull) {
    EXPECT_EQ(eri::allocateBlock(SIZE_MAX), nullptr);
    EXPECT_EQ(eri::allocateBlock(SIZE_MAX - 8), nullptr);
    EXPECT_EQ(eri::allocateBlock(std::size_t{1} << 62), nullptr);
    EXPECT_FALSE(eri::allocateBlockOf<std::uint64_t>(SIZE_MAX / 4));
}

}  // namespace
