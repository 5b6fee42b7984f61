// Damaged and misplaced files: every one is a clear failure and nothing crashes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <string>
#include <vector>

#include "imagefiles/completeness_check.h"
#include "imagefiles/format_dispatch.h"
#include "imagefiles/test_files.h"

namespace tinta {
namespace {

using testing::PatternPicture;
using testing::ScratchFolder;

std::vector<uint8_t> Encoded(const char* format) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    EXPECT_TRUE(PatternPicture(48, 40).save(&device, format));
    return {bytes.begin(), bytes.end()};
}

struct Damage {
    const char* name;
    std::vector<uint8_t> (*apply)(std::vector<uint8_t>);
};

const Damage kDamages[] = {
    {"empty", [](std::vector<uint8_t>) { return std::vector<uint8_t>{}; }},
    {"first bytes only", [](std::vector<uint8_t> b) { return b.resize(20), b; }},
    {"cut in half", [](std::vector<uint8_t> b) { return b.resize(b.size() / 2), b; }},
    {"last bytes missing", [](std::vector<uint8_t> b) { return b.resize(b.size() - 3), b; }},
    {"signature overwritten",
     [](std::vector<uint8_t> b) {
         for (size_t i = 0; i < 4; ++i) {
             b[i] = 0xA5;
         }
         return b;
     }},
};

class DamagedFile : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedFile, FailsToLoad) {
    ScratchFolder folder;
    const std::vector<uint8_t> good = Encoded(GetParam());
    const std::string extension = std::string(".") + GetParam();
    DibBuffer buffer;
    testing::WriteBytes(folder / ("good" + extension), good);
    ASSERT_TRUE(LoadWorkImage(folder / ("good" + extension), buffer));
    for (const Damage& damage : kDamages) {
        const std::string path = folder / (std::string(damage.name) + extension);
        testing::WriteBytes(path, damage.apply(good));
        EXPECT_FALSE(LoadWorkImage(path, buffer)) << damage.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedFile, ::testing::Values("png", "jpeg", "bmp"));

TEST(DamagedFile, CorruptPngDataFails) {
    ScratchFolder folder;
    std::vector<uint8_t> bytes = Encoded("png");
    for (size_t i = bytes.size() / 3; i < bytes.size() / 3 + 16; ++i) {
        bytes[i] ^= 0x5A;
    }
    testing::WriteBytes(folder / "corrupt.png", bytes);
    DibBuffer buffer;
    EXPECT_FALSE(LoadWorkImage(folder / "corrupt.png", buffer));
}

TEST(DamagedFile, BmpHeadersThatPromiseTooMuchFail) {
    std::vector<uint8_t> bytes = Encoded("bmp");
    ASSERT_TRUE(LooksComplete(bytes.data(), bytes.size()));
    std::vector<uint8_t> huge = bytes;
    huge[18 + 3] = 0x7F;  // width near 2^31
    huge[22 + 3] = 0x7F;  // height near 2^31
    EXPECT_FALSE(LooksComplete(huge.data(), huge.size()));
    std::vector<uint8_t> offset = bytes;
    offset[10 + 3] = 0xFF;  // pixels past the end of the file
    EXPECT_FALSE(LooksComplete(offset.data(), offset.size()));

    ScratchFolder folder;
    testing::WriteBytes(folder / "huge.bmp", huge);
    DibBuffer buffer;
    EXPECT_FALSE(LoadWorkImage(folder / "huge.bmp", buffer));
}

}  // namespace
}  // namespace tinta
