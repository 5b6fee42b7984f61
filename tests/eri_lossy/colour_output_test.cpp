#include "eri/core/colour_output.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "eri/image_info.h"
#include "eri_lossy/scoped_features.h"

namespace {

// Sixteen planes of one macroblock and the sixteen transform outputs.
struct Macroblock {
    explicit Macroblock(int side) : side(side), area(side * side) {
        planeStorage.assign(16 * area, -1.0f);
        blockStorage.resize(16 * area);
        for (int c = 0; c < 4; ++c) {
            for (int q = 0; q < 4; ++q) {
                planes[c][q] = planeStorage.data() + (4 * c + q) * area;
            }
        }
        for (int b = 0; b < 16; ++b) {
            blocks[b] = blockStorage.data() + b * area;
            for (int i = 0; i < area; ++i) {
                blocks[b][i] = static_cast<float>(1000 * b + i);
            }
        }
    }
    float plane(int c, int q, int x, int y) const { return planes[c][q][y * side + x]; }
    int side;
    int area;
    std::vector<float> planeStorage;
    std::vector<float> blockStorage;
    float* planes[4][4];
    float* blocks[16];
};

constexpr int kSide = 8;

TEST(SamplingRoutines, FourFourFourCopiesBlockFourCPlusQ) {
    Macroblock m(kSide);
    eri::placeBlocks444(m.planes, m.blocks, kSide, 4);
    for (int c = 0; c < 4; ++c) {
        for (int q = 0; q < 4; ++q) {
            EXPECT_EQ(m.plane(c, q, 3, 5), 1000 * (4 * c + q) + 43);
        }
    }
    Macroblock noAlpha(kSide);
    eri::placeBlocks444(noAlpha.planes, noAlpha.blocks, kSide, 3);
    EXPECT_EQ(noAlpha.plane(3, 0, 0, 0), -1.0f);
}

TEST(SamplingRoutines, FourTwoTwoDoublesRowsOfHalfBlocks) {
    Macroblock m(kSide);
    eri::placeBlocks422(m.planes, m.blocks, kSide, 4);
    for (int q = 0; q < 4; ++q) {
        EXPECT_EQ(m.plane(0, q, 2, 2), 1000 * q + 18);
        EXPECT_EQ(m.plane(3, q, 2, 2), 1000 * (8 + q) + 18);
    }
    // Channel 1: block 4 feeds quadrants 0 (its rows 0..3) and 1 (rows 4..7).
    EXPECT_EQ(m.plane(1, 0, 5, 0), 4005);
    EXPECT_EQ(m.plane(1, 0, 5, 1), 4005);
    EXPECT_EQ(m.plane(1, 0, 5, 7), 4000 + 3 * 8 + 5);
    EXPECT_EQ(m.plane(1, 1, 5, 0), 4000 + 4 * 8 + 5);
    EXPECT_EQ(m.plane(1, 1, 1, 7), 4000 + 7 * 8 + 1);
    EXPECT_EQ(m.plane(1, 2, 0, 2), 5000 + 8);
    EXPECT_EQ(m.plane(1, 3, 0, 2), 5000 + 5 * 8);
    EXPECT_EQ(m.plane(2, 0, 6, 6), 6000 + 3 * 8 + 6);
    EXPECT_EQ(m.plane(2, 3, 6, 6), 7000 + 7 * 8 + 6);
}

TEST(SamplingRoutines, FourOneOneSpreadsQuartersOverTwoByTwo) {
    Macroblock m(kSide);
    eri::placeBlocks411(m.planes, m.blocks, kSide, 4);
    EXPECT_EQ(m.plane(3, 2, 1, 1), 8000 + 9);
    EXPECT_EQ(m.plane(0, 3, 1, 1), 3000 + 9);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(m.plane(1, 0, 2 + x, 4 + y), 4000 + 2 * 8 + 1);
            EXPECT_EQ(m.plane(1, 1, 2 + x, 4 + y), 4000 + 2 * 8 + 4 + 1);
            EXPECT_EQ(m.plane(1, 2, 2 + x, 4 + y), 4000 + 6 * 8 + 1);
            EXPECT_EQ(m.plane(2, 3, 6 + x, 6 + y), 5000 + 7 * 8 + 7);
        }
    }
}

