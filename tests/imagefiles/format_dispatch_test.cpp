#include "imagefiles/format_dispatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "imagefiles/test_files.h"
#include "support/tga_reader.h"
#include "support/trace_recorder.h"
#include "workimage/dib_conversion.h"
#include "workimage/packed_dib.h"

namespace tinta {
namespace {

using testing::DifferentPixels;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;
using testing::PatternPicture;
using testing::ReadBack;
using testing::ScratchFolder;
using testing::TraceRecorder;

QImage AsPicture(const WorkImage& image) {
    QImage picture(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(picture.scanLine(y), image.Row(y), image.RowBytes());
    }
    return picture;
}

// Pictures with alpha keep every byte; opaque formats get full alpha.
TEST(LoadWorkImage, KeepsEveryByteAndGivesOpaqueFormatsFullAlpha) {
    ScratchFolder folder;
    const struct {
        const char* name;
        QImage picture;
    } cases[] = {{"a.png", PatternPicture(33, 17)},
                 {"a.bmp", PatternPicture(21, 9).convertToFormat(QImage::Format_RGB888)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.picture.save(QString::fromStdString(folder / c.name)));
        DibBuffer buffer;
        const WorkImagePtr image = LoadWorkImage(folder / c.name, buffer).image;
        ASSERT_TRUE(image);
        ASSERT_EQ(QSize(image->width, image->height), c.picture.size());
        EXPECT_EQ(
            DifferentPixels(AsPicture(*image), c.picture.convertToFormat(QImage::Format_ARGB32)),
            0);
    }
}

TEST(LoadWorkImage, EveryFailureSaysWhyAndKeepsThePreviousDib) {
    ScratchFolder folder;
    ASSERT_TRUE(PatternPicture(6, 4).save(QString::fromStdString(folder / "good.png")));
    DibBuffer buffer;
    ASSERT_TRUE(LoadWorkImage(folder / "good.png", buffer));
    const std::vector<uint8_t> before(buffer.data(), buffer.data() + buffer.size());
    const std::vector<uint8_t> good = test::ReadFileBytes(folder / "good.png");

    TraceRecorder trace;
    const std::string missing = folder / "missing.png";
    const std::string eri = folder / "photo.Eri";
    testing::WriteBytes(eri, {0x45, 0x6E, 0x74, 0x69, 0x73});  // a cut signature
    testing::WriteBytes(folder / "text.png", {'n', 'o', ' ', 'p', 'i', 'c'});
    testing::WriteBytes(folder / "cut.png", {good.begin(), good.end() - 6});
    std::filesystem::create_directory(folder.Path() / "folder.png");

    const auto reason = [&](const std::string& path) {
        const LoadedImage loaded = LoadWorkImage(path, buffer);
        EXPECT_FALSE(loaded) << path;
        return loaded.reason;
    };
    EXPECT_EQ(reason(missing), "ファイルが見つかりません");
    EXPECT_EQ(reason(folder / "folder.png"), "ファイルではなくフォルダーです");
    EXPECT_EQ(reason(folder / "cut.png"),
              "画像として読み込めませんでした（ファイルが途中で終わっています）");
    // Qt's own words stay as Qt gives them, inside our sentence.
    EXPECT_THAT(reason(folder / "text.png"), MatchesRegex("画像として読み込めませんでした（.+）"));
    EXPECT_THAT(reason(eri), MatchesRegex("画像として読み込めませんでした（.+）"));

    EXPECT_THAT(trace.lines,
                ElementsAre("GDI->DIB作成失敗。ファイル名＝" + missing + "\n",
                            "GDI->DIB作成失敗。ファイル名＝" + folder / "folder.png" + "\n",
                            "GDI->DIB作成失敗。ファイル名＝" + folder / "cut.png" + "\n",
                            "GDI->DIB作成失敗。ファイル名＝" + folder / "text.png" + "\n",
                            "ERI->DIB作成失敗。ファイル名＝" + eri + "\n"));
    ASSERT_EQ(buffer.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), buffer.data()));
}

