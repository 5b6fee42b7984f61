// loadEriImage: the DIB it writes, the block it writes it into, and what it
// refuses.
#include <gtest/gtest.h>

#include <cstdlib>

#include "eri/dib_block.h"
#include "eri/eri_loader.h"
#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/container_writer.h"

namespace eritest {
namespace {

// Decoded line y holds the level y + level (mod 256).
std::vector<std::uint8_t> greyFile(std::int32_t width, std::int32_t height, std::uint8_t level) {
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kGrey, 8, width, height, 0);
    std::vector<std::uint8_t> lines(static_cast<std::size_t>(width) * std::abs(height));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<std::uint8_t>(i / width + level);
    }
    return eriwriter::eriFile(info, eriwriter::encodeLineImageFrame(-1, width, lines));
}

std::uint32_t field32(const std::vector<std::uint8_t>& dib, std::size_t at) {
    return dib[at] | dib[at + 1] << 8 | dib[at + 2] << 16 |
           static_cast<std::uint32_t>(dib[at + 3]) << 24;
}

TEST(LoadEriImage, ThreeByTwoAtTwentyFourBitsPadsItsLines) {
    const auto picture = makePicture(3, 2, 3, 8, PictureKind::random, 3);
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kColour, 24, 3, 2, 1);
    eriwriter::LosslessFrameOptions options;
    options.blockingDegree = 1;
    const auto dib =
        loadBytes(eriwriter::eriFile(info, *eriwriter::encodeLosslessFrame(picture, options)));
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(dib->size(), 40u + 24u);
    EXPECT_EQ(field32(*dib, 20), 24u);
    EXPECT_EQ((*dib)[40 + 9], 0);
    EXPECT_EQ((*dib)[40 + 11], 0);
    EXPECT_EQ((*dib)[40 + 23], 0);
    EXPECT_EQ(*dib, expectedDib(info, picture));
}

TEST(LoadEriImage, NegativeHeightGreyPictureIsStoredTopDown) {
    const auto up = loadBytes(greyFile(640, 480, 9));
    const auto down = loadBytes(greyFile(640, -480, 9));
    ASSERT_TRUE(up && down);
    EXPECT_EQ(field32(*down, 8), 480u);
    EXPECT_EQ(down->size(), 1064u + 640u * 480u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ((*down)[40 + 4 * i], i);
        EXPECT_EQ((*down)[40 + 4 * i + 2], i);
        EXPECT_EQ((*down)[40 + 4 * i + 3], 0);
    }
    EXPECT_EQ(field32(*up, 8), 480u);
    for (std::size_t line = 0; line < 480; ++line) {
        ASSERT_EQ((*up)[1064 + line * 640], static_cast<std::uint8_t>(line + 9));
        ASSERT_EQ((*down)[1064 + line * 640], static_cast<std::uint8_t>(479 - line + 9));
    }
}

TEST(LoadEriImage, PaletteImageWithoutPaletteRecordGetsAZeroTable) {
    const eri::ImageInfo info = losslessImageInfo(0x00020200, 32, kColour, 8, 5, 2, 0);
    const auto dib = loadBytes(eriwriter::eriFile(
        info, eriwriter::encodeLineImageFrame(32, 5, std::vector<std::uint8_t>(10, 200))));
    ASSERT_TRUE(dib.has_value());
    EXPECT_EQ(std::vector<std::uint8_t>(dib->begin() + 40, dib->begin() + 1064),
              std::vector<std::uint8_t>(1024, 0));
    EXPECT_EQ((*dib)[1064], 200);
}

