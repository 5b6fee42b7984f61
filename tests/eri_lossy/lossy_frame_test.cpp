// The lossy frame decoder's set-up, frame header, layout at the edges,
// scales, hook, damaged data and the shared run field.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "eri/core/cosine_tables.h"
#include "eri_lossy/lossy_picture.h"

namespace {

using eriwriter::kSampling411;
using eriwriter::kSampling422;
using eriwriter::kSampling444;

eri::ImageInfo lossyInfo(std::int32_t width, std::int32_t height, std::uint32_t degree,
                         std::uint32_t sampling = kSampling444, bool alpha = false,
                         std::uint32_t depth = 24) {
    eri::ImageInfo info;
    info.transformation = eri::kLossyTransformation;
    info.architecture = eri::kGammaArchitecture;
    info.formatType = eri::kColourFormat | (alpha ? eri::kAlphaFormatBit : 0);
    info.width = width;
    info.height = height;
    info.bitsPerPixel = depth;
    info.samplingCode = sampling;
    info.blockingDegree = degree;
    return info;
}

// The largest accepted picture side by side with the smallest refused one,
// with every sampling code, with and without alpha.
TEST(LossyInitialize, AcceptsEverySamplingUpToTheLargestPicture) {
    eri::LossyFrameDecoder decoder;
    for (const std::uint32_t sampling : {kSampling444, kSampling422, kSampling411}) {
        for (const bool alpha : {false, true}) {
            EXPECT_EQ(decoder.initialize(lossyInfo(33, -17, 4, sampling, alpha, 32)), 0);
        }
    }
    EXPECT_EQ(decoder.initialize(lossyInfo(32768, 32768, 5)), 0);
    EXPECT_EQ(decoder.initialize(lossyInfo(32768, 32769, 5)), 1);
}

TEST(LossyInitialize, RefusesWhatItCannotDecode) {
    eri::LossyFrameDecoder decoder;
    auto refused = [&decoder](eri::ImageInfo info) { return decoder.initialize(info) == 1; };
    EXPECT_TRUE(refused(lossyInfo(64, 64, 2)));
    EXPECT_TRUE(refused(lossyInfo(64, 64, 6)));
    EXPECT_TRUE(refused(lossyInfo(64, 64, 0)));
    EXPECT_TRUE(refused(lossyInfo(64, 64, 0x80000003u)));
    EXPECT_TRUE(refused(lossyInfo(64, 64, 3, 0x00040403)));
    EXPECT_TRUE(refused(lossyInfo(64, 64, 3, kSampling444, false, 16)));
    EXPECT_TRUE(refused(lossyInfo(0, 64, 3)));
    EXPECT_TRUE(refused(lossyInfo(-64, 64, 3)));
    EXPECT_TRUE(refused(lossyInfo(64, 0, 3)));
    EXPECT_TRUE(refused(lossyInfo(64, INT32_MIN, 3)));
    EXPECT_TRUE(refused(lossyInfo(INT32_MAX, INT32_MAX, 3)));
    auto info = lossyInfo(64, 64, 3);
    info.architecture = eri::kArithmeticArchitecture;
    EXPECT_TRUE(refused(info));
    info = lossyInfo(64, 64, 3);
    info.formatType = eri::kGreyFormat;
    EXPECT_TRUE(refused(info));
    EXPECT_EQ(decoder.blockSide, 0);
}

TEST(LossyInitialize, ZigzagTableWalksTheAntiDiagonals) {
    for (int side : {8, 16, 32}) {
        std::vector<std::int32_t> table(side * side);
        eri::buildZigzagTable(table.data(), side);
        const std::vector<int> expected = eriwriter::zigzagOrder(side);
        ASSERT_TRUE(std::equal(table.begin(), table.end(), expected.begin())) << side;
    }
}

using lossytest::Frame;
using lossytest::smoothFrame;

// 100 x 50 at degree 3: 7 x 4 macroblocks of 16 x 16; the last column's
// left quarters get 4 columns and its right quarters none, the last row's
// upper quarters 2 lines and its lower quarters none.
TEST(LossyFrame, PartialMacroblocksStopAtTheImageEdges) {
    const Frame frame = smoothFrame(100, 50, 3, eri::kGammaArchitecture, true);
    for (bool simd : {false, true}) {
        std::vector<std::pair<int, int>> calls;
        const int stride = 100 * 3 + 9;
        const auto decoded = lossytest::decodeFrame(frame.info, frame.bytes(), simd, 0xEE, stride,
                                                    [&calls](int r, int c) {
                                                        calls.emplace_back(r, c);
                                                        return 0;
                                                    });
        ASSERT_EQ(decoded.result, 0);
        EXPECT_GE(lossytest::psnr(frame.picture, decoded), 40.0);
        for (int y = 0; y < 50; ++y) {
            for (int x = 300; x < stride; ++x) {
                ASSERT_EQ(decoded.pixels[y * stride + x], 0xEE) << x << "," << y;
            }
        }
        ASSERT_EQ(calls.size(), 28u);
        EXPECT_EQ(calls[7], std::make_pair(1, 0));
        EXPECT_EQ(calls.back(), std::make_pair(3, 6));
    }
}

TEST(LossyFrame, NegativeLineStepStoresLineZeroLast) {
    const Frame frame = smoothFrame(40, 21, 3, eri::kHuffmanArchitecture, false);
    const auto upright = lossytest::decodeFrame(frame.info, frame.bytes(), true);
    ASSERT_EQ(upright.result, 0);
    std::vector<std::uint8_t> flipped(upright.pixels.size());
    eri::LossyFrameDecoder decoder;
    ASSERT_EQ(decoder.initialize(frame.info), 0);
    eritest::BytesBitInput input(frame.bytes());
    const eri::LossyTarget target{flipped.data() + 20 * 120, 40, 21, -120, 3};
    ASSERT_EQ(decoder.decode(input, target, eri::writePixels3, {}), 0);
    for (int y = 0; y < 21; ++y) {
        ASSERT_TRUE(std::equal(flipped.begin() + (20 - y) * 120, flipped.begin() + (21 - y) * 120,
                               upright.pixels.begin() + y * 120));
    }
}

// Colour without alpha at 32 bits leaves every fourth byte as it was, on both paths.
TEST(LossyFrame, ThirtyTwoBitColourKeepsTheFourthByte) {
    const Frame frame = smoothFrame(37, 19, 3, eri::kGammaArchitecture, true, 3, kSampling411, 32);
    for (bool simd : {false, true}) {
        const auto decoded = lossytest::decodeFrame(frame.info, frame.bytes(), simd, 0x77);
        ASSERT_EQ(decoded.result, 0);
        for (std::size_t i = 3; i < decoded.pixels.size(); i += 4) {
            ASSERT_EQ(decoded.pixels[i], 0x77);
        }
    }
}

// Colour with alpha at 24 bits has no lossy writer: 4-byte pixels would not
// fit the buffer. The decode fails and stores nothing.
TEST(LossyFrame, AlphaAtTwentyFourBitsFails) {
    const Frame frame = smoothFrame(20, 20, 3, eri::kGammaArchitecture, true, 4, kSampling444, 24);
    const auto decoded = lossytest::decodeFrame(frame.info, frame.bytes(), true, 0x11);
    EXPECT_EQ(decoded.result, 1);
    EXPECT_TRUE(std::all_of(decoded.pixels.begin(), decoded.pixels.end(),
                            [](std::uint8_t b) { return b == 0x11; }));
}

TEST(LossyFrame, HeaderBytesAndReservedBitAreChecked) {
    const Frame good = smoothFrame(16, 16, 3, eri::kGammaArchitecture, true);
    ASSERT_EQ(lossytest::decodeFrame(good.info, good.bytes(), true).result, 0);
    const std::array<std::uint8_t, 4> badHeaders[] = {{8, 0, 1, 8}, {10, 0, 1, 8},   {9, 1, 1, 8},
                                                      {9, 0, 3, 8}, {9, 0, 0x81, 8}, {9, 0, 1, 9},
                                                      {9, 0, 1, 0}};
    for (const auto& header : badHeaders) {
        Frame bad = good;
        bad.options.header = header;
        bad.options.rawFlags = true;
        EXPECT_EQ(lossytest::decodeFrame(bad.info, bad.bytes(), true).result, 1)
            << int(header[0]) << " " << int(header[1]) << " " << int(header[2]) << " "
            << int(header[3]);
    }
    Frame reserved = good;
    reserved.options.reservedBit = 1;
    EXPECT_EQ(lossytest::decodeFrame(reserved.info, reserved.bytes(), true).result, 1);
}

// One macroblock of DC values only, and a single AC coefficient where asked:
// the decoded samples follow the scales exactly.
struct HandMade {
    eri::ImageInfo info = lossyInfo(16, 16, 3);
    eriwriter::LossyFrameContent content;
    HandMade() {
        content.blockingDegree = 3;
        content.samplingCode = kSampling444;
        content.blocksAcross = 1;
        content.blocksDown = 1;
        content.blocksPerMacro = 12;
        content.codes = {{255, 255, 255, 255}};
        content.values = {std::vector<std::int32_t>(12 * 64, 0)};
    }
    lossytest::Decoded decode() const {
        return lossytest::decodeFrame(info, eriwriter::encodeLossyFrame(content, {}), true);
    }
};

TEST(LossyFrame, DcScalesForCodesZeroAndTwoFiftyFive) {
    HandMade grey;
    grey.content.dcLuma = 0;  // scale 256 * 2/8 = 64
    grey.content.dcChroma = 255;
    for (int b = 0; b < 4; ++b) {
        grey.content.values[0][b] = 2;
    }
    auto decoded = grey.decode();
    ASSERT_EQ(decoded.result, 0);
    EXPECT_TRUE(std::all_of(decoded.pixels.begin(), decoded.pixels.end(),
                            [](std::uint8_t b) { return b == 128; }));

    HandMade colour;
    colour.content.dcLuma = 255;  // scale 0.25: Y = 100
    for (int b = 0; b < 4; ++b) {
        colour.content.values[0][b] = 400;
    }
    // Block 4 is U in quadrant 0: 255 steps of 256/255 * 0.25 make U = 64.
    colour.content.dcChroma = 254;
    colour.content.values[0][4] = 255;
    decoded = colour.decode();
    ASSERT_EQ(decoded.result, 0);
    // Quadrant 0: Y 100, U 64 -> c0 100, c1 76, c2 212. Quadrant 1: grey 100.
    EXPECT_EQ(decoded.pixels[0], 100);
    EXPECT_EQ(decoded.pixels[1], 76);
    EXPECT_EQ(decoded.pixels[2], 212);
    EXPECT_EQ(decoded.pixels[8 * 3], 100);
    EXPECT_EQ(decoded.pixels[8 * 3 + 2], 100);
}

// Zigzag position 27 is the last of the low band, 28 the first of the high band (N = 8).
TEST(LossyFrame, LowAndHighBandsTakeTheirOwnCodes) {
    for (int p : {1, 27, 28, 63}) {
        HandMade frame;
        frame.content.codes = {{127, 255, 31, 255}};  // luminance scales 0.5 and 2
        for (int b = 0; b < 4; ++b) {
            frame.content.values[0][b] = 512;  // Y = 128 everywhere
        }
        frame.content.values[0][p * 12 + 0] = 10;  // block 0 only
        const auto decoded = frame.decode();
        ASSERT_EQ(decoded.result, 0);
        const double scale = p < 28 ? 0.25 * 256 / 128 : 0.25 * 256 / 32;
        const int natural = eriwriter::zigzagOrder(8)[p];
        const int u = natural % 8;
        const int v = natural / 8;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const double expected =
                    128 + 10 * scale * std::cos((2 * x + 1) * u * std::numbers::pi / 16) *
                              std::cos((2 * y + 1) * v * std::numbers::pi / 16);
                const int got = decoded.pixels[(y * 16 + x) * 3 + 1];
                ASSERT_NEAR(got, expected, 0.51) << "position " << p << " at " << x << "," << y;
            }
        }
        // The other quadrants stay flat.
        EXPECT_EQ(decoded.pixels[(15 * 16 + 15) * 3], 128);
    }
}