TEST(LoadWorkImage, OnlyTheFileNamesLastExtensionChoosesTheReader) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "in.eri");
    const QImage picture = PatternPicture(5, 5);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "in.eri/photo.png"), "png"));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "a.eri.bmp"), "bmp"));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / ".eri"), "png"));

    DibBuffer buffer;
    EXPECT_TRUE(LoadWorkImage(folder / "in.eri/photo.png", buffer));
    EXPECT_TRUE(LoadWorkImage(folder / "a.eri.bmp", buffer));
    EXPECT_TRUE(LoadWorkImage(folder / ".eri", buffer)) << "a hidden file without extension";
}

TEST(SaveWorkImage, PictureWithAlphaSurvivesPngAndBmp) {
    ScratchFolder folder;
    const QImage picture = PatternPicture(29, 13);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "in.png")));
    DibBuffer buffer;
    const WorkImagePtr image = LoadWorkImage(folder / "in.png", buffer).image;
    ASSERT_TRUE(image);

    ASSERT_TRUE(SaveWorkImage(*image, folder / "out.png", buffer));
    EXPECT_EQ(DifferentPixels(ReadBack(folder / "out.png"), picture), 0);
    EXPECT_THAT(folder.Entries(), ElementsAre("in.png", "out.png")) << "no temporary file is left";

    // Qt's BMP encoder keeps the colours and drops alpha.
    ASSERT_TRUE(SaveWorkImage(*image, folder / "out.BMP", buffer));
    const QImage bmp = ReadBack(folder / "out.BMP");
    ASSERT_EQ(bmp.size(), picture.size());
    EXPECT_EQ(DifferentPixels(bmp, picture, false), 0);
}

TEST(SaveWorkImage, ReportsWhatWasNotWritten) {
    ScratchFolder folder;
    const WorkImagePtr image = AllocIpl(4, 4, 8);
    ASSERT_TRUE(image);
    ClearIpl(*image);
    DibBuffer buffer;

    const SaveResult eri = SaveWorkImage(*image, folder / "x.eri", buffer);
    EXPECT_FALSE(eri);
    EXPECT_EQ(eri.reason, "ERI 形式では書き出せません");

    const SaveResult unknown = SaveWorkImage(*image, folder / "image.jTGA", buffer);
    EXPECT_FALSE(unknown);
    EXPECT_EQ(unknown.reason, ".jTGA 形式で書き出す手段がありません");

    EXPECT_FALSE(SaveWorkImage(*image, folder / "noextension", buffer));
    EXPECT_THAT(folder.Entries(), IsEmpty());

    const SaveResult written = SaveWorkImage(*image, folder / "x.png", buffer);
    EXPECT_TRUE(written);
    EXPECT_THAT(written.reason, IsEmpty());
}

TEST(SaveWorkImage, TgaPathsGoToTheTgaWriter) {
    ScratchFolder folder;
    const WorkImagePtr image = AllocIpl(4, 4, 8);
    ASSERT_TRUE(image);
    ClearIpl(*image);
    DibBuffer buffer;
    // Qt has no TGA encoder, so only the TGA writer can answer with its codes.
    const SaveResult result = SaveWorkImage(*image, folder / "missing.eri/x.TGA", buffer);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.reason, "出力先のフォルダーが見つかりません");

    // An upper- or mixed-case .tga name is written by the TGA writer, run-length
    // encoded, with the pixels of the picture as they were loaded.
    const QImage picture = PatternPicture(23, 7);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "in.png")));
    const WorkImagePtr loaded = LoadWorkImage(folder / "in.png", buffer).image;
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(SaveWorkImage(*loaded, folder / "out.Tga", buffer));
    const auto tga = test::ReadTga(test::ReadFileBytes(folder / "out.Tga"));
    ASSERT_TRUE(tga.has_value());
    EXPECT_EQ(tga->imageType, 10);
    ASSERT_EQ(tga->width, 23);
    ASSERT_EQ(tga->height, 7);
    EXPECT_TRUE(std::equal(tga->pixels.begin(), tga->pixels.end(), loaded->pixels));

    // A folder named like a TGA file does not force TGA.
    std::filesystem::create_directory(folder.Path() / "x.tga");
    EXPECT_TRUE(SaveWorkImage(*image, folder / "x.tga/y.png", buffer));
    EXPECT_FALSE(ReadBack(folder / "x.tga/y.png").isNull());
}

}  // namespace
}  // namespace tinta
