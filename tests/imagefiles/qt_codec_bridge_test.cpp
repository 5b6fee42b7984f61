#include "imagefiles/qt_codec_bridge.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImageWriter>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "imagefiles/metafile_rule.h"
#include "imagefiles/test_files.h"
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

TEST(LoadQtImage, ContentDecidesWhenTheNameDoesNotFit) {
    ScratchFolder folder;
    ASSERT_TRUE(
        PatternPicture(8, 8).save(QString::fromStdString(folder / "really_png.jpg"), "png"));
    DibBuffer buffer;
    EXPECT_TRUE(LoadQtImage(folder / "really_png.jpg", buffer, {}, 720, 540));
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

// Raster pictures whose folder or earlier extension mentions a metafile type
// load as they are; a file named as a metafile fails, since no installed
// reader draws metafiles.
TEST(LoadQtImage, OnlyFilesNamedAsMetafilesGetTheMetafileRule) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "site.emfiles");
    QImage picture(4, 3, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 20, 30, 255));
    for (const char* name :
         {"site.emfiles/x.png", "x.emf.png", "DRAWING.WMF.png", "x.wmf", "x.EMF"}) {
        ASSERT_TRUE(picture.save(QString::fromStdString(folder / name), "png")) << name;
    }

    DibBuffer buffer;
    for (const char* name : {"site.emfiles/x.png", "x.emf.png", "DRAWING.WMF.png"}) {
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

}  // namespace
}  // namespace tinta
