// A picture larger than the load's limit is refused from its header, before
// its pixels take any memory, with a reason that names its size and the limit.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <string>
#include <vector>

#include "imagefiles/format_dispatch.h"
#include "imagefiles/test_files.h"

namespace tinta {
namespace {

using testing::PatternPicture;
using testing::ScratchFolder;

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

void PutBigEndian32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    PutBigEndian32(png, Crc32(png.data() + start, png.size() - start));
}

// A well-formed grey PNG header declaring width x height, a short start of
// compressed zero rows, and the end chunk: a few hundred bytes that would
// ask for the whole picture's memory.
std::vector<uint8_t> HugePng(uint32_t width, uint32_t height) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.insert(header.end(), {8, 0, 0, 0, 0});  // 8-bit grey, no interlace
    PutChunk(png, "IHDR", header);
    std::vector<uint8_t> zeros = {0x78, 0x01};  // zlib stream of stored zero blocks
    for (int block = 0; block < 4; ++block) {
        zeros.insert(zeros.end(), {0x00, 0x00, 0x01, 0xFF, 0xFE});  // 256 bytes, not final
        zeros.insert(zeros.end(), 256, 0);
    }
    PutChunk(png, "IDAT", zeros);
    PutChunk(png, "IEND", {});
    return png;
}

TEST(LoadLimits, AHugeDeclaredPngIsRefusedFromItsHeader) {
    ScratchFolder folder;
    testing::WriteBytes(folder / "bomb.png", HugePng(17000, 17000));
    DibBuffer buffer;
    const LoadedImage loaded = LoadWorkImage(folder / "bomb.png", buffer);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(loaded.reason, "画像が大きすぎます（17000×17000 画素、上限 268435456 画素）");
    EXPECT_EQ(buffer.size(), 0u) << "no pixel memory was taken";
}

TEST(LoadLimits, TheLimitCanBeLoweredAndRaisedUpToTheHardLimit) {
    ScratchFolder folder;
    ASSERT_TRUE(PatternPicture(40, 30).save(QString::fromStdString(folder / "p.png"), "png"));
    ASSERT_TRUE(PatternPicture(40, 30).save(QString::fromStdString(folder / "p.bmp"), "bmp"));
    DibBuffer buffer;
    for (const char* name : {"p.png", "p.bmp"}) {
        EXPECT_TRUE(LoadWorkImage(folder / name, buffer, LoadLimits{1200})) << name;
        const LoadedImage refused = LoadWorkImage(folder / name, buffer, LoadLimits{1199});
        EXPECT_FALSE(refused) << name;
        EXPECT_EQ(refused.reason, "画像が大きすぎます（40×30 画素、上限 1199 画素）");
    }

    // A limit above what a work image can hold is held to that.
    testing::WriteBytes(folder / "bomb.png", HugePng(40000, 30000));
    EXPECT_EQ(LoadWorkImage(folder / "bomb.png", buffer, LoadLimits{uint64_t{1} << 40}).reason,
              "画像が大きすぎます（40000×30000 画素、上限 1073741824 画素）");
}

TEST(LoadLimits, PixelCountsAreReadAsPlainDecimalNumbersUpToTheHardLimit) {
    EXPECT_EQ(ParseMaxPixels("1"), 1u);
    EXPECT_EQ(ParseMaxPixels("268435456"), kDefaultMaxPixels);
    EXPECT_EQ(ParseMaxPixels("1073741824"), kHardMaxPixels);
    for (const char* bad : {"", "0", "1073741825", "99999999999", "-5", "1e6", " 12", "12x"}) {
        EXPECT_FALSE(ParseMaxPixels(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace tinta
