// What the decoder refuses, and how it orders lines, calls its hooks and
// stops on damaged frames.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "eri/bytes_bit_input.h"
#include "eri/eri_image_decoder.h"
#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/bit_writer.h"

namespace eritest {
namespace {

using eriwriter::BitWriter;

struct Decoded {
    int result;
    std::vector<std::uint8_t> pixels;
};

Decoded decode(eri::EriImageDecoder& decoder, const eri::ImageInfo& info,
               const std::vector<std::uint8_t>& frame, std::int32_t bitsPerPixel = 24,
               std::uint32_t formatType = kColour) {
    Decoded out{1, {}};
    if (decoder.initialize(info) != 0) {
        return out;
    }
    const std::int32_t height = info.height < 0 ? -info.height : info.height;
    const std::int32_t stride = (info.width * (bitsPerPixel / 8) + 3) & ~3;
    out.pixels.assign(static_cast<std::size_t>(stride) * height, 0);
    eri::ImageBuffer buffer{formatType, out.pixels.data(), info.width,
                            height,     bitsPerPixel,      stride};
    BytesBitInput input(frame);
    out.result = decoder.decodeImage(buffer, input, false);
    return out;
}

int decodeResult(const eri::ImageInfo& info, const std::vector<std::uint8_t>& frame,
                 std::int32_t bitsPerPixel = 24, std::uint32_t formatType = kColour) {
    eri::EriImageDecoder decoder;
    return decode(decoder, info, frame, bitsPerPixel, formatType).result;
}

// A frame header of frame code 1 or 4: the code, three header bytes.
BitWriter header(std::uint32_t frameCode, std::uint32_t b0, std::uint32_t b1, std::uint32_t b2) {
    BitWriter out;
    out.putBits(frameCode, 8);
    out.putBits(b0, 8);
    out.putBits(b1, 8);
    out.putBits(b2, 8);
    return out;
}

TEST(DecoderInitialize, RefusesSizesOutsideTheLimits) {
    eri::EriImageDecoder decoder;
    auto info = [](std::int32_t w, std::int32_t h, std::uint32_t d) {
        return losslessImageInfo(0x00020200, -1, kColour, 32, w, h, d);
    };
    EXPECT_EQ(decoder.initialize(info(0, 10, 3)), 1);
    EXPECT_EQ(decoder.initialize(info(-5, 10, 3)), 1);
    EXPECT_EQ(decoder.initialize(info(10, 0, 3)), 1);
    EXPECT_EQ(decoder.initialize(info(10, INT32_MIN, 3)), 1);
    EXPECT_EQ(decoder.initialize(info(65536, 16385, 3)), 1);  // beyond 2^30 pixels
    EXPECT_EQ(decoder.initialize(info(10, 10, 9)), 1);        // blocks of 512
    EXPECT_EQ(decoder.initialize(info(10, 10, 32)), 1);
    EXPECT_EQ(decoder.initialize(info(10, 10, 0xFFFFFFFF)), 1);
    // Blocks of 256 over a line of 2^30 pixels: the line buffer would need 16 GiB.
    EXPECT_EQ(decoder.initialize(info(1 << 30, 1, 8)), 1);
    EXPECT_EQ(decoder.initialize(info(32768, 32768, 3)), 0);
    EXPECT_EQ(decoder.initialize(info(32768, -32768, 8)), 0);
    EXPECT_EQ(decoder.initialize(info(65, 65, 3)), 0);
    EXPECT_EQ(decoder.initialize(info(7, 5, 8)), 0);
}

TEST(LosslessFrame, RefusesBrokenHeaders) {
    const eri::ImageInfo arithmetic = losslessImageInfo(0x00020200, 32, kColour, 24, 4, 4, 2);
    BitWriter frame = header(1, 1, 8, 0);
    EXPECT_EQ(decodeResult(arithmetic, frame.bytes()), 1);  // byte 0 not 0
    frame = header(1, 0, 8, 1);
    EXPECT_EQ(decodeResult(arithmetic, frame.bytes()), 1);  // byte 2 not 0
    for (const std::uint32_t width : {0u, 9u, 32u}) {
        frame = header(1, 0, width, 0);
        frame.putBits(0, 6);  // one code
        frame.putBit(0);
        frame.putBits(0, 32);
        EXPECT_EQ(decodeResult(arithmetic, frame.bytes()), 1) << "symbol width " << width;
    }
    const eri::ImageInfo gamma = losslessImageInfo(0x00020200, -1, kColour, 24, 4, 4, 2);
    frame = header(1, 0, 2, 0);  // flag bits other than bit 0
    EXPECT_EQ(decodeResult(gamma, frame.bytes()), 1);
    frame = header(1, 0, 1, 0);
    frame.putBits(0, 6);
    frame.putBit(1);  // reserved bit
    EXPECT_EQ(decodeResult(gamma, frame.bytes()), 1);
    frame = header(3, 0, 1, 0);  // no such frame code
    EXPECT_EQ(decodeResult(gamma, frame.bytes()), 1);
}

// One block of 4 x 4 zeros per code, codes in front.
std::vector<std::uint8_t> zeroGammaFrame(std::uint32_t frameCode, std::uint32_t code,
                                         int codeWidth) {
    BitWriter frame = header(frameCode, 0, 1, 0);
    frame.putBits(code, codeWidth);
    frame.putBit(0);
    frame.putBit(0);     // zeros first
    frame.putGamma(48);  // all 48 samples
    return frame.bytes();
}

TEST(LosslessFrame, SixBitCodesBeyondTheTableAreDamage) {
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kColour, 24, 4, 4, 2);
    EXPECT_EQ(decodeResult(info, zeroGammaFrame(1, 49, 6)), 0);
    for (std::uint32_t code = 50; code < 64; ++code) {
        EXPECT_EQ(decodeResult(info, zeroGammaFrame(1, code, 6)), 1) << code;
    }
}

// 67 million codes announced, none there: refused without reading them all.
TEST(LosslessFrame, FrameEndingAmongItsCodesFails) {
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kColour, 24, 16384, 16384, 1);
    eri::EriImageDecoder decoder;
    ASSERT_EQ(decoder.initialize(info), 0);
    std::vector<std::uint8_t> pixels(64);
    eri::ImageBuffer buffer{kColour, pixels.data(), 16384, 16384, 24, 0};
    BytesBitInput input(header(1, 0, 1, 0).bytes());
    EXPECT_EQ(decoder.decodeImage(buffer, input, false), 1);
    EXPECT_LT(input.reads(), 10u);
}

