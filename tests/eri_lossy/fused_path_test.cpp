// The SIMD decoder's fused macroblock path (blocks several at a time, then
// placement, colour and bytes in one pass) against the step-by-step SIMD
// kernels, which it must match byte for byte; and its SSE2 and AVX2 builds
// against each other.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "eri/core/lossy_simd_kernels.h"
#include "eri_lossy/lossy_picture.h"

namespace {

using eriwriter::kSampling411;
using eriwriter::kSampling422;
using eriwriter::kSampling444;

// The library's writers, called through other addresses: the decoder then
// keeps to the step-by-step path.
void stepByStep3(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                 int blockSide, int width, int height, int pixelStep) {
    eri::writePixels3(dest, lineStep, planes, blockSide, width, height, pixelStep);
}
void stepByStep4(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                 int blockSide, int width, int height, int pixelStep) {
    eri::writePixels4(dest, lineStep, planes, blockSide, width, height, pixelStep);
}

// A smooth picture with noise on top, so most blocks carry AC values.
eriwriter::LossyPicture noisyPicture(int width, int height, int channels) {
    auto picture = lossytest::smoothPicture(width, height, channels);
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 12.0);
    for (auto& sample : picture.pixels) {
        sample = static_cast<std::uint8_t>(std::clamp(sample + noise(random), 0.0, 255.0));
    }
    return picture;
}

// Line 0 at the top, or at the bottom with a negative line step.
std::vector<std::uint8_t> decode(const eri::ImageInfo& info, const std::vector<std::uint8_t>& frame,
                                 int bytesPerPixel, eri::LossyWriter writer,
                                 bool upsideDown = false, bool wide = true) {
    lossytest::ScopedFloatSimd path(true, wide);
    // Spare bytes at each row end and a fill that shows every byte left alone.
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(info.width) * bytesPerPixel + 7;
    const int height = std::abs(info.height);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * height, 0xA5);
    eri::LossyFrameDecoder decoder;
    EXPECT_EQ(decoder.initialize(info), 0);
    eritest::BytesBitInput input(frame, 4096);
    std::uint8_t* const lineZero = pixels.data() + (upsideDown ? (height - 1) * stride : 0);
    const eri::LossyTarget target{lineZero, info.width, height, upsideDown ? -stride : stride,
                                  bytesPerPixel};
    EXPECT_EQ(decoder.decode(input, target, writer, {}), 0);
    return pixels;
}

TEST(FusedMacroblocks, SameBytesAsTheStepByStepKernels) {
    const struct {
        std::uint32_t sampling;
        int channels;
        int bytesPerPixel;
    } formats[] = {{kSampling444, 3, 3}, {kSampling444, 3, 4}, {kSampling444, 4, 4},
                   {kSampling422, 3, 3}, {kSampling422, 4, 4}, {kSampling411, 3, 3},
                   {kSampling411, 3, 4}, {kSampling411, 4, 4}};
    for (const auto& format : formats) {
        for (int degree = 3; degree <= 5; ++degree) {
            // Odd sizes cut the last macroblocks at the right and bottom edges.
            const auto picture = noisyPicture(53 + 14 * degree, 29 + 6 * degree, format.channels);
            eriwriter::LossyQuality quality;
            quality.dcLuma = 200;
            quality.dcChroma = 90;
            quality.bandCodes = {180, 60, 120, 30};
            quality.varyCodes = true;
            const auto content =
                eriwriter::quantisePicture(picture, degree, format.sampling, quality, false);
            const auto frame = eriwriter::encodeLossyFrame(content, {});
            const auto info = eriwriter::lossyImageInfo(picture, eri::kGammaArchitecture, degree,
                                                        format.sampling, 8 * format.bytesPerPixel);
            const bool alpha = format.channels == 4;
            // Lines stored top down and bottom up; the AVX2 build where the
            // processor has it, and the SSE2 build.
            for (const bool upsideDown : {false, true}) {
                const auto staged = decode(info, frame, format.bytesPerPixel,
                                           alpha ? stepByStep4 : stepByStep3, upsideDown);
                for (const bool wide : {true, false}) {
                    EXPECT_EQ(
                        decode(info, frame, format.bytesPerPixel,
                               alpha ? eri::writePixels4 : eri::writePixels3, upsideDown, wide),
                        staged)
                        << "sampling " << std::hex << format.sampling << std::dec << " channels "
                        << format.channels << " bytes " << format.bytesPerPixel << " degree "
                        << degree << (upsideDown ? " bottom up" : "") << (wide ? "" : " SSE2");
                }
            }
        }
    }
}

