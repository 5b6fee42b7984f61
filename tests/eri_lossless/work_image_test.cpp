// ERI files reach the rest of the program through LoadWorkImage, under the
// load's pixel limit.
#include <gtest/gtest.h>

#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/container_writer.h"
#include "imagefiles/format_dispatch.h"

namespace eritest {
namespace {

TEST(LoadWorkImage, EriFileGivesTheWorkImageWithinTheLimit) {
    const auto picture = makePicture(21, 13, 3, 8, PictureKind::smooth, 8);
    const eri::ImageInfo info = losslessImageInfo(0x00020200, -4, kColour, 24, 21, -13, 3);
    eriwriter::LosslessFrameOptions options;
    options.frameCode = 8;
    options.architecture = -4;
    const std::string path = temporaryPath("photo.eri");
    writeFile(path, eriwriter::eriFile(info, *eriwriter::encodeLosslessFrame(picture, options)));

    tinta::DibBuffer buffer;
    const tinta::WorkImagePtr image = tinta::LoadWorkImage(path, buffer).image;
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 21);
    ASSERT_EQ(image->height, 13);
    // Negative stored height: decoded line y is row y of the picture, top first.
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 21; ++x) {
            const std::uint8_t* pixel = image->pixels + (static_cast<std::size_t>(y) * 21 + x) * 4;
            const std::size_t i = static_cast<std::size_t>(y) * 21 + x;
            ASSERT_EQ(pixel[0], picture.planes[0][i]);
            ASSERT_EQ(pixel[1], picture.planes[1][i]);
            ASSERT_EQ(pixel[2], picture.planes[2][i]);
            ASSERT_EQ(pixel[3], 255);
        }
    }

    // The same file under a lower limit is refused by its size, named in the reason.
    const tinta::LoadedImage refused = tinta::LoadWorkImage(path, buffer, {.maxPixels = 272});
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.reason, "画像が大きすぎます（21×13 画素、上限 272 画素）");
    EXPECT_TRUE(tinta::LoadWorkImage(path, buffer, {.maxPixels = 273}));
}

}  // namespace
}  // namespace eritest
