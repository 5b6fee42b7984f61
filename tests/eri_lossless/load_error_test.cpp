// Why a load failed: each family of damage reports its own cause, pictures
// beyond the load's limit are refused before pixel memory is taken, and
// hostile files fail fast.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "eri/dib_block.h"
#include "eri/eri_loader.h"
#include "eri/memory_input_stream.h"
#include "eri_lossless/lossless_test_support.h"
#include "eriwriter/container_writer.h"

namespace eritest {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Outcome {
    std::size_t size = 0;
    eri::LoadError error = eri::LoadError::none;
};

Outcome load(const Bytes& file, const eri::LoadOptions& options = {}) {
    eri::MemoryInputStream stream(file);
    eri::HeapDibBlock block;
    Outcome out;
    out.size = eri::loadEriImage(stream, block, options, &out.error);
    return out;
}

eri::LoadError errorOf(const Bytes& file, const eri::LoadOptions& options = {}) {
    const Outcome out = load(file, options);
    EXPECT_EQ(out.size, 0u);
    return out.error;
}

// An 8 x 8 colour picture in 4 x 4 blocks, gamma coded.
eri::ImageInfo colourInfo() {
    return losslessImageInfo(0x00020200, -1, kColour, 24, 8, 8, 2);
}

Bytes colourFrame() {
    eriwriter::LosslessFrameOptions options;
    options.blockingDegree = 2;
    return *eriwriter::encodeLosslessFrame(makePicture(8, 8, 3, 8, PictureKind::random, 4),
                                           options);
}

Bytes colourFile() {
    return eriwriter::eriFile(colourInfo(), colourFrame());
}

// Offset of the first record with this identifier.
std::size_t recordAt(const Bytes& file, const char* id) {
    const auto at = std::search(file.begin(), file.end(), id, id + 8);
    EXPECT_NE(at, file.end()) << id;
    return static_cast<std::size_t>(at - file.begin());
}

TEST(LoadError, FilesThatAreNotEri) {
    EXPECT_EQ(errorOf({}), eri::LoadError::notEri);
    EXPECT_EQ(errorOf(Bytes(200, 0x42)), eri::LoadError::notEri);
    Bytes wrongKind = colourFile();
    wrongKind[9] ^= 1;
    EXPECT_EQ(errorOf(wrongKind), eri::LoadError::notEri);
    const Bytes whole = colourFile();
    EXPECT_EQ(errorOf(Bytes(whole.begin(), whole.begin() + 40)), eri::LoadError::notEri);
}

TEST(LoadError, MissingFileCannotBeOpened) {
    eri::HeapDibBlock block;
    eri::LoadError error = eri::LoadError::none;
    EXPECT_EQ(eri::loadEriImage(temporaryPath("no-such.eri").c_str(), block, {}, &error), 0u);
    EXPECT_EQ(error, eri::LoadError::cannotOpen);
}

TEST(LoadError, DamagedRecordStructure) {
    eriwriter::ContainerWriter noStream;
    noStream.beginRecord("Header  ");
    noStream.record("FileHdr ", eriwriter::fileHeaderRecord(0x00020100));
    noStream.record("ImageInf", eriwriter::imageInfoRecord(colourInfo()));
    noStream.endRecord();
    EXPECT_EQ(errorOf(noStream.bytes()), eri::LoadError::damagedRecords);

    Bytes noFrame = colourFile();
    noFrame[recordAt(noFrame, "ImageFrm")] = 'X';
    EXPECT_EQ(errorOf(noFrame), eri::LoadError::damagedRecords);

    Bytes noHeader = colourFile();
    noHeader[recordAt(noHeader, "FileHdr ")] = 'X';
    EXPECT_EQ(errorOf(noHeader), eri::LoadError::damagedRecords);

    eri::ImageInfo noWidth = colourInfo();
    noWidth.width = 0;
    EXPECT_EQ(errorOf(eriwriter::eriFile(noWidth, colourFrame())), eri::LoadError::damagedRecords);
}

TEST(LoadError, KindsThisDecoderDoesNotKnow) {
    eri::ImageInfo info = colourInfo();
    info.transformation = 0x03020001;
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, colourFrame())),
              eri::LoadError::unsupportedTransformation);

    info = colourInfo();
    info.architecture = -2;
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, colourFrame())),
              eri::LoadError::unsupportedArchitecture);
    info = colourInfo();
    info.transformation = eri::kLossyTransformation;
    info.architecture = eri::kArithmeticArchitecture;  // lossy frames have no arithmetic mode
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, colourFrame())),
              eri::LoadError::unsupportedArchitecture);

    info = colourInfo();
    info.codingVersion = 0x00020300;
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, colourFrame())), eri::LoadError::unsupportedFormat);
    info = colourInfo();
    info.bitsPerPixel = 12;
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, colourFrame())), eri::LoadError::unsupportedFormat);
    info = colourInfo();
    info.formatType = kColourAlpha;  // alpha needs 32 bits
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, colourFrame())), eri::LoadError::unsupportedFormat);
}