class ColourPaths : public ::testing::TestWithParam<bool> {
  protected:
    lossytest::ScopedFloatSimd path_{GetParam()};
};

std::array<int, 3> convertAndWrite(float y, float u, float v) {
    Macroblock m(kSide);
    for (int q = 0; q < 4; ++q) {
        std::fill(m.planes[0][q], m.planes[0][q] + m.area, y);
        std::fill(m.planes[1][q], m.planes[1][q] + m.area, u);
        std::fill(m.planes[2][q], m.planes[2][q] + m.area, v);
    }
    eri::convertColourPlanes(m.planes, kSide);
    std::vector<std::uint8_t> pixels(kSide * kSide * 4, 0xAB);
    const float* quadrant[4] = {m.planes[0][3], m.planes[1][3], m.planes[2][3], m.planes[3][3]};
    eri::writePixels3(pixels.data(), kSide * 4, quadrant, kSide, kSide, kSide, 4);
    EXPECT_EQ(pixels[3], 0xAB);
    EXPECT_EQ(pixels.back(), 0xAB);
    return {pixels[4 * 9], pixels[4 * 9 + 1], pixels[4 * 9 + 2]};
}

TEST_P(ColourPaths, ConversionExamplesRoundTiesToEven) {
    EXPECT_EQ(convertAndWrite(100, 0, 0), (std::array<int, 3>{100, 100, 100}));
    // 130, 81.25, 117.5
    EXPECT_EQ(convertAndWrite(100, 10, 20), (std::array<int, 3>{130, 81, 118}));
    // 0.5 and 2.5 go down to even, 1.5 up.
    EXPECT_EQ(convertAndWrite(0.5f, 0, 0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(convertAndWrite(2.5f, 0, 0), (std::array<int, 3>{2, 2, 2}));
    EXPECT_EQ(convertAndWrite(1.5f, 0, 0), (std::array<int, 3>{2, 2, 2}));
}

// Every width from 1 to 8, so both the SIMD and the leftover plain stores run.
TEST_P(ColourPaths, WritersRoundClampAndStoreOnlyTheQuadrant) {
    const float inf = std::numeric_limits<float>::infinity();
    const float specials[] = {254.5f,     255.5f,       -0.5f,        -0.0f, 3.5f, 1e10f,
                              -1e10f,     2147483520.f, 2147483648.f, inf,   -inf, std::nanf(""),
                              128.49999f, 0.50001f,     255.0f,       -1.5f};
    const int expected[] = {254, 255, 0, 0, 4, 0, 0, 255, 0, 0, 0, 0, 128, 1, 255, 0};
    Macroblock m(kSide);
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < m.area; ++i) {
            m.planes[c][0][i] = specials[(i + 5 * c) % 16];
        }
    }
    const float* quadrant[4] = {m.planes[0][0], m.planes[1][0], m.planes[2][0], m.planes[3][0]};
    for (int width = 1; width <= kSide; ++width) {
        for (int step : {3, 4}) {
            const int height = 1 + width % kSide;
            const int lineStep = kSide * step + 5;
            std::vector<std::uint8_t> pixels(lineStep * kSide, 0x5A);
            const bool alpha = step == 4 && width % 2 == 0;
            (alpha ? eri::writePixels4 : eri::writePixels3)(pixels.data(), lineStep, quadrant,
                                                            kSide, width, height, step);
            const int planes = alpha ? 4 : 3;
            for (int y = 0; y < kSide; ++y) {
                for (int x = 0; x < lineStep; ++x) {
                    const int pixel = x / step;
                    const int k = x % step;
                    const bool stored = y < height && pixel < width && k < planes;
                    const int want = stored ? expected[(y * kSide + pixel + 5 * k) % 16] : 0x5A;
                    ASSERT_EQ(pixels[y * lineStep + x], want)
                        << "width " << width << " step " << step << " at " << x << "," << y;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ColourPaths, ::testing::Bool());

}  // namespace
