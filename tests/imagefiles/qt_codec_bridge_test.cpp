#include "imagefiles/qt_codec_bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImageWriter>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "imagefiles/metafile_rule.h"
#include "imagefiles/test_files.h"
#include "support/tga_reader.h"
#include "workimage/packed_dib.h"

namespace tinta {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::PatternPicture;
using testing::ScratchFolder;

uint32_t PixelAt(const DibBuffer& buffer, int storedRow, int x, int width) {
    const uint8_t* p = buffer.data() + kDibHeaderSize + (size_t(storedRow) * width + x) * 4;
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

TEST(LoadQtImage, GivesAnExact32BitDibBottomRowFirst) {
    ScratchFolder folder;
    const QImage picture = PatternPicture(37, 23);
    const std::string path = folder / "pattern.png";
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "png"));

    DibBuffer buffer;
    ASSERT_TRUE(LoadQtImage(path, buffer, {}, 720, 540));
    ASSERT_EQ(buffer.size(), kDibHeaderSize + 37u * 23u * 4u);
    const auto header = ReadDibHeader(buffer.data(), buffer.size());
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->width, 37);
    EXPECT_EQ(header->height, 23);
    EXPECT_EQ(header->planes, 1);
    EXPECT_EQ(header->bitsPerPixel, 32);
    EXPECT_EQ(header->compression, 0u);
    EXPECT_EQ(header->imageSize, 37u * 23u * 4u);
    EXPECT_EQ(header->xResolution, 72);
    EXPECT_EQ(header->yResolution, 72);
    EXPECT_EQ(header->coloursUsed, 0u);

    int different = 0;
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 37; ++x) {
            // Transparent pixels keep their colour: nothing was premultiplied.
            different += PixelAt(buffer, 22 - y, x, 37) != picture.pixel(x, y);
        }
    }
    EXPECT_EQ(different, 0);
}

TEST(MetafileRule, OnlyTheLastExtensionCountsInAnyCase) {
    EXPECT_TRUE(IsMetafilePath("/in/drawing.wmf"));
    EXPECT_TRUE(IsMetafilePath("/in/DRAWING.EMF"));
    EXPECT_TRUE(IsMetafilePath("/in/drawing.Wmf"));
    EXPECT_FALSE(IsMetafilePath("/in/site.emfiles/x.png"));
    EXPECT_FALSE(IsMetafilePath("/in/x.emf.d/drawing.png"));
    EXPECT_FALSE(IsMetafilePath("/in/x.emf.png"));
    EXPECT_FALSE(IsMetafilePath("/in/wmf.png"));
    EXPECT_FALSE(IsMetafilePath("/in/drawing.wmf/"));
}

TEST(MetafileRule, DrawsStretchedOverBlackAndInvertsAlpha) {
    QImage opaque(3, 2, QImage::Format_ARGB32);
    opaque.fill(qRgba(200, 100, 50, 255));
    const QImage drawnOpaque = DrawAsMetafile(opaque, 30, 20);
    ASSERT_EQ(drawnOpaque.size(), QSize(30, 20));
    EXPECT_EQ(drawnOpaque.format(), QImage::Format_ARGB32);
    EXPECT_EQ(drawnOpaque.pixel(0, 0), qRgba(200, 100, 50, 0));
    EXPECT_EQ(drawnOpaque.pixel(29, 19), qRgba(200, 100, 50, 0));

    QImage clear(3, 2, QImage::Format_ARGB32);
    clear.fill(qRgba(200, 100, 50, 0));
    const QImage drawnClear = DrawAsMetafile(clear, 30, 20);
    EXPECT_EQ(drawnClear.pixel(15, 10), qRgba(0, 0, 0, 255))
        << "source copy puts the undrawn pixel in place of the black background";

    EXPECT_TRUE(DrawAsMetafile(opaque, 0, 20).isNull());
}

// Raster pictures load by their content, whatever their name says, also when
// their folder or an earlier extension mentions a metafile type; a file named
// as a metafile fails, since no installed reader draws metafiles.
TEST(LoadQtImage, ContentDecidesAndOnlyFilesNamedAsMetafilesGetTheMetafileRule) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "site.emfiles");
    QImage picture(4, 3, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 20, 30, 255));
    for (const char* name : {"site.emfiles/x.png", "x.emf.png", "DRAWING.WMF.png", "really_png.jpg",
                             "x.wmf", "x.EMF"}) {
        ASSERT_TRUE(picture.save(QString::fromStdString(folder / name), "png")) << name;
    }

    DibBuffer buffer;
    for (const char* name :
         {"site.emfiles/x.png", "x.emf.png", "DRAWING.WMF.png", "really_png.jpg"}) {
        const DibLoadResult loaded = LoadQtImage(folder / name, buffer, {}, 720, 540);
        ASSERT_TRUE(loaded) << name << ": " << loaded.reason;
        const auto header = ReadDibHeader(buffer.data(), buffer.size());
        ASSERT_TRUE(header.has_value());
        EXPECT_EQ(header->width, 4) << name;
        EXPECT_EQ(header->height, 3) << name;
        EXPECT_EQ(PixelAt(buffer, 0, 0, 4), qRgba(10, 20, 30, 255)) << name;
    }
    for (const char* name : {"x.wmf", "x.EMF"}) {
        const DibLoadResult loaded = LoadQtImage(folder / name, buffer, {}, 720, 540);
        EXPECT_FALSE(loaded) << name;
        EXPECT_THAT(loaded.reason, HasSubstr("WMF/EMF")) << name;
    }
}