TEST(LoadError, FrameThatEndsEarly) {
    const Bytes frame = colourFrame();
    for (const std::size_t kept : {std::size_t{0}, std::size_t{3}, frame.size() / 2}) {
        const Bytes cut(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(kept));
        EXPECT_EQ(errorOf(eriwriter::eriFile(colourInfo(), cut)), eri::LoadError::dataEndedEarly)
            << kept;
    }
}

TEST(LoadError, CodesThatCannotBePictureData) {
    Bytes frame = colourFrame();
    frame[0] = 3;  // no such frame code
    EXPECT_EQ(errorOf(eriwriter::eriFile(colourInfo(), frame)), eri::LoadError::damagedCodes);
    frame = colourFrame();
    frame[1] = 0x80;  // a reserved header byte that must be 0
    EXPECT_EQ(errorOf(eriwriter::eriFile(colourInfo(), frame)), eri::LoadError::damagedCodes);
}

// 4096 x 4096 is 2^24 pixels: refused below that limit, whatever the frame
// holds, since the check comes before any pixel memory or frame data.
TEST(LoadError, PicturesBeyondTheLimitAreRefusedFromTheHeader) {
    eri::ImageInfo info = colourInfo();
    info.width = 4096;
    info.height = -4096;
    const Bytes file = eriwriter::eriFile(info, {});
    eri::LoadOptions options;
    options.maxPixels = (std::uint64_t{1} << 24) - 1;
    EXPECT_EQ(errorOf(file, options), eri::LoadError::tooLarge);
    options.maxPixels = std::uint64_t{1} << 24;
    EXPECT_EQ(errorOf(file, options), eri::LoadError::dataEndedEarly);

    const Bytes small = colourFile();
    options.maxPixels = 64;
    EXPECT_GT(load(small, options).size, 0u);
    options.maxPixels = 63;
    EXPECT_EQ(errorOf(small, options), eri::LoadError::tooLarge);
}

TEST(LoadError, DefaultLimitAndTheHardLimitAboveAnySetting) {
    eri::ImageInfo info = colourInfo();
    info.width = 16384;
    info.height = 16385;  // just over 2^28 pixels
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, {})), eri::LoadError::tooLarge);
    info.width = 32768;
    info.height = 32769;  // just over 2^30 pixels
    eri::LoadOptions options;
    options.maxPixels = std::uint64_t{1} << 40;
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, {}), options), eri::LoadError::tooLarge);
    info.height = 32768;
    EXPECT_EQ(errorOf(eriwriter::eriFile(info, {}), options), eri::LoadError::dataEndedEarly);
}

TEST(LoadError, EveryCauseHasAText) {
    for (int e = 0; e <= static_cast<int>(eri::LoadError::outOfMemory); ++e) {
        const char* text = eri::loadErrorText(static_cast<eri::LoadError>(e));
        ASSERT_NE(text, nullptr);
        EXPECT_GT(std::strlen(text), 0u) << e;
    }
}

// A 430-byte file found by fuzzing: a lossless arithmetic-coded picture of
// 100,663,296 x -10 pixels whose frame ends after about 200 bytes.
TEST(HostileFiles, ArithmeticBombFailsAsDataEndedEarly) {
    const std::string path = std::string(ERI_TEST_DATA_DIR) + "/slow-arithmetic-bomb-430b.eri";
    eri::HeapDibBlock block;
    eri::LoadError error = eri::LoadError::none;
    EXPECT_EQ(eri::loadEriImage(path.c_str(), block, {}, &error), 0u);
    EXPECT_EQ(error, eri::LoadError::tooLarge);
    eri::LoadOptions options;
    options.maxPixels = eri::kHardMaxPixels;
    EXPECT_EQ(eri::loadEriImage(path.c_str(), block, options, &error), 0u);
    EXPECT_EQ(error, eri::LoadError::dataEndedEarly);
}

}  // namespace
}  // namespace eritest