// Frames the picture's information does not allow: frame code 4 before the
// second coding version, block frames without blocks, and alpha at 24 bits,
// which has no writer.
TEST(LosslessFrame, RefusesFramesItsInformationDoesNotAllow) {
    EXPECT_EQ(decodeResult(losslessImageInfo(0x00020200, -1, kColour, 24, 4, 4, 2),
                           zeroGammaFrame(4, 0, 6)),
              0);
    EXPECT_EQ(decodeResult(losslessImageInfo(0x00020100, -1, kColour, 24, 4, 4, 2),
                           zeroGammaFrame(4, 0, 4)),
              1);
    EXPECT_EQ(decodeResult(losslessImageInfo(0x00020200, -1, kColour, 24, 4, 4, 0),
                           zeroGammaFrame(1, 0, 6)),
              1);
    EXPECT_EQ(decodeResult(losslessImageInfo(0x00020200, -1, kColourAlpha, 24, 4, 4, 2),
                           zeroGammaFrame(1, 0, 6), 24, kColourAlpha),
              1);
}

TEST(LosslessFrame, ColourWithoutAlphaLeavesTheFourthByte) {
    eri::EriImageDecoder decoder;
    eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kColour, 32, 4, 4, 2);
    ASSERT_EQ(decoder.initialize(info), 0);
    std::vector<std::uint8_t> pixels(64, 0xAB);
    eri::ImageBuffer buffer{kColour, pixels.data(), 4, 4, 32, 16};
    BytesBitInput input(zeroGammaFrame(1, 0, 6));
    ASSERT_EQ(decoder.decodeImage(buffer, input, false), 0);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], i % 4 == 3 ? 0xAB : 0) << i;
    }
}

TEST(HuffmanFrame, RefusesAThirdHeaderByteOtherThanEight) {
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -4, kColour, 24, 4, 4, 2);
    for (const std::uint32_t byte2 : {0u, 7u, 9u}) {
        BitWriter frame = header(8, 0, 0, byte2);
        frame.putBits(0, 32);
        EXPECT_EQ(decodeResult(info, frame.bytes()), 1);
    }
    BitWriter frame = header(8, 0, 2, 8);
    frame.putBits(0, 32);
    EXPECT_EQ(decodeResult(info, frame.bytes()), 1);
    // Grey pictures have no Huffman block frames.
    EXPECT_EQ(decodeResult(losslessImageInfo(0x00020200, -4, kGrey, 8, 4, 4, 2),
                           header(8, 0, 0, 8).bytes(), 8, kGrey),
              1);
}