TEST(LoadEriImage, ThirtyTwoBitColourWithoutAlphaIsOpaqueAndAlphaIsKept) {
    const auto picture = makePicture(9, 5, 4, 8, PictureKind::random, 4);
    eriwriter::LosslessFrameOptions options;
    options.blockingDegree = 2;
    const auto frame = *eriwriter::encodeLosslessFrame(picture, options);
    const eri::ImageInfo alpha = losslessImageInfo(0x00020200, -1, kColourAlpha, 32, 9, 5, 2);
    const auto withAlpha = loadBytes(eriwriter::eriFile(alpha, frame));
    ASSERT_TRUE(withAlpha.has_value());
    EXPECT_EQ((*withAlpha)[40 + 3], static_cast<std::uint8_t>(picture.planes[3][0]));

    auto three = picture;
    three.planes.pop_back();
    const eri::ImageInfo opaque = losslessImageInfo(0x00020200, -1, kColour, 32, 9, 5, 2);
    const auto withoutAlpha =
        loadBytes(eriwriter::eriFile(opaque, *eriwriter::encodeLosslessFrame(three, options)));
    ASSERT_TRUE(withoutAlpha.has_value());
    for (std::size_t i = 40 + 3; i < withoutAlpha->size(); i += 4) {
        ASSERT_EQ((*withoutAlpha)[i], 0xFF) << i;
    }
}

TEST(LoadEriImage, ReusesALargeEnoughBlock) {
    const std::string path = temporaryPath("grey.eri");
    writeFile(path, greyFile(100, 100, 1));
    eri::HeapDibBlock block;
    ASSERT_NE(block.reserve(1000000), nullptr);
    const std::uint8_t* before = block.data();
    EXPECT_EQ(eri::loadEriImage(path.c_str(), block), 1064u + 100u * 100u);
    EXPECT_EQ(block.data(), before);
    EXPECT_EQ(block.capacity(), 1000000u);
}

TEST(LoadEriImage, FailureLeavesTheBlockAlone) {
    const std::string path = temporaryPath("broken.eri");
    auto file = greyFile(16, 16, 1);
    file.resize(file.size() - 8);  // the last lines are missing
    writeFile(path, file);
    eri::HeapDibBlock block;
    std::uint8_t* data = block.reserve(16);
    data[0] = 42;
    EXPECT_EQ(eri::loadEriImage(path.c_str(), block), 0u);
    EXPECT_EQ(eri::loadEriImage(temporaryPath("missing.eri").c_str(), block), 0u);
    writeFile(path, {'n', 'o', 't', ' ', 'e', 'r', 'i'});
    EXPECT_EQ(eri::loadEriImage(path.c_str(), block), 0u);
    EXPECT_EQ(eri::loadEriImage(nullptr, block), 0u);
    EXPECT_EQ(block.data(), data);
    EXPECT_EQ(block.capacity(), 16u);
    EXPECT_EQ(data[0], 42);
}

TEST(LoadEriImage, RefusesPicturesTheDibCannotDescribe) {
    // 32768 x 32768 at 32 bits is 4 GiB of lines: more than the image size field holds.
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kColour, 32, 32768, 32768, 3);
    EXPECT_FALSE(loadBytes(eriwriter::eriFile(info, {1, 0, 1, 0})).has_value());
}

// realloc fails, malloc succeeds: the old block is freed and replaced.
int freedBlocks = 0;
TEST(HeapDibBlock, FreesTheOldBlockWhenItMoves) {
    const eri::HeapDibBlock::Allocator failingRealloc{
        std::malloc, [](void*, std::size_t) -> void* { return nullptr; },
        [](void* p) {
            freedBlocks += p != nullptr;
            std::free(p);
        }};
    freedBlocks = 0;
    {
        eri::HeapDibBlock block(failingRealloc);
        ASSERT_NE(block.reserve(10), nullptr);
        EXPECT_NE(block.reserve(1000), nullptr);
        EXPECT_EQ(block.capacity(), 1000u);
        EXPECT_EQ(freedBlocks, 1);
    }
    EXPECT_EQ(freedBlocks, 2);

    const eri::HeapDibBlock::Allocator noMemory{[](std::size_t) -> void* { return nullptr; },
                                                [](void*, std::size_t) -> void* { return nullptr; },
                                                std::free};
    eri::HeapDibBlock empty(noMemory);
    EXPECT_EQ(empty.reserve(10), nullptr);
    EXPECT_EQ(empty.capacity(), 0u);
}

}  // namespace
}  // namespace eritest
