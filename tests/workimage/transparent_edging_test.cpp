#include "workimage/transparent_edging.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tinta {
namespace {

constexpr int kReach = 4;

struct Colour {
    uint8_t blue, green, red;
};
constexpr Colour kColourA{0x10, 0x20, 0x30};
constexpr Colour kColourB{0x01, 0x02, 0x03};
constexpr Colour kBlack{0, 0, 0};

Colour ColourOfLetter(char letter) {
    return letter == 'a' ? kColourA : letter == 'b' ? kColourB : kBlack;
}

// Builds an image from rows of letters: 'T' is transparent with colour 0,
// 'a' and 'b' are opaque pixels of those colours, 'k' is opaque black.
WorkImagePtr ImageFromRows(const std::vector<std::string>& rows) {
    const auto width = static_cast<int32_t>(rows.front().size());
    const auto height = static_cast<int32_t>(rows.size());
    auto image = AllocIpl(width, height, 8);
    ClearIpl(*image);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const char letter = rows[y][x];
            if (letter == 'T') {
                continue;
            }
            const Colour colour = ColourOfLetter(letter);
            uint8_t* pixel = image->PixelAt(x, y);
            pixel[0] = colour.blue;
            pixel[1] = colour.green;
            pixel[2] = colour.red;
            pixel[3] = 255;
        }
    }
    return image;
}

// The colours of one row as letters: 'a', 'b', '0' for colour 0, '?' else.
std::string ColoursOfRow(const WorkImage& image, int32_t y) {
    std::string letters;
    for (int32_t x = 0; x < image.width; ++x) {
        const uint8_t* pixel = image.PixelAt(x, y);
        char letter = '?';
        for (char candidate : {'a', 'b'}) {
            const Colour colour = ColourOfLetter(candidate);
            if (pixel[0] == colour.blue && pixel[1] == colour.green && pixel[2] == colour.red) {
                letter = candidate;
            }
        }
        if (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0) {
            letter = '0';
        }
        letters += letter;
    }
    return letters;
}

std::vector<uint8_t> AlphaBytes(const WorkImage& image) {
    std::vector<uint8_t> alpha;
    for (int64_t i = 3; i < image.imageSize; i += 4) {
        alpha.push_back(image.pixels[i]);
    }
    return alpha;
}

std::vector<uint8_t> PixelBytes(const WorkImage& image) {
    return {image.pixels, image.pixels + image.imageSize};
}

TEST(TransparentEdging, SinglePixelFillsTheEightByEightBlockAroundIt) {
    // The wide image puts the block across the columns 255 and 256.
    const struct { int32_t width, x0, y0; } cases[] = {{21, 9, 8}, {520, 254, 10}};
    for (const auto& c : cases) {
        std::vector<std::string> rows(20, std::string(c.width, 'T'));
        rows[c.y0][c.x0] = 'a';
        auto image = ImageFromRows(rows);
        const auto alphaBefore = AlphaBytes(*image);

        ASSERT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingDone);

        for (int32_t y = 0; y < image->height; ++y) {
            std::string expected(image->width, '0');
            if (y >= c.y0 - 3 && y <= c.y0 + 4) {
                expected.replace(c.x0 - 3, 8, 8, 'a');
            }
            EXPECT_EQ(ColoursOfRow(*image, y), expected) << "row " << y << " width " << c.width;
        }
        EXPECT_EQ(AlphaBytes(*image), alphaBefore);
    }
}

TEST(TransparentEdging, RowsAndColumnsFollowTheWorkedExamples) {
    struct Case {
        std::vector<std::string> rows;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        // Left spreads reach three pixels and overwrite a right spread (x = 6).
        {{"TTaTTTTTTb"}, {"aaaaaabbbb"}},
        // b ends the right spread from a and is passed over, so it never
        // spreads to the right itself.
        {{"TaTb"}, {"aaab"}},
        {{"TaTbTT"}, {"aaab00"}},
        {{"aTTTTTT"}, {"aaaaa00"}},
        {{"TTTTTTa"}, {"000aaaa"}},
        // A single column spreads four down and three up.
        {{"T", "T", "T", "T", "T", "a", "T", "T", "T", "T", "T", "T"},
         {"0", "0", "a", "a", "a", "a", "a", "a", "a", "a", "0", "0"}},
    };
    for (const Case& c : cases) {
        auto image = ImageFromRows(c.rows);
        const auto alphaBefore = AlphaBytes(*image);
        ASSERT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingDone);
        for (int32_t y = 0; y < image->height; ++y) {
            EXPECT_EQ(ColoursOfRow(*image, y), c.expected[y]) << c.rows[0] << " row " << y;
        }
        EXPECT_EQ(AlphaBytes(*image), alphaBefore) << c.rows[0];
    }
}

