#include "filterhost/pixel_callbacks.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tinta {
namespace {

// A 4 x 3 image whose every byte differs, made current for the test.
class PixelCallbacksTest : public ::testing::Test {
  protected:
    PixelCallbacksTest() : image(AllocIpl(4, 3, 8)), scope(image.get()) {
        for (int64_t i = 0; i < image->imageSize; ++i) {
            image->pixels[i] = static_cast<uint8_t>(i + 1);
        }
        original.assign(image->pixels, image->pixels + image->imageSize);
    }
    bool ImageUnchanged() const {
        return std::equal(original.begin(), original.end(), image->pixels);
    }

    WorkImagePtr image;
    CurrentWorkImageScope scope;
    std::vector<uint8_t> original;
};

struct NamedCallback {
    const char* name;
    PixelRowCallback callback;
};
constexpr std::array<NamedCallback, 4> kDataCallbacks{{{"ReadRowRgb", ReadRowRgb},
                                                       {"ReadRowAlpha", ReadRowAlpha},
                                                       {"WriteRowRgb", WriteRowRgb},
                                                       {"WriteRowAlpha", WriteRowAlpha}}};

// Spans outside the image return 0, reversed spans inside it 1; neither
// touches the buffer or the image.
TEST_F(PixelCallbacksTest, OutsideOrReversedSpansTouchNothing) {
    struct Span {
        int32_t y, x0, x1, result;
    };
    const Span spans[] = {{-1, 0, 3, 0}, {3, 0, 3, 0},  {0, -1, 3, 0}, {0, 4, 3, 0},
                          {0, 0, -1, 0}, {0, 0, 4, 0},  {2, 4, 4, 0},  {0, 3, -1, 0},
                          {1, -5, 2, 0}, {1, 0, 99, 0}, {99, 5, 0, 0}, {INT32_MIN, 0, INT32_MAX, 0},
                          {1, 3, 0, 1},  {2, 1, 0, 1}};
    for (const NamedCallback& entry : kDataCallbacks) {
        for (const Span& span : spans) {
            std::vector<uint8_t> buffer(64, 0xEE);
            EXPECT_EQ(entry.callback(span.y, span.x0, span.x1, buffer.data()), span.result)
                << entry.name << " " << span.y << " " << span.x0 << " " << span.x1;
            EXPECT_EQ(buffer, std::vector<uint8_t>(64, 0xEE)) << entry.name;
        }
    }
    EXPECT_TRUE(ImageUnchanged());
}

TEST_F(PixelCallbacksTest, NoImageOrNoBufferReturnsZero) {
    uint8_t buffer[12] = {};
    for (const NamedCallback& entry : kDataCallbacks) {
        EXPECT_EQ(entry.callback(0, 0, 0, nullptr), 0) << entry.name;
    }
    CurrentWorkImage = nullptr;
    for (const NamedCallback& entry : kDataCallbacks) {
        EXPECT_EQ(entry.callback(0, 0, 0, buffer), 0) << entry.name;
    }
}

TEST_F(PixelCallbacksTest, ReadsCarryBlueGreenRedAndAlphaOfTheSpan) {
    uint8_t* pixel = image->PixelAt(2, 1);
    pixel[0] = 10, pixel[1] = 20, pixel[2] = 30, pixel[3] = 255;

    std::array<uint8_t, 4> single{0, 0, 0, 0xEE};
    EXPECT_EQ(ReadRowRgb(1, 2, 2, single.data()), 1);
    EXPECT_EQ(single, (std::array<uint8_t, 4>{10, 20, 30, 0xEE}));

    std::array<uint8_t, 13> rgb{};
    rgb.back() = 0xEE;
    EXPECT_EQ(ReadRowRgb(2, 0, 3, rgb.data()), 1);
    for (int x = 0; x < 4; ++x) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(rgb[x * 3 + c], image->PixelAt(x, 2)[c]) << x << " " << c;
        }
    }
    EXPECT_EQ(rgb.back(), 0xEE);

    std::array<uint8_t, 3> alpha{0, 0, 0xEE};
    EXPECT_EQ(ReadRowAlpha(0, 2, 3, alpha.data()), 1);
    EXPECT_EQ(alpha,
              (std::array<uint8_t, 3>{image->PixelAt(2, 0)[3], image->PixelAt(3, 0)[3], 0xEE}));
}

TEST_F(PixelCallbacksTest, WritesChangeOnlyTheChannelsTheyCarryInTheSpan) {
    uint8_t colour[6] = {101, 102, 103, 104, 105, 106};
    EXPECT_EQ(WriteRowRgb(1, 1, 2, colour), 1);
    uint8_t alphaAfter[2];
    ReadRowAlpha(1, 1, 2, alphaAfter);
    EXPECT_EQ(alphaAfter[0], original[(1 * 4 + 1) * 4 + 3]);
    EXPECT_EQ(alphaAfter[1], original[(1 * 4 + 2) * 4 + 3]);

    uint8_t alpha[1] = {7};
    EXPECT_EQ(WriteRowAlpha(2, 3, 3, alpha), 1);

    std::vector<uint8_t> expected = original;
    for (int k = 0; k < 2; ++k) {
        for (int c = 0; c < 3; ++c) {
            expected[static_cast<size_t>((1 * 4 + 1 + k) * 4 + c)] = colour[k * 3 + c];
        }
    }
    expected[(2 * 4 + 3) * 4 + 3] = 7;
    EXPECT_EQ(std::vector<uint8_t>(image->pixels, image->pixels + image->imageSize), expected);
}

TEST(PixelCallbacks, NoOperationReturnsOneWhateverItIsGiven) {
    uint8_t byte = 5;
    EXPECT_EQ(NoOperation(0, 0, 0, nullptr), 1);
    EXPECT_EQ(NoOperation(-7, INT32_MAX, INT32_MIN, &byte), 1);
    EXPECT_EQ(byte, 5);
}

}  // namespace
}  // namespace tinta
