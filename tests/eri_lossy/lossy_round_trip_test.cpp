// Pictures through the lossy encoder and back through the frame decoder, for
// every sampling code, with and without alpha, both data layouts, both
// architectures and degrees 3 to 5. Floor: 40 dB PSNR for these smooth
// pictures at the finest codes (255 everywhere).
#include <gtest/gtest.h>

#include <tuple>

#include "eri_lossy/lossy_picture.h"

namespace {

using eriwriter::kSampling411;
using eriwriter::kSampling422;
using eriwriter::kSampling444;

constexpr double kFinestCodesFloor = 40.0;

using Combination = std::tuple<std::uint32_t, int, bool, std::int32_t, int>;

class LossyRoundTrip : public ::testing::TestWithParam<Combination> {
  protected:
    std::uint32_t sampling() const { return std::get<0>(GetParam()); }
    int channels() const { return std::get<1>(GetParam()); }
    bool inFront() const { return std::get<2>(GetParam()); }
    std::int32_t architecture() const { return std::get<3>(GetParam()); }
    int degree() const { return std::get<4>(GetParam()); }
};

TEST_P(LossyRoundTrip, FinestCodesReachTheFloorOnBothPaths) {
    // Odd sizes: partial macroblocks at the right and bottom edges.
    const auto picture = lossytest::smoothPicture(77 + degree() * 9, 45 + degree() * 5, channels());
    const bool huffman = architecture() == eri::kHuffmanArchitecture;
    const auto content = eriwriter::quantisePicture(picture, degree(), sampling(),
                                                    eriwriter::LossyQuality{}, huffman);
    eriwriter::LossyFrameOptions options;
    options.architecture = architecture();
    options.inFront = inFront();
    const auto frame = eriwriter::encodeLossyFrame(content, options);
    const std::uint32_t depth = channels() == 4 ? 32 : 24;
    const auto info =
        eriwriter::lossyImageInfo(picture, architecture(), degree(), sampling(), depth);

    const auto simd = lossytest::decodeFrame(info, frame, true);
    ASSERT_EQ(simd.result, 0);
    const double quality = lossytest::psnr(picture, simd);
    EXPECT_GE(quality, kFinestCodesFloor);
    RecordProperty("psnr", std::to_string(quality));

    const auto plain = lossytest::decodeFrame(info, frame, false);
    ASSERT_EQ(plain.result, 0);
    long differing = 0;
    for (std::size_t i = 0; i < plain.pixels.size(); ++i) {
        const int difference = std::abs(plain.pixels[i] - simd.pixels[i]);
        ASSERT_LE(difference, 1);
        differing += difference;
    }
    EXPECT_LT(differing * 1000, static_cast<long>(plain.pixels.size()));
}

// Coarser and unequal codes per band and per macroblock: still a faithful
// picture, which it would not be if a band or block took the wrong scale.
TEST_P(LossyRoundTrip, MixedCodesStayClose) {
    const auto picture = lossytest::smoothPicture(70, 41, channels());
    const bool huffman = architecture() == eri::kHuffmanArchitecture;
    eriwriter::LossyQuality quality;
    quality.dcLuma = 120;
    quality.dcChroma = 60;
    quality.bandCodes = {200, 90, 150, 40};
    quality.varyCodes = true;
    const auto content =
        eriwriter::quantisePicture(picture, degree(), sampling(), quality, huffman);
    eriwriter::LossyFrameOptions options;
    options.architecture = architecture();
    options.inFront = inFront();
    const auto info = eriwriter::lossyImageInfo(picture, architecture(), degree(), sampling(),
                                                channels() == 4 ? 32 : 24);
    const auto decoded =
        lossytest::decodeFrame(info, eriwriter::encodeLossyFrame(content, options), true);
    ASSERT_EQ(decoded.result, 0);
    EXPECT_GE(lossytest::psnr(picture, decoded), 32.0);
}

std::string combinationName(const ::testing::TestParamInfo<Combination>& info) {
    const auto [sampling, channels, front, architecture, degree] = info.param;
    std::string name = sampling == kSampling444   ? "s444"
                       : sampling == kSampling422 ? "s422"
                                                  : "s411";
    name += channels == 4 ? "_alpha" : "_colour";
    name += front ? "_front" : "_inline";
    name += architecture == eri::kHuffmanArchitecture ? "_huffman" : "_gamma";
    return name + "_d" + std::to_string(degree);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCombination, LossyRoundTrip,
    ::testing::Combine(::testing::Values(kSampling444, kSampling422, kSampling411),
                       ::testing::Values(3, 4), ::testing::Bool(),
                       ::testing::Values(eri::kGammaArchitecture, eri::kHuffmanArchitecture),
                       ::testing::Values(3, 4, 5)),
    combinationName);

}  // namespace