// One decoder for two frames whose DC scales differ but whose band codes do
// not: nothing of the first frame's scales may reach the second.
TEST(FusedMacroblocks, EachFrameTakesItsOwnDcScales) {
    const auto picture = noisyPicture(40, 24, 3);
    const auto info =
        eriwriter::lossyImageInfo(picture, eri::kGammaArchitecture, 3, kSampling411, 24);
    std::vector<std::uint8_t> frames[2];
    for (int f = 0; f < 2; ++f) {
        eriwriter::LossyQuality quality;
        quality.dcLuma = f == 0 ? 40 : 220;
        quality.dcChroma = f == 0 ? 30 : 200;
        quality.bandCodes = {100, 100, 100, 100};
        frames[f] = eriwriter::encodeLossyFrame(
            eriwriter::quantisePicture(picture, 3, kSampling411, quality, false), {});
    }
    lossytest::ScopedFloatSimd path(true);
    const auto decodeFrames = [&](int first) {
        eri::LossyFrameDecoder decoder;
        EXPECT_EQ(decoder.initialize(info), 0);
        std::vector<std::uint8_t> pixels(40 * 24 * 3);
        const eri::LossyTarget target{pixels.data(), 40, 24, 40 * 3, 3};
        for (int f = first; f < 2; ++f) {
            eritest::BytesBitInput input(frames[f], 4096);
            EXPECT_EQ(decoder.decode(input, target, eri::writePixels3, {}), 0);
        }
        return pixels;
    };
    EXPECT_EQ(decodeFrames(0), decodeFrames(1));
}

#if defined(ERI_FLOAT_SIMD) && defined(ERI_AVX2_KERNELS)

bool hasAvx2() {
    return __builtin_cpu_supports("avx2") != 0;
}

// The samples of both builds for one macroblock, bit for bit.
void expectBuildsAgree(const std::vector<std::int32_t>& values, int blocks, int side,
                       const std::vector<std::int32_t>& zigzag, const std::string& what) {
    float dc[16] = {};
    float low[16] = {};
    float high[16] = {};
    for (int b = 0; b < blocks; ++b) {
        dc[b] = 1.5f + 0.25f * b;
        low[b] = 0.75f + 0.125f * b;
        high[b] = 2.0f / side * (b + 1);
    }
    const eri::detail::QuantisedMacroblock block{values.data(), blocks, side, zigzag.data(), dc,
                                                 low,           high};
    const int area = side * side;
    std::vector<float> sse2(16 * area, -1.0f);
    std::vector<float> avx2(16 * area, -2.0f);
    // Work left over from elsewhere must not show.
    std::vector<float> work(16 * area, 7.0f);
    float* sse2Blocks[16];
    float* avx2Blocks[16];
    for (int b = 0; b < 16; ++b) {
        sse2Blocks[b] = sse2.data() + b * area;
        avx2Blocks[b] = avx2.data() + b * area;
    }
    eri::detail::reconstructBlocksSse2(block, sse2Blocks, work.data());
    eri::detail::reconstructBlocksAvx2(block, avx2Blocks, work.data());
    EXPECT_EQ(std::memcmp(sse2.data(), avx2.data(), sizeof(float) * blocks * area), 0) << what;
}

TEST(FusedMacroblocks, Sse2AndAvx2BuildsAgreeOnSamples) {
    if (!hasAvx2()) {
        GTEST_SKIP() << "no AVX2 here";
    }
    eri::initializeDecodingCore();
    std::mt19937 random(9);
    std::uniform_int_distribution<int> level(-40, 40);
    std::uniform_int_distribution<int> sparse(0, 3);
    for (int side = 8; side <= 32; side *= 2) {
        std::vector<std::int32_t> zigzag(side * side);
        eri::buildZigzagTable(zigzag.data(), side);
        for (int blocks : {6, 8, 10, 12, 16}) {
            const int area = side * side;
            std::vector<std::int32_t> values(area * blocks + 16);
            for (auto& v : values) {
                v = sparse(random) == 0 ? level(random) : 0;
            }
            // Whole groups without AC values take the DC-only way.
            for (int p = 1; p < area; ++p) {
                for (int b = 4; b < 8 && b < blocks; ++b) {
                    values[p * blocks + b] = 0;
                }
            }
            expectBuildsAgree(values, blocks, side, zigzag,
                              "side " + std::to_string(side) + " blocks " + std::to_string(blocks));
        }
    }
}

