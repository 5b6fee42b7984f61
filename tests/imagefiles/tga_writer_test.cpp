#include "imagefiles/tga_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/scratch_folder.h"
#include "support/tga_reader.h"

namespace tinta {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

unsigned LittleEndian16(const Bytes& bytes, size_t at) {
    return bytes[at] | unsigned{bytes[at + 1]} << 8;
}

unsigned LittleEndian32(const Bytes& bytes, size_t at) {
    return LittleEndian16(bytes, at) | LittleEndian16(bytes, at + 2) << 16;
}

WorkImagePtr RandomImage(int32_t width, int32_t height, unsigned seed) {
    auto image = AllocIpl(width, height, 8);
    std::mt19937 random(seed);
    for (int64_t i = 0; i < image->imageSize; ++i) {
        image->pixels[i] = static_cast<uint8_t>(random());
    }
    return image;
}

// Random pixels in runs of random length, some differing only in alpha.
WorkImagePtr ImageWithRuns(int32_t width, int32_t height, unsigned seed) {
    auto image = AllocIpl(width, height, 8);
    std::mt19937 random(seed);
    uint8_t pixel[4] = {};
    int64_t left = 0;
    for (int64_t i = 0; i < image->imageSize; i += 4) {
        if (left-- <= 0) {
            left = random() % 4 == 0 ? random() % 300 : random() % 3;
            if (random() % 3 == 0) {
                pixel[3] ^= 1;
            } else {
                for (uint8_t& channel : pixel) {
                    channel = static_cast<uint8_t>(random() % 4);
                }
            }
        }
        std::memcpy(image->pixels + i, pixel, 4);
    }
    return image;
}

class TgaWriterTest : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return folder_ / name; }

    testing::ScratchFolder folder_;
};

// The extension area and the footer that every file ends with, checked
// against the pixel data length that precedes them.
void ExpectExtensionAndFooter(const Bytes& file, size_t pixelDataBytes) {
    ASSERT_EQ(file.size(), 18 + pixelDataBytes + 495 + 26);
    const size_t footer = file.size() - 26;
    const size_t extension = LittleEndian32(file, footer);
    EXPECT_EQ(extension, 18 + pixelDataBytes);
    EXPECT_EQ(LittleEndian32(file, footer + 4), 0u);
    const Bytes signature = {0x54, 0x52, 0x55, 0x45, 0x56, 0x49, 0x53, 0x49, 0x4F,
                             0x4E, 0x2D, 0x58, 0x46, 0x49, 0x4C, 0x45, 0x2E, 0x00};
    EXPECT_EQ(Bytes(file.begin() + footer + 8, file.end()), signature);

    EXPECT_EQ(LittleEndian16(file, extension), 495u);
    const std::string softwareId(file.begin() + extension + 426, file.begin() + extension + 467);
    EXPECT_EQ(softwareId, std::string("Mobrel's TGA CONV") + std::string(24, '\0'));
    EXPECT_EQ(LittleEndian16(file, extension + 467), 100u);
    EXPECT_EQ(file[extension + 469], 'A');
    EXPECT_EQ(file[extension + 494], 3);
    for (size_t i = 2; i < 426; ++i) {
        ASSERT_EQ(file[extension + i], 0) << "extension byte " << i;
    }
    for (size_t i = 470; i < 494; ++i) {
        ASSERT_EQ(file[extension + i], 0) << "extension byte " << i;
    }
}

