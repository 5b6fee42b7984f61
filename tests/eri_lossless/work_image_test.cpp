// ERI files reach the rest of the program through LoadWorkImage, and leave
// it as TGA and PNG files with the same pixels.
#include <gtest/gtest.h>

#include <QImage>

#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/container_writer.h"
#include "imagefiles/format_dispatch.h"

namespace eritest {
namespace {

TEST(LoadWorkImage, EriFileGivesTheWorkImageAndSavesAsPng) {
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

    const std::string png = temporaryPath("photo.png");
    ASSERT_TRUE(tinta::SaveWorkImage(*image, png, buffer));
    const QImage saved(QString::fromStdString(png));
    ASSERT_EQ(saved.width(), 21);
    EXPECT_EQ(
        saved.pixel(4, 2) & 0xFFFFFF,
        static_cast<unsigned>(picture.planes[2][2 * 21 + 4] << 16 |
                              picture.planes[1][2 * 21 + 4] << 8 | picture.planes[0][2 * 21 + 4]));
    const std::string tga = temporaryPath("photo.tga");
    EXPECT_TRUE(tinta::SaveWorkImage(*image, tga, buffer));
}

TEST(LoadWorkImage, DamagedEriFileIsNotLoaded) {
    const std::string path = temporaryPath("damaged.eri");
    writeFile(path, {0x45, 0x6E, 0x74, 0x69, 0x73, 0x1A, 0x00, 0x00});  // the signature alone
    tinta::DibBuffer buffer;
    EXPECT_FALSE(tinta::LoadWorkImage(path, buffer));
}

}  // namespace
}  // namespace eritest