// Blocks whose AC values sit in some columns only, as in smooth pictures:
// every pattern of zero columns, for neighbouring blocks sharing it, keeping
// to part of it, and taking the other columns.
TEST(FusedMacroblocks, Sse2AndAvx2BuildsAgreeWhenWholeColumnsAreZero) {
    if (!hasAvx2()) {
        GTEST_SKIP() << "no AVX2 here";
    }
    eri::initializeDecodingCore();
    constexpr int side = 8;
    std::vector<std::int32_t> zigzag(side * side);
    eri::buildZigzagTable(zigzag.data(), side);
    std::mt19937 random(13);
    std::uniform_int_distribution<int> level(-40, 40);
    for (int blocks : {6, 12}) {
        for (int columns = 0; columns < 256; ++columns) {
            std::vector<std::int32_t> values(side * side * blocks + 16);
            for (int p = 0; p < side * side; ++p) {
                for (int b = 0; b < blocks; ++b) {
                    const int group = (b / 4) % 2 == 0 ? columns : ~columns & 0xFF;
                    const int mine = b % 2 == 0 ? group : group & -group;
                    const bool open = p == 0 || (mine >> (zigzag[p] % side) & 1) != 0;
                    values[p * blocks + b] = open ? level(random) : 0;
                }
            }
            expectBuildsAgree(
                values, blocks, side, zigzag,
                "blocks " + std::to_string(blocks) + " columns " + std::to_string(columns));
        }
    }
}

// Samples at and around the rounding and clamping edges; luminance only, so
// every colour byte is sampleToByte of the same value, and alpha too.
TEST(FusedMacroblocks, Sse2AndAvx2BuildsRoundAndClampLikeSampleToByte) {
    if (!hasAvx2()) {
        GTEST_SKIP() << "no AVX2 here";
    }
    const float edges[] = {-1e9f,
                           -0.5f,
                           -0.0f,
                           0.49f,
                           0.5f,
                           1.5f,
                           2.5f,
                           254.5f,
                           255.4f,
                           255.5f,
                           3e9f,
                           2147483648.0f,
                           std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           100.25f,
                           127.5f};
    constexpr int kSide = 8;
    std::vector<float> storage(16 * kSide * kSide, 0.0f);
    const float* blocks[16];
    for (int b = 0; b < 16; ++b) {
        blocks[b] = storage.data() + b * kSide * kSide;
    }
    for (int i = 0; i < kSide * kSide; ++i) {
        const float value = edges[i % 16];
        for (int q = 0; q < 4; ++q) {
            storage[q * kSide * kSide + i] = value;         // luminance
            storage[(12 + q) * kSide * kSide + i] = value;  // alpha
        }
    }
    const eri::detail::MacroblockSamples samples{blocks, kSampling444, kSide, 12};
    for (const int width : {16, 13, 5}) {
        std::vector<std::uint8_t> sse2(16 * 64 + 4, 0x5A);
        std::vector<std::uint8_t> avx2(sse2);
        const eri::detail::MacroblockTarget target{sse2.data(), 64, 4, 4, width, 16};
        eri::detail::writeMacroblockSse2(samples, target);
        eri::detail::MacroblockTarget other = target;
        other.corner = avx2.data();
        eri::detail::writeMacroblockAvx2(samples, other);
        EXPECT_EQ(sse2, avx2) << "width " << width;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const float value = edges[((y % kSide) * kSide + x % kSide) % 16];
                const std::uint8_t want = x < width ? eri::sampleToByte(value) : 0x5A;
                for (int k = 0; k < 4; ++k) {
                    ASSERT_EQ(sse2[y * 64 + x * 4 + k], want) << x << "," << y << " " << value;
                }
            }
        }
    }
}

#endif

}  // namespace
