// JPEG files are whole when their segments lead to an end-of-image marker:
// data appended after it never matters, a cut anywhere before it does.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <string>
#include <vector>

#include "imagefiles/completeness_check.h"
#include "imagefiles/format_dispatch.h"
#include "imagefiles/test_files.h"

namespace tinta {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::PatternPicture;
using testing::ScratchFolder;

Bytes EncodedJpeg(bool progressive, int width = 48, int height = 40) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(PatternPicture(width, height)));
    return {bytes.begin(), bytes.end()};
}

bool Complete(const Bytes& bytes) {
    return LooksComplete(bytes.data(), bytes.size());
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

size_t CountScans(const Bytes& bytes) {
    size_t scans = 0;
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        scans += bytes[i] == 0xFF && bytes[i + 1] == 0xDA;
    }
    return scans;
}

// A video container appended after the picture, as phones do for motion
// photos: its data holds start-of-scan bytes and no end-of-image bytes.
const Bytes kVideoTrailer = {0x00, 0x00, 0x00, 0x18, 'f',  't',  'y',  'p',  'm',  'p',
                             '4',  '2',  0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02,
                             0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x8E, 0xFF, 0x00, 0x42};
const Bytes kMakerTrailer = {'M', 'A', 'K', 'E', 'R', 0x00, 0x01, 0x02, 0x03};

class JpegFile : public ::testing::TestWithParam<bool> {};

TEST_P(JpegFile, DataAfterTheEndMarkerIsIgnored) {
    const Bytes jpeg = EncodedJpeg(GetParam());
    if (GetParam()) {
        ASSERT_GT(CountScans(jpeg), 1u) << "a progressive file has several scans";
    }
    EXPECT_TRUE(Complete(jpeg));
    EXPECT_TRUE(Complete(Joined(jpeg, kVideoTrailer)));
    EXPECT_TRUE(Complete(Joined(jpeg, kMakerTrailer)));
    EXPECT_TRUE(Complete(Joined(jpeg, Joined(kVideoTrailer, jpeg))))
        << "a second picture inside the trailer";

    ScratchFolder folder;
    DibBuffer buffer;
    testing::WriteBytes(folder / "motion.jpg", Joined(jpeg, kVideoTrailer));
    const LoadedImage loaded = LoadWorkImage(folder / "motion.jpg", buffer);
    ASSERT_TRUE(loaded) << loaded.reason;
    EXPECT_EQ(loaded.image->width, 48);
    EXPECT_EQ(loaded.image->height, 40);
}

TEST_P(JpegFile, EveryCutBeforeTheEndMarkerIsRefused) {
    const Bytes jpeg = EncodedJpeg(GetParam());
    for (const size_t kept : {size_t{3}, size_t{20}, jpeg.size() / 3, jpeg.size() / 2,
                              jpeg.size() - 3, jpeg.size() - 2, jpeg.size() - 1}) {
        const Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(kept));
        EXPECT_FALSE(Complete(cut)) << kept << " of " << jpeg.size() << " bytes";
        EXPECT_FALSE(Complete(Joined(cut, kVideoTrailer))) << kept << " bytes and a trailer";
    }

    ScratchFolder folder;
    DibBuffer buffer;
    testing::WriteBytes(folder / "cut.jpg", Bytes(jpeg.begin(), jpeg.end() - 2));
    const LoadedImage loaded = LoadWorkImage(folder / "cut.jpg", buffer);
    EXPECT_FALSE(loaded);
    EXPECT_NE(loaded.reason.find("途中で終わって"), std::string::npos) << loaded.reason;
}

INSTANTIATE_TEST_SUITE_P(BaselineAndProgressive, JpegFile, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Progressive" : "Baseline"; });

// An embedded thumbnail is a whole picture, end marker included, inside an
// application segment; it must not make a cut main picture look whole.
TEST(JpegFile, AThumbnailInsideASegmentDoesNotCount) {
    const Bytes thumbnail = EncodedJpeg(false, 8, 8);
    const Bytes main = EncodedJpeg(false);
    const size_t length = thumbnail.size() + 2;
    ASSERT_LT(length, 0x10000u);
    Bytes withThumbnail = {0xFF,
                           0xD8,
                           0xFF,
                           0xE1,
                           static_cast<uint8_t>(length >> 8),
                           static_cast<uint8_t>(length & 0xFF)};
    withThumbnail.insert(withThumbnail.end(), thumbnail.begin(), thumbnail.end());
    withThumbnail.insert(withThumbnail.end(), main.begin() + 2, main.end());
    EXPECT_TRUE(Complete(withThumbnail));

    const Bytes cut(withThumbnail.begin(), withThumbnail.end() - 200);
    EXPECT_FALSE(Complete(cut));
}

}  // namespace
}  // namespace tinta