TEST(LossyFrame, HookResultStopsTheDecode) {
    const Frame frame = smoothFrame(64, 40, 3, eri::kGammaArchitecture, false);
    int calls = 0;
    const auto decoded =
        lossytest::decodeFrame(frame.info, frame.bytes(), true, 0, 0, [&calls](int r, int c) {
            ++calls;
            return r == 1 && c == 2 ? 7 : 0;
        });
    EXPECT_EQ(decoded.result, 7);
    EXPECT_EQ(calls, 7);
}

// Every truncation fails cleanly; damaged bytes never crash.
TEST(LossyFrame, TruncatedAndDamagedFramesFailCleanly) {
    for (std::int32_t architecture : {eri::kGammaArchitecture, eri::kHuffmanArchitecture}) {
        for (bool inFront : {false, true}) {
            const Frame frame = smoothFrame(48, 35, 3, architecture, inFront, 4, kSampling422, 32);
            const auto bytes = frame.bytes();
            for (std::size_t cut = 0; cut + 8 < bytes.size(); cut += 1 + bytes.size() / 40) {
                const std::vector<std::uint8_t> shorter(bytes.begin(), bytes.begin() + cut);
                ASSERT_EQ(lossytest::decodeFrame(frame.info, shorter, true).result, 1)
                    << "cut at " << cut;
            }
            std::mt19937 random(17);
            for (int round = 0; round < 30; ++round) {
                std::vector<std::uint8_t> damaged = bytes;
                for (int k = 0; k < 3; ++k) {
                    damaged[random() % damaged.size()] ^=
                        static_cast<std::uint8_t>(1 + random() % 255);
                }
                const int result =
                    lossytest::decodeFrame(frame.info, damaged, round % 2 == 0).result;
                ASSERT_TRUE(result == 0 || result == 1);
            }
        }
    }
}