const uint8_t* RefuseMapping(QFile&, qint64) {
    return nullptr;
}

TEST(LoadQtImage, ReadsTheFileWhenItCannotBeMapped) {
    ScratchFolder folder;
    const QImage picture = PatternPicture(9, 7);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "pattern.png"), "png"));

    const FileBytes mapped(folder / "pattern.png");
    const FileBytes read(folder / "pattern.png", RefuseMapping);
    EXPECT_TRUE(mapped.mapped());
    EXPECT_FALSE(read.mapped());
    ASSERT_NE(read.data(), nullptr) << read.failure();
    ASSERT_EQ(read.size(), mapped.size());
    EXPECT_TRUE(std::equal(read.data(), read.data() + read.size(), mapped.data()));

    DibBuffer fromMap;
    DibBuffer fromRead;
    ASSERT_TRUE(LoadQtImage(folder / "pattern.png", fromMap, {}, 720, 540));
    const DibLoadResult loaded =
        LoadQtImage(folder / "pattern.png", fromRead, {}, 720, 540, RefuseMapping);
    ASSERT_TRUE(loaded) << loaded.reason;
    ASSERT_EQ(fromRead.size(), fromMap.size());
    EXPECT_TRUE(std::equal(fromRead.data(), fromRead.data() + fromRead.size(), fromMap.data()));

    // A cut file read this way is still checked before it is decoded.
    std::filesystem::resize_file(folder.Path() / "pattern.png", read.size() - 4);
    EXPECT_FALSE(LoadQtImage(folder / "pattern.png", fromRead, {}, 720, 540, RefuseMapping));
}

// The work image comes straight from Qt, written in place where the
// plug-in allows: it must hold exactly the DIB path's pixels, top row
// first, with opaque formats fully opaque.
TEST(LoadQtWorkImage, HoldsTheDibPathsPixelsForEveryKindOfPicture) {
    ScratchFolder folder;
    const QImage pattern = PatternPicture(37, 23);
    struct Case {
        const char* name;
        QImage picture;
        const char* format;
    };
    const Case cases[] = {
        {"alpha.png", pattern, "png"},
        {"opaque.png", pattern.convertToFormat(QImage::Format_RGB32), "png"},
        {"grey.png", pattern.convertToFormat(QImage::Format_Grayscale8), "png"},
        {"indexed.png", pattern.convertToFormat(QImage::Format_Indexed8), "png"},
        {"photo.jpg", pattern.convertToFormat(QImage::Format_RGB32), "jpeg"},
        {"plain.bmp", pattern.convertToFormat(QImage::Format_RGB888), "bmp"},
        {"alpha.bmp", pattern, "bmp"},
        {"plain.ppm", pattern.convertToFormat(QImage::Format_RGB888), "ppm"},
        {"alpha.tif", pattern, "tif"},
    };
    for (const Case& c : cases) {
        const std::string path = folder / c.name;
        ASSERT_TRUE(c.picture.save(QString::fromStdString(path), c.format)) << c.name;
        DibBuffer dib;
        ASSERT_TRUE(LoadQtImage(path, dib, {}, 720, 540)) << c.name;
        const QtWorkImage loaded = LoadQtWorkImage(path, {}, 720, 540);
        ASSERT_TRUE(loaded.image) << c.name << ": " << loaded.reason;
        ASSERT_EQ(loaded.image->width, 37) << c.name;
        ASSERT_EQ(loaded.image->height, 23) << c.name;
        const bool opaque = !c.picture.hasAlphaChannel();
        int different = 0;
        int translucent = 0;
        for (int y = 0; y < 23; ++y) {
            for (int x = 0; x < 37; ++x) {
                uint32_t pixel = 0;
                std::memcpy(&pixel, loaded.image->PixelAt(x, y), 4);
                different += pixel != PixelAt(dib, 22 - y, x, 37);
                translucent += opaque && (pixel >> 24) != 0xFF;
            }
        }
        EXPECT_EQ(different, 0) << c.name;
        EXPECT_EQ(translucent, 0) << c.name;
    }
}

