#include "eri/core/block_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

std::string tagOf(void* block) {
    return std::string(static_cast<char*>(block) - 4, 4);
}

TEST(BlockAllocator, ThresholdChoosesHeapOrPages) {
    void* below = eri::allocateBlock(65535);
    void* at = eri::allocateBlock(65536);
    ASSERT_NE(below, nullptr);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(tagOf(below), "heap");
    EXPECT_EQ(tagOf(at), "page");
    // The whole usable size is writable.
    std::memset(below, 0xAB, 65535);
    std::memset(at, 0xCD, 65536);
    eri::freeBlock(below);
    eri::freeBlock(at);
}

TEST(BlockAllocator, FreeIgnoresNullAndUnknownTags) {
    eri::freeBlock(nullptr);
    alignas(8) unsigned char foreign[16] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    eri::freeBlock(foreign + 8);
    SUCCEED();
}

TEST(BlockAllocator, ImpossibleRequestsGiveNull) {
    EXPECT_EQ(eri::allocateBlock(SIZE_MAX), nullptr);
    EXPECT_EQ(eri::allocateBlock(SIZE_MAX - 8), nullptr);
    EXPECT_EQ(eri::allocateBlock(std::size_t{1} << 62), nullptr);
    EXPECT_FALSE(eri::allocateBlockOf<std::uint64_t>(SIZE_MAX / 4));
}

}  // namespace