TEST_F(TgaWriterTest, OnePixelFileHasEveryPartInPlace) {
    auto image = AllocIpl(1, 1, 8);
    const uint8_t pixel[4] = {0x11, 0x22, 0x33, 0x44};
    std::memcpy(image->pixels, pixel, 4);
    const std::string path = PathOf("one.tga");
    // A larger file already there is replaced, not overwritten in part.
    ASSERT_EQ(WriteTga(*ImageWithRuns(50, 50, 3), path, false), kTgaWritten);
    ASSERT_EQ(WriteTga(*image, path, true), kTgaWritten);

    const Bytes file = test::ReadFileBytes(path);
    ASSERT_EQ(file.size(), 544u);
    const Bytes header = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 32, 8};
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 18), header);
    EXPECT_EQ(Bytes(file.begin() + 18, file.begin() + 23), (Bytes{0x00, 0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(LittleEndian32(file, 544 - 26), 23u);
    ExpectExtensionAndFooter(file, 5);
}

TEST_F(TgaWriterTest, RawFilesHoldTheRowsBottomRowFirst) {
    auto image = ImageWithRuns(3, 2, 1);
    const std::string path = PathOf("raw.tga");
    ASSERT_EQ(WriteTga(*image, path, false), kTgaWritten);

    const Bytes file = test::ReadFileBytes(path);
    const Bytes header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 32, 8};
    ASSERT_GE(file.size(), 18u + 24u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 18), header);
    EXPECT_EQ(Bytes(file.begin() + 18, file.begin() + 30),
              Bytes(image->Row(1), image->Row(1) + 12));
    EXPECT_EQ(Bytes(file.begin() + 30, file.begin() + 42),
              Bytes(image->Row(0), image->Row(0) + 12));
    ExpectExtensionAndFooter(file, 24);
}

TEST_F(TgaWriterTest, PixelsReadBackUnchangedInBothModes) {
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1},   {1, 40},  {40, 1},  {129, 3},
                                                 {300, 7}, {64, 64}, {257, 33}};
    unsigned seed = 1;
    for (const auto& [width, height] : sizes) {
        auto image = ImageWithRuns(width, height, seed++);
        for (const bool encode : {true, false}) {
            const std::string path = PathOf("roundtrip.tga");
            ASSERT_EQ(WriteTga(*image, path, encode), kTgaWritten);
            const Bytes file = test::ReadFileBytes(path);
            const auto picture = test::ReadTga(file);
            ASSERT_TRUE(picture.has_value()) << width << "x" << height << " encode " << encode;
            EXPECT_EQ(picture->imageType, encode ? 10 : 2);
            EXPECT_EQ(picture->width, width);
            EXPECT_EQ(picture->height, height);
            EXPECT_EQ(picture->pixels, Bytes(image->pixels, image->pixels + image->imageSize))
                << width << "x" << height << " encode " << encode;
            ExpectExtensionAndFooter(file, picture->pixelDataBytes);
            if (encode && width * height > 1000) {
                EXPECT_LT(picture->pixelDataBytes, static_cast<size_t>(image->imageSize));
            }
        }
    }
}

