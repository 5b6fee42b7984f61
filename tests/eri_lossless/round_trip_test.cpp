// Every kind of picture the decoder accepts, written by the test writer and
// loaded back through loadEriImage, on the plain and on the SIMD paths.
#include <gtest/gtest.h>

#include <string>

#include "eri/core/processor_features.h"
#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/container_writer.h"

namespace eritest {
namespace {

struct Combination {
    std::uint32_t frameCode;
    std::uint32_t version;
    std::int32_t architecture;
    std::uint32_t formatType;
    std::uint32_t bitsPerPixel;
    bool codesInFront;
};

std::string describe(const Combination& c) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on
    // a literal joined to a temporary string.
    std::string name = "frame";
    name += std::to_string(c.frameCode);
    name += "_v";
    name += std::to_string(c.version >> 8 & 0xFF);
    name += c.architecture < 0 ? "_archm" : "_arch";
    name += std::to_string(c.architecture < 0 ? -c.architecture : c.architecture);
    name += "_format";
    name += std::to_string(c.formatType >> 24);
    name += std::to_string(c.formatType & 0xFF);
    name += '_';
    name += std::to_string(c.bitsPerPixel);
    name += c.codesInFront ? "bit_front" : "bit_inline";
    return name;
}

std::vector<Combination> blockCombinations() {
    struct Format {
        std::uint32_t type;
        std::uint32_t bits;
    };
    const Format colourFormats[] = {
        {kColour, 16}, {kColour, 24}, {kColour, 32}, {kColourAlpha, 32}};
    std::vector<Combination> all;
    for (const std::uint32_t frame : {1u, 4u}) {
        for (const std::uint32_t version : {0x00020100u, 0x00020200u}) {
            if (frame == 4 && version != 0x00020200u) {
                continue;
            }
            for (const std::int32_t architecture : {-1, 32}) {
                for (const bool front : {true, false}) {
                    if (architecture == 32 && !front) {
                        continue;
                    }
                    for (const Format& f : colourFormats) {
                        all.push_back({frame, version, architecture, f.type, f.bits, front});
                    }
                    all.push_back({frame, version, architecture, kGrey, 8, front});
                }
            }
        }
    }
    for (const bool front : {true, false}) {
        for (const Format& f : colourFormats) {
            all.push_back({8, 0x00020200u, -4, f.type, f.bits, front});
        }
    }
    return all;
}

// Decodes the file with the plain paths and with the SIMD paths; both must
// give the expected DIB.
void expectLoadsAs(const std::vector<std::uint8_t>& file, const std::vector<std::uint8_t>& dib,
                   const std::string& what) {
    eri::initializeDecodingCore();  // before the flags are set by hand
    const std::uint32_t saved = eri::processorFeatures;
    for (const std::uint32_t features : {0u, eri::kIntegerSimd | eri::kFloatSimd}) {
        eri::processorFeatures = features;
        const auto loaded = loadBytes(file);
        ASSERT_TRUE(loaded.has_value()) << what << " features " << features;
        ASSERT_EQ(loaded->size(), dib.size()) << what;
        EXPECT_TRUE(*loaded == dib) << what << " features " << features;
    }
    eri::processorFeatures = saved;
}

class BlockRoundTrip : public testing::TestWithParam<Combination> {};

TEST_P(BlockRoundTrip, EverySizeDegreeAndOrientation) {
    const Combination c = GetParam();
    const int planes = eriwriter::losslessChannels(c.formatType, c.bitsPerPixel);
    const int sampleBits = c.bitsPerPixel == 16 ? 5 : 8;
    struct Size {
        std::int32_t width;
        std::int32_t height;
    };
    std::uint32_t seed = 1;
    for (std::uint32_t degree = 1; degree <= 5; ++degree) {
        for (const Size size : {Size{1, 1}, Size{13, 7}, Size{65, 65}}) {
            for (const int sign : {1, -1}) {
                ++seed;
                const PictureKind kind = seed % 2 == 0 ? PictureKind::random : PictureKind::smooth;
                const auto picture =
                    makePicture(size.width, size.height, planes, sampleBits, kind, seed);
                const eri::ImageInfo info =
                    losslessImageInfo(c.version, c.architecture, c.formatType, c.bitsPerPixel,
                                      size.width, sign * size.height, degree);
                eriwriter::LosslessFrameOptions options;
                options.frameCode = c.frameCode;
                options.codingVersion = c.version;
                options.architecture = c.architecture;
                options.blockingDegree = degree;
                options.codesInFront = c.codesInFront;
                options.sampleBits = sampleBits;
                options.seed = seed;
                const auto frame = eriwriter::encodeLosslessFrame(picture, options);
                ASSERT_TRUE(frame.has_value());
                expectLoadsAs(eriwriter::eriFile(info, *frame), expectedDib(info, picture),
                              describe(c) + " degree " + std::to_string(degree) + " size " +
                                  std::to_string(size.width) + "x" +
                                  std::to_string(sign * size.height));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Accepted, BlockRoundTrip, testing::ValuesIn(blockCombinations()),
                         [](const testing::TestParamInfo<Combination>& info) {
                             return describe(info.param);
                         });

// 8-bit pictures coded line by line: grey levels with the grey ramp, palette
// indices with the file's palette.
TEST(LineImageRoundTrip, EveryArchitectureVersionAndFormat) {
    std::vector<std::uint8_t> palette(1024);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    std::uint32_t seed = 100;
    for (const std::int32_t architecture : {-1, -4, 32}) {
        for (const std::uint32_t version : {0x00020100u, 0x00020200u}) {
            for (const std::uint32_t format : {kGrey, kColour}) {
                for (const std::uint32_t degree : {0u, 3u}) {
                    for (const std::int32_t height : {1, 9, -9}) {
                        ++seed;
                        const std::int32_t width = seed % 2 == 0 ? 17 : 64;
                        const PictureKind kind =
                            seed % 3 == 0 ? PictureKind::smooth : PictureKind::random;
                        const auto picture = makePicture(width, std::abs(height), 1, 8, kind, seed);
                        const eri::ImageInfo info = losslessImageInfo(version, architecture, format,
                                                                      8, width, height, degree);
                        std::vector<std::uint8_t> lines(picture.planes[0].begin(),
                                                        picture.planes[0].end());
                        const auto frame =
                            eriwriter::encodeLineImageFrame(architecture, width, lines);
                        const std::vector<std::uint8_t>* table =
                            format == kColour ? &palette : nullptr;
                        expectLoadsAs(eriwriter::eriFile(info, frame, table),
                                      expectedDib(info, picture, table),
                                      "line image arch " + std::to_string(architecture) +
                                          " format " + std::to_string(format) + " height " +
                                          std::to_string(height));
                    }
                }
            }
        }
    }
}

// Narrow arithmetic symbols carry pictures whose differences fit them.
TEST(ArithmeticSymbolWidth, NarrowSymbolsCarryFlatPictures) {
    for (int bits = 1; bits <= 8; ++bits) {
        eriwriter::PlanePicture picture;
        picture.width = 19;
        picture.height = 11;
        picture.planes.assign(3, std::vector<std::int32_t>(19 * 11, 0));
        const eri::ImageInfo info = losslessImageInfo(0x00020200, 32, kColour, 24, 19, 11, 2);
        eriwriter::LosslessFrameOptions options;
        options.architecture = 32;
        options.blockingDegree = 2;
        options.symbolBits = bits;
        const auto frame = eriwriter::encodeLosslessFrame(picture, options);
        ASSERT_TRUE(frame.has_value());
        expectLoadsAs(eriwriter::eriFile(info, *frame), expectedDib(info, picture),
                      "symbol width " + std::to_string(bits));
    }
}

}  // namespace
}  // namespace eritest