class CountingDecoder : public eri::EriImageDecoder {
  public:
    int onBlockDecoded(std::int32_t row, std::int32_t column) override {
        ++blocks;
        return row == 1 && column == 0 ? 7 : 0;
    }
    int onLineDecoded(std::int32_t line) override {
        ++lines;
        return line == 2 ? 9 : 0;
    }
    int blocks = 0;
    int lines = 0;
};

TEST(DecoderHooks, NonZeroResultStopsTheDecode) {
    const eri::ImageInfo blocks = losslessImageInfo(0x00020200, -1, kColour, 24, 8, 8, 2);
    BitWriter frame = header(1, 0, 1, 0);
    frame.putBits(0, 6 * 4);
    frame.putBit(0);
    frame.putBit(0);
    frame.putGamma(4 * 48);
    CountingDecoder decoder;
    EXPECT_EQ(decode(decoder, blocks, frame.bytes()).result, 7);
    EXPECT_EQ(decoder.blocks, 3);

    const eri::ImageInfo lines = losslessImageInfo(0x00020200, -1, kGrey, 8, 3, 5, 0);
    const auto lineFrame = eriwriter::encodeLineImageFrame(-1, 3, std::vector<std::uint8_t>(15, 4));
    CountingDecoder lineDecoder;
    EXPECT_EQ(decode(lineDecoder, lines, lineFrame, 8, kGrey).result, 9);
    EXPECT_EQ(lineDecoder.lines, 3);
}

TEST(LineImage, ShortLastLineFailsAfterStoringTheEarlierOnes) {
    std::vector<std::uint8_t> lines(4 * 3);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = static_cast<std::uint8_t>(10 + i);
    }
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kGrey, 8, 4, 3, 0);
    // The first two lines only: the third comes up short.
    auto frame = eriwriter::encodeLineImageFrame(
        -1, 4, std::vector<std::uint8_t>(lines.begin(), lines.begin() + 8));
    eri::EriImageDecoder decoder;
    const Decoded decoded = decode(decoder, info, frame, 8, kGrey);
    EXPECT_EQ(decoded.result, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(decoded.pixels.begin(), decoded.pixels.begin() + 8),
              std::vector<std::uint8_t>(lines.begin(), lines.begin() + 8));
}

TEST(LineImage, RefusesOtherDepthsAndHeaders) {
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -1, kColour, 24, 4, 2, 0);
    auto frame = eriwriter::encodeLineImageFrame(-1, 4, std::vector<std::uint8_t>(8, 1));
    EXPECT_EQ(decodeResult(info, frame, 24), 1);
    const eri::ImageInfo grey = losslessImageInfo(0x00020200, -1, kGrey, 8, 4, 2, 0);
    frame[2] = 1;  // one of the 24 bits that must be 0
    EXPECT_EQ(decodeResult(grey, frame, 8, kGrey), 1);
}

TEST(DecodeImage, FlipAndNegativeHeightsReverseTheLineOrder) {
    const std::vector<std::uint8_t> lines = {1, 2, 3};
    const auto frame = eriwriter::encodeLineImageFrame(-4, 1, lines);
    auto run = [&](std::int32_t height, bool flip) {
        eri::EriImageDecoder decoder;
        EXPECT_EQ(decoder.initialize(losslessImageInfo(0x00020200, -4, kGrey, 8, 1, height, 0)), 0);
        std::vector<std::uint8_t> pixels(12, 0);
        eri::ImageBuffer buffer{kGrey, pixels.data(), 1, 3, 8, 4};
        BytesBitInput input(frame);
        EXPECT_EQ(decoder.decodeImage(buffer, input, flip), 0);
        return std::vector<std::uint8_t>{pixels[0], pixels[4], pixels[8]};
    };
    EXPECT_EQ(run(3, false), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(run(-3, false), (std::vector<std::uint8_t>{3, 2, 1}));
    EXPECT_EQ(run(3, true), (std::vector<std::uint8_t>{3, 2, 1}));
    EXPECT_EQ(run(-3, true), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(DecodeImage, RefusesABufferOfAnotherSize) {
    eri::EriImageDecoder decoder;
    ASSERT_EQ(decoder.initialize(losslessImageInfo(0x00020200, -1, kGrey, 8, 4, 4, 0)), 0);
    std::vector<std::uint8_t> pixels(64);
    eri::ImageBuffer buffer{kGrey, pixels.data(), 8, 8, 8, 8};
    BytesBitInput input({2, 0, 0, 0});
    EXPECT_EQ(decoder.decodeImage(buffer, input, false), 1);
}

}  // namespace
}  // namespace eritest