TEST_F(TgaWriterTest, RefusesImagesItCannotWriteWithoutCreatingAFile) {
    const std::string path = PathOf("refused.tga");
    auto image = ImageWithRuns(4, 4, 5);

    image->colourModel = FourCharacterWord("RGB ");
    EXPECT_EQ(WriteTga(*image, path, true), kTgaNotRgba);
    image->colourModel = kColourModelRgba;
    image->channelSequence = FourCharacterWord("RGBA");
    EXPECT_EQ(WriteTga(*image, path, true), kTgaNotBgra);

    WorkImage noPixels;
    noPixels.width = 4;
    noPixels.height = 4;
    EXPECT_EQ(WriteTga(noPixels, path, true), kTgaNoPixels);

    // 65,536 pixels do not fit the header's 16-bit width or height fields.
    EXPECT_EQ(WriteTga(*AllocIpl(65536, 1, 8), path, true), kTgaTooLarge);
    EXPECT_EQ(WriteTga(*AllocIpl(1, 65536, 8), path, false), kTgaTooLarge);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(TgaWriterTest, LargestDescribableSidesAreWritten) {
    auto image = AllocIpl(65535, 1, 8);
    ClearIpl(*image);
    const std::string path = PathOf("wide.tga");
    ASSERT_EQ(WriteTga(*image, path, true), kTgaWritten);
    const Bytes file = test::ReadFileBytes(path);
    EXPECT_EQ(LittleEndian16(file, 12), 65535u);
    // 511 full runs and one of 127 pixels.
    ExpectExtensionAndFooter(file, 512 * 5);
}

TEST_F(TgaWriterTest, MapsFileErrorsToTheirCodes) {
    auto image = ImageWithRuns(2, 2, 6);
    EXPECT_EQ(WriteTga(*image, PathOf("missing/out.tga"), true), kTgaFileNotFound);

    const std::string plainFile = PathOf("plain");
    ASSERT_EQ(WriteTga(*image, plainFile, true), kTgaWritten);
    EXPECT_EQ(WriteTga(*image, plainFile + "/out.tga", true), kTgaBadPath);
    EXPECT_EQ(WriteTga(*image, folder_.Path().string(), true), kTgaBadPath);
    EXPECT_EQ(WriteTga(*image, PathOf(std::string(300, 'n')), true), kTgaBadPath);
}

TEST_F(TgaWriterTest, UnwritableFolderIsAnotherFileError) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    const fs::path locked = folder_.Path() / "locked";
    fs::create_directory(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(WriteTga(*ImageWithRuns(2, 2, 7), (locked / "out.tga").string(), true),
              kTgaOtherFileError);
    EXPECT_FALSE(fs::exists(locked / "out.tga"));
    fs::permissions(locked, fs::perms::owner_all);
}

// Caps the size of files this process may write, as a full disk would.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(TgaWriterTest, FailedWritesLeaveNoPartialFile) {
    const std::string path = PathOf("partial.tga");
    auto small = RandomImage(64, 64, 8);     // fails when the last block is written
    auto large = RandomImage(512, 1024, 9);  // fails while the rows are written
    FileSizeLimit limit(4096);
    for (const WorkImage* image : {small.get(), large.get()}) {
        for (const bool encode : {true, false}) {
            EXPECT_EQ(WriteTga(*image, path, encode), kTgaOtherFileError);
            EXPECT_FALSE(fs::exists(path));
        }
    }
}

// Each failure code reads differently in the report, running out of memory
// included, and none falls back to a bare number.
TEST(TgaErrorText, EveryCodeHasItsOwnText) {
    const int codes[] = {kTgaNotRgba,  kTgaNotBgra,       kTgaNoPixels,
                         kTgaTooLarge, kTgaNoMemory,      kTgaFileNotFound,
                         kTgaBadPath,  kTgaHardwareError, kTgaOtherFileError};
    std::set<std::string> texts;
    for (const int code : codes) {
        const std::string text = TgaErrorText(code);
        EXPECT_EQ(text.find(std::to_string(code)), std::string::npos) << text;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes));
    EXPECT_NE(std::string(TgaErrorText(kTgaNoMemory)).find("メモリ"), std::string::npos);
}

TEST_F(TgaWriterTest, NamesNearTheFileSystemLimitAreWritten) {
    auto image = RandomImage(3, 2, 5);
    const std::string path = PathOf(std::string(251, 'n') + ".tga");
    EXPECT_EQ(WriteTga(*image, path, true), kTgaWritten);
    EXPECT_TRUE(fs::is_regular_file(path));
}

TEST_F(TgaWriterTest, AFailedReplacementKeepsTheOldFileWholeAndLeavesNoTemporary) {
    const std::string path = PathOf("kept.tga");
    auto small = RandomImage(4, 4, 3);
    ASSERT_EQ(WriteTga(*small, path, true), kTgaWritten);
    const auto before = test::ReadFileBytes(path);
    auto large = RandomImage(512, 1024, 9);
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(WriteTga(*large, path, false), kTgaOtherFileError);
    }
    EXPECT_EQ(test::ReadFileBytes(path), before);
    ASSERT_EQ(WriteTga(*large, path, false), kTgaWritten);
    EXPECT_EQ(fs::file_size(path), 18 + 512 * 1024 * 4 + 495 + 26u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "only the written file, no temporary one";
}

}  // namespace
}  // namespace tinta