// Gamma runs and Huffman values share one run field: when the DC values'
// last run is longer than the DC values, the rest becomes zeros owed to the
// AC values, whichever kind the run was.
TEST(LossyFrame, DcGammaRunLongerThanTheDcValuesFeedsTheAcZeros) {
    for (bool lastRunZeros : {true, false}) {
        for (std::uint32_t overhang : {1u, 5u, 12u * 63u + 40u}) {
            Frame frame = smoothFrame(64, 20, 3, eri::kHuffmanArchitecture, true);
            auto& content = frame.content;
            // Zero the first AC values, across into the second macroblock if need be.
            for (std::uint32_t i = 0; i < overhang; ++i) {
                content.values[i / (12 * 63)][12 + i % (12 * 63)] = 0;
            }
            // The last DC difference: zero, or a value.
            auto& last = content.values.back();
            auto& before = content.values[content.values.size() - 2];
            last[11] = lastRunZeros ? before[11] : before[11] + 3;
            const auto plain = lossytest::decodeFrame(frame.info, frame.bytes(), true);
            frame.options.dcRunOverhang = overhang;
            const auto owed = lossytest::decodeFrame(frame.info, frame.bytes(), true);
            ASSERT_EQ(plain.result, 0);
            ASSERT_EQ(owed.result, 0) << overhang;
            EXPECT_EQ(owed.pixels, plain.pixels) << overhang;
        }
    }
}

}  // namespace
