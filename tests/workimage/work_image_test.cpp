#include "workimage/work_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/trace_recorder.h"

namespace tinta {
namespace {

TEST(AllocIpl, RefusesSizesBelowOneOrBeyondTheLimitAndAlignsWhatItMakes) {
    testing::TraceRecorder trace;
    EXPECT_EQ(AllocIpl(0, 10, 8), nullptr);
    EXPECT_EQ(AllocIpl(10, -1, 8), nullptr);
    ASSERT_EQ(trace.lines.size(), 2u);
    EXPECT_EQ(trace.lines[1], "AllocIpl:不正なサイズが指定されました。width=10 height=-1\n");
    // Pixel blocks beyond the limit are refused without crashing.
    EXPECT_EQ(AllocIpl(0x7FFFFFFF, 0x7FFFFFFF, 8), nullptr);
    EXPECT_EQ(AllocIpl(65536, 32769, 8), nullptr);

    // The smallest image: four bytes, aligned for the channel operations.
    const auto image = AllocIpl(1, 1, 8);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->imageSize, 4);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(image->pixels) % 8, 0u);
}

TEST(ChannelOperations, ClearThenFillAlphaTouchOnlyWhatTheyShould) {
    auto image = AllocIpl(5, 3, 8);
    ASSERT_NE(image, nullptr);
    for (int64_t i = 0; i < image->imageSize; ++i) {
        image->pixels[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    std::vector<uint8_t> before(image->pixels, image->pixels + image->imageSize);

    FillAlpha(*image, 255);
    for (int64_t i = 0; i < image->imageSize; ++i) {
        EXPECT_EQ(image->pixels[i], i % 4 == 3 ? 255 : before[i]) << i;
    }

    ClearIpl(*image);
    for (int64_t i = 0; i < image->imageSize; ++i) {
        ASSERT_EQ(image->pixels[i], 0) << i;
    }
}

TEST(ChannelOperations, FillAlphaKeepsTheImagesOwnRegionOfInterest) {
    auto image = AllocIpl(4, 4, 8);
    ASSERT_NE(image, nullptr);
    ClearIpl(*image);
    image->regionOfInterest = new RegionOfInterest{1, 1, 1, 2, 2};
    RegionOfInterest* own = image->regionOfInterest;
    FillAlpha(*image, 9);
    EXPECT_EQ(image->regionOfInterest, own);
    EXPECT_EQ(own->channelOfInterest, 1);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(image->PixelAt(x, y)[3], 9);
        }
    }
    // The region still limits a plain set: only blue inside the 2 x 2 block.
    SetChannels(*image, 5);
    EXPECT_EQ(image->PixelAt(1, 1)[0], 5);
    EXPECT_EQ(image->PixelAt(2, 2)[0], 5);
    EXPECT_EQ(image->PixelAt(0, 0)[0], 0);
    EXPECT_EQ(image->PixelAt(1, 1)[1], 0);
}

TEST(ChannelOperations, AddSaturatesEveryChannelAt255) {
    auto image = AllocIpl(2, 1, 8);
    auto addend = AllocIpl(2, 1, 8);
    ASSERT_TRUE(image && addend);
    const uint8_t a[] = {10, 200, 255, 0, 1, 2, 3, 4};
    const uint8_t b[] = {5, 100, 1, 0, 0, 0, 0, 251};
    std::copy(a, a + 8, image->pixels);
    std::copy(b, b + 8, addend->pixels);
    ASSERT_TRUE(AddSaturating(*image, *addend));
    const std::vector<uint8_t> expected = {15, 255, 255, 0, 1, 2, 3, 255};
    EXPECT_EQ(std::vector<uint8_t>(image->pixels, image->pixels + 8), expected);

    auto other = AllocIpl(1, 2, 8);
    EXPECT_FALSE(AddSaturating(*image, *other));
}

}  // namespace
}  // namespace tinta