TEST(TransparentEdging, FullyOpaqueFullyTransparentAndOnePixelImagesStayAsTheyAre) {
    std::mt19937 random(7);
    for (const auto& [width, height] : {std::pair{17, 11}, std::pair{1, 1}}) {
        for (const bool opaque : {false, true}) {
            auto image = AllocIpl(width, height, 8);
            for (int64_t i = 0; i < image->imageSize; ++i) {
                image->pixels[i] = static_cast<uint8_t>(random());
            }
            for (int64_t i = 3; i < image->imageSize; i += 4) {
                // alpha 0 everywhere, or any non-zero alpha everywhere
                image->pixels[i] = opaque ? static_cast<uint8_t>(image->pixels[i] | 1) : 0;
            }
            const auto before = PixelBytes(*image);
            ASSERT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingDone);
            EXPECT_EQ(PixelBytes(*image), before) << width << "x" << height << " " << opaque;
        }
    }
}

TEST(TransparentEdging, PureBlackSpreadsCountAsUnfilledInTheColumns) {
    auto image = ImageFromRows({
        "aTTTT",
        "TTTTT",
        "TTTTT",
        "TTkTT",
        "TTTTT",
        "TTTTT",
    });
    ASSERT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingDone);
    // Row 3 took black from k in the rows, which the columns then fill from a.
    // Column 2 stops its spread at k and passes over it, so k never spreads down.
    EXPECT_EQ(ColoursOfRow(*image, 3), "aa0aa");
    EXPECT_EQ(ColoursOfRow(*image, 4), "aa0aa");
    EXPECT_EQ(ColoursOfRow(*image, 5), "00000");
}

TEST(TransparentEdging, AddsToColoursAlreadyThereWithSaturation) {
    auto image = ImageFromRows({"TaT"});
    const uint8_t existing[4] = {0xF8, 0x05, 0x00, 0x00};
    std::memcpy(image->PixelAt(2, 0), existing, 4);
    std::memcpy(image->PixelAt(0, 0), existing, 4);
    ASSERT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingDone);
    const uint8_t expected[4] = {0xFF, 0x25, 0x30, 0x00};
    EXPECT_EQ(std::memcmp(image->PixelAt(0, 0), expected, 4), 0);
    EXPECT_EQ(std::memcmp(image->PixelAt(2, 0), expected, 4), 0);
}

TEST(TransparentEdging, KeepsTheImagesRegionOfInterest) {
    auto image = ImageFromRows({"TaTT"});
    image->regionOfInterest = new RegionOfInterest{1, 3, 0, 1, 1};
    RegionOfInterest* const attached = image->regionOfInterest;
    ASSERT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingDone);
    EXPECT_EQ(image->regionOfInterest, attached);
    EXPECT_EQ(attached->xOffset, 3);
    // The add covers the whole image, not just the region of interest.
    EXPECT_EQ(ColoursOfRow(*image, 0), "aaaa");
}

TEST(TransparentEdging, RefusesImagesItCannotHandleAndLeavesThemUntouched) {
    auto image = ImageFromRows({"TaTT", "TTTT"});
    const auto before = PixelBytes(*image);

    image->channelSequence = FourCharacterWord("RGBA");
    EXPECT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingNotBgra);
    EXPECT_EQ(PixelBytes(*image), before);

    image->channelSequence = kChannelSequenceBgra;
    image->colourModel = FourCharacterWord("RGB ");
    EXPECT_EQ(ApplyTransparentEdging(*image, kReach), kEdgingNotRgba);
    EXPECT_EQ(PixelBytes(*image), before);

    WorkImage empty;
    empty.width = 4;
    empty.height = 2;
    EXPECT_EQ(ApplyTransparentEdging(empty, kReach), kEdgingNoPixels);
}

TEST(TransparentEdging, LeavesTheImageUntouchedWhenNoScratchImageCanBeMade) {
    // A header beyond the work image limit: no scratch image of its size can
    // be made. The walk must not start, so a small block is enough here.
    WorkImage image;
    image.width = 65536;
    image.height = 32769;
    image.pixels = static_cast<uint8_t*>(std::malloc(16));
    ASSERT_NE(image.pixels, nullptr);
    for (int i = 0; i < 16; ++i) {
        image.pixels[i] = static_cast<uint8_t>(i * 17);
    }
    EXPECT_EQ(ApplyTransparentEdging(image, kReach), kEdgingNoScratch);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(image.pixels[i], static_cast<uint8_t>(i * 17));
    }
}

}  // namespace
}  // namespace tinta