TEST(LoadQtWorkImage, FailsAsTheDibPathDoes) {
    ScratchFolder folder;
    ASSERT_TRUE(PatternPicture(40, 30).save(QString::fromStdString(folder / "big.png"), "png"));
    const QtWorkImage tooLarge = LoadQtWorkImage(folder / "big.png", {1199}, 720, 540);
    EXPECT_FALSE(tooLarge.image);
    EXPECT_EQ(tooLarge.reason, TooLargeReason(40, 30, 1199));
    EXPECT_TRUE(LoadQtWorkImage(folder / "big.png", {1200}, 720, 540).image);

    std::filesystem::resize_file(folder.Path() / "big.png",
                                 std::filesystem::file_size(folder.Path() / "big.png") - 4);
    const QtWorkImage cut = LoadQtWorkImage(folder / "big.png", {}, 720, 540);
    EXPECT_FALSE(cut.image);
    EXPECT_FALSE(cut.noWorkImage);
    EXPECT_EQ(cut.reason, CannotLoadReason(kIncompleteCause));
}

TEST(FindQtEncoder, MatchesTheExtensionWithoutRegardToCase) {
    EXPECT_EQ(FindQtEncoder("/out/x.PNG"), "png");
    EXPECT_EQ(FindQtEncoder("/out/x.JpEg"), "jpeg");
    EXPECT_EQ(FindQtEncoder("/out/x.tif"), "tif");
    EXPECT_EQ(FindQtEncoder("/out/x.bmp"), "bmp");
    EXPECT_EQ(FindQtEncoder("/out/x.xyz"), "");
    EXPECT_EQ(FindQtEncoder("/out/x.jTGA"), "");
    EXPECT_EQ(FindQtEncoder("/out/png"), "");
    EXPECT_EQ(FindQtEncoder("/out/.png"), "");
}

// A 32-bit DIB of the pattern picture, as the save step makes it.
DibBuffer PatternDib(const QImage& picture) {
    DibBuffer dib;
    const int64_t size = DibBlockSize(picture.width(), picture.height(), 32);
    EXPECT_TRUE(size > 0 && dib.Resize(static_cast<size_t>(size)));
    WriteDibHeader(MakeDibHeader(picture.width(), picture.height(), 32), dib.data());
    for (int y = 0; y < picture.height(); ++y) {
        std::memcpy(dib.data() + kDibHeaderSize +
                        size_t(picture.height() - 1 - y) * size_t(picture.width()) * 4,
                    picture.constScanLine(y), size_t(picture.width()) * 4);
    }
    return dib;
}

TEST(SaveQtImage, FailuresLeaveNoFileBehind) {
    ScratchFolder folder;
    const DibBuffer dib = PatternDib(PatternPicture(5, 5));
    EXPECT_FALSE(SaveQtImage(folder / "out.xyz", dib.data(), dib.size()));
    EXPECT_FALSE(SaveQtImage(folder / "missing/out.png", dib.data(), dib.size()));
    EXPECT_FALSE(SaveQtImage(folder / "out.png", nullptr, 0));
    EXPECT_FALSE(SaveQtImage(folder / "out.png", dib.data(), dib.size() - 1));
    EXPECT_THAT(folder.Entries(), IsEmpty());

    std::filesystem::create_directory(folder.Path() / "taken.png");
    EXPECT_FALSE(SaveQtImage(folder / "taken.png", dib.data(), dib.size()));
    EXPECT_THAT(folder.Entries(), ElementsAre("taken.png"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "taken.png"));

    // A 24-bit DIB is not what the save step makes.
    DibBuffer deep;
    ASSERT_TRUE(deep.Resize(static_cast<size_t>(DibBlockSize(5, 5, 24))));
    WriteDibHeader(MakeDibHeader(5, 5, 24), deep.data());
    EXPECT_FALSE(SaveQtImage(folder / "deep.png", deep.data(), deep.size()));
    EXPECT_THAT(folder.Entries(), ElementsAre("taken.png"));
}

// The encoder reads the work image's rows in place: the file must be the
// one the DIB path writes, byte for byte.
TEST(SaveQtWorkImage, WritesTheDibPathsFileByteForByte) {
    ScratchFolder folder;
    const QImage picture = PatternPicture(29, 17);
    const DibBuffer dib = PatternDib(picture);
    WorkImagePtr image = AllocIpl(29, 17, 8);
    ASSERT_TRUE(image);
    for (int y = 0; y < 17; ++y) {
        std::memcpy(image->Row(y), picture.constScanLine(y), image->RowBytes());
    }
    for (const char* extension : {"png", "bmp", "tif"}) {
        const std::string viaDib = folder / (std::string("dib.") + extension);
        const std::string direct = folder / (std::string("direct.") + extension);
        ASSERT_TRUE(SaveQtImage(viaDib, dib.data(), dib.size())) << extension;
        ASSERT_TRUE(SaveQtWorkImage(direct, *image)) << extension;
        EXPECT_EQ(test::ReadFileBytes(direct), test::ReadFileBytes(viaDib)) << extension;
    }
    EXPECT_FALSE(SaveQtWorkImage(folder / "x.xyz", *image));
    EXPECT_FALSE(SaveQtWorkImage(folder / "missing/x.png", *image));
}

}  // namespace
}  // namespace tinta
