// Lossy files through the decoding driver and loadEriImage: the DIB holds
// what the frame decoder stores, every seed of the fuzz corpus loads, and
// what the driver cannot store safely fails.
#include <gtest/gtest.h>

#include "eri/eri_image_decoder.h"
#include "eri/eri_loader.h"
#include "eri_lossless/lossless_test_support.h"
#include "eri_lossy/lossy_picture.h"
#include "eriwriter/container_writer.h"
#include "eriwriter/lossy_seeds.h"

namespace {

using eriwriter::kSampling411;
using eriwriter::kSampling422;
using eriwriter::kSampling444;

constexpr std::size_t kDibHeader = 40;

using eritest::loadBytes;

// A file of degree 3 around a frame.
struct LossyFile {
    eri::ImageInfo info;
    std::vector<std::uint8_t> frame;
    std::vector<std::uint8_t> file() const { return eriwriter::eriFile(info, frame); }
};

LossyFile lossyFile(int width, int height, int channels, std::uint32_t sampling,
                    std::int32_t architecture, std::uint32_t depth, bool inFront = true) {
    const lossytest::Frame frame =
        lossytest::smoothFrame(width, height, 3, architecture, inFront, channels, sampling, depth);
    return {frame.info, frame.bytes()};
}

TEST(LossyLoading, DibLinesHoldTheDecodedPicture) {
    for (const std::uint32_t sampling : {kSampling444, kSampling422, kSampling411}) {
        for (const int channels : {3, 4}) {
            for (const std::uint32_t depth : {24u, 32u}) {
                if (channels == 4 && depth == 24) {
                    continue;
                }
                const LossyFile lossy =
                    lossyFile(37, 22, channels, sampling, eri::kHuffmanArchitecture, depth);
                const auto dib = loadBytes(lossy.file());
                ASSERT_TRUE(dib.has_value());
                const auto decoded = lossytest::decodeFrame(lossy.info, lossy.frame, true);
                ASSERT_EQ(decoded.result, 0);
                const int bytes = static_cast<int>(depth / 8);
                const std::size_t stride = (37 * bytes + 3) & ~3u;
                ASSERT_EQ(dib->size(), kDibHeader + stride * 22);
                for (int line = 0; line < 22; ++line) {
                    // Decoded line 0 is the DIB's first (bottom) line.
                    const std::uint8_t* dibLine = dib->data() + kDibHeader + line * stride;
                    for (int x = 0; x < 37 * bytes; ++x) {
                        // Colour without alpha at 32 bits arrives opaque.
                        const int want = depth == 32 && channels == 3 && x % 4 == 3
                                             ? 255
                                             : decoded.pixels[line * decoded.stride + x];
                        ASSERT_EQ(dibLine[x], want) << "line " << line << " byte " << x;
                    }
                }
            }
        }
    }
}

TEST(LossyLoading, NegativeStoredHeightTurnsThePictureOver) {
    LossyFile lossy = lossyFile(20, 13, 3, kSampling422, eri::kGammaArchitecture, 24, false);
    const auto upright = loadBytes(lossy.file());
    lossy.info.height = -13;
    const auto turned = loadBytes(lossy.file());
    ASSERT_TRUE(upright && turned);
    const std::size_t stride = 60;
    for (int line = 0; line < 13; ++line) {
        ASSERT_TRUE(std::equal(upright->begin() + kDibHeader + line * stride,
                               upright->begin() + kDibHeader + (line + 1) * stride,
                               turned->begin() + kDibHeader + (12 - line) * stride));
    }
}

// Colour with alpha at 24 bits passes the set-up, but has no lossy writer:
// 4-byte pixels would overrun a 3-byte-per-pixel buffer. The load fails.
TEST(LossyLoading, AlphaAtTwentyFourBitsFails) {
    const LossyFile lossy = lossyFile(24, 24, 4, kSampling444, eri::kGammaArchitecture, 24);
    EXPECT_FALSE(loadBytes(lossy.file()).has_value());
}

// Sizes go through the checks the lossless side shares; degrees the lossy
// frame decoder refuses fail the driver's set-up too.
TEST(LossyLoading, SetUpRefusesDegreesOutsideThreeToFive) {
    eri::EriImageDecoder decoder;
    LossyFile lossy = lossyFile(16, 16, 3, kSampling411, eri::kGammaArchitecture, 24);
    ASSERT_EQ(decoder.initialize(lossy.info), 0);
    for (const std::uint32_t degree : {2u, 6u, 31u, 32u, 0xFFFFFFFFu}) {
        eri::ImageInfo info = lossy.info;
        info.blockingDegree = degree;
        EXPECT_EQ(decoder.initialize(info), 1) << degree;
    }
}

class CountingDecoder : public eri::EriImageDecoder {
  public:
    int onBlockDecoded(std::int32_t row, std::int32_t column) override {
        ++calls;
        return row == 0 && column == 1 ? 5 : 0;
    }
    int calls = 0;
};

TEST(LossyLoading, DriverHookStopsTheFrame) {
    const LossyFile lossy = lossyFile(40, 20, 3, kSampling444, eri::kHuffmanArchitecture, 24);
    CountingDecoder decoder;
    ASSERT_EQ(decoder.initialize(lossy.info), 0);
    std::vector<std::uint8_t> pixels(40 * 20 * 3);
    eri::ImageBuffer buffer;
    buffer.formatType = lossy.info.formatType;
    buffer.pixels = pixels.data();
    buffer.width = 40;
    buffer.height = 20;
    buffer.bitsPerPixel = 24;
    buffer.stride = 120;
    eritest::BytesBitInput input(lossy.frame);
    EXPECT_EQ(decoder.decodeImage(buffer, input, false), 5);
    EXPECT_EQ(decoder.calls, 2);
}

TEST(LossyLoading, EverySeedOfTheCorpusLoads) {
    int index = 0;
    for (const auto& file : eriwriter::lossySeedFiles()) {
        EXPECT_TRUE(loadBytes(file).has_value()) << "seed " << index;
        ++index;
    }
    EXPECT_EQ(index, 24);
}

}  // namespace
