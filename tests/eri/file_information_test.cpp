#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eri/eri_record_reader.h"
#include "eri/memory_input_stream.h"
#include "eriwriter/container_writer.h"

namespace {

using eriwriter::ContainerWriter;
using Bytes = std::vector<std::uint8_t>;

Bytes text(const std::string& s) {
    return {s.begin(), s.end()};
}

eri::ImageInfo sampleInfo() {
    eri::ImageInfo info;
    info.codingVersion = 0x00020200;
    info.transformation = eri::kLosslessTransformation;
    info.architecture = eri::kHuffmanArchitecture;
    info.formatType = eri::kColourFormat | eri::kAlphaFormatBit;
    info.width = 640;
    info.height = -480;
    info.bitsPerPixel = 32;
    info.samplingCode = 0x00040202;
    info.blockingDegree = 3;
    return info;
}

struct FileParts {
    std::uint32_t fileKind = eri::kEriFileKind;
    std::uint32_t version = 0x00020100;
    std::vector<std::pair<std::string, Bytes>> headerRecords = {
        {"FileHdr ", {}}, {"ImageInf", eriwriter::imageInfoRecord(sampleInfo())}};
    std::vector<std::pair<std::string, Bytes>> streamRecords = {{"ImageFrm", text("frame-data")}};

    Bytes build() const {
        ContainerWriter writer(fileKind);
        writer.beginRecord("Header  ");
        for (const auto& [id, data] : headerRecords) {
            writer.record(id, id == "FileHdr " ? eriwriter::fileHeaderRecord(version) : data);
        }
        writer.endRecord();
        writer.beginRecord("Stream  ");
        for (const auto& [id, data] : streamRecords) {
            writer.record(id, data);
        }
        writer.endRecord();
        return writer.bytes();
    }
};

struct Opened {
    Opened(const Bytes& bytes, int depth) : stream(bytes), ok(reader.open(stream, depth)) {}
    eri::MemoryInputStream stream;
    eri::EriRecordReader reader;
    bool ok;
};

std::string recordId(const eri::EriRecordReader& reader) {
    return std::string(reinterpret_cast<const char*>(reader.top()->id), 8);
}

TEST(FileInformation, EachDepthStopsWhereItShould) {
    const Bytes bytes = FileParts().build();
    {
        Opened file(bytes, 0);
        ASSERT_TRUE(file.ok);
        EXPECT_EQ(file.reader.infoFlags, 0u);
        EXPECT_EQ(file.reader.top()->dataStart, 64u);
        EXPECT_EQ(file.reader.top()->dataEnd, bytes.size());
    }
    {
        Opened file(bytes, 1);
        ASSERT_TRUE(file.ok);
        EXPECT_EQ(file.reader.infoFlags, eri::kHasFileHeader | eri::kHasImageInfo);
        EXPECT_EQ(file.reader.top()->parent, nullptr);
    }
    {
        Opened file(bytes, 2);
        ASSERT_TRUE(file.ok);
        EXPECT_EQ(recordId(file.reader), "Stream  ");
    }
    for (const int depth : {3, 7, -1}) {
        Opened file(bytes, depth);
        ASSERT_TRUE(file.ok);
        EXPECT_EQ(recordId(file.reader), "ImageFrm");
        char frame[32] = {};
        EXPECT_EQ(file.reader.read(frame, sizeof frame), 10u);
        EXPECT_EQ(std::string(frame, 10), "frame-data");
    }
}

TEST(FileInformation, HeaderChecksRefuseOtherFiles) {
    const Bytes good = FileParts().build();
    EXPECT_FALSE(Opened(Bytes(good.begin(), good.begin() + 63), 0).ok);
    Bytes badMagic = good;
    badMagic[5] = 0x1B;
    EXPECT_FALSE(Opened(badMagic, 0).ok);
    FileParts otherKind;
    otherKind.fileKind = 0x03000101;
    Opened refused(otherKind.build(), 0);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.reader.top(), nullptr);

    // A failed reopen leaves nothing of the earlier stream behind.
    Opened reopened(good, 3);
    ASSERT_TRUE(reopened.ok);
    eri::MemoryInputStream other(badMagic);
    EXPECT_FALSE(reopened.reader.open(other, 3));
    EXPECT_EQ(reopened.reader.top(), nullptr);
    char byte;
    EXPECT_EQ(reopened.reader.read(&byte, 1), 0u);
}

TEST(FileInformation, FileVersionLimit) {
    FileParts parts;
    parts.version = 0x00020100;
    EXPECT_TRUE(Opened(parts.build(), 3).ok);
    parts.version = 0x00020101;
    Opened newer(parts.build(), 3);
    EXPECT_FALSE(newer.ok);
    EXPECT_EQ(newer.reader.infoFlags, eri::kHasFileHeader);
}

TEST(FileInformation, RecordsBeforeFileHeaderAreSkippedUnread) {
    FileParts parts;
    parts.headerRecords = {{"ImageInf", eriwriter::imageInfoRecord(sampleInfo())},
                           {"FileHdr ", {}}};
    EXPECT_FALSE(Opened(parts.build(), 3).ok);
    parts.headerRecords.push_back({"SoundInf", Bytes(40, 1)});
    Opened withSound(parts.build(), 3);
    EXPECT_TRUE(withSound.ok);
    EXPECT_EQ(withSound.reader.infoFlags, eri::kHasFileHeader | eri::kHasSoundInfo);
}

TEST(FileInformation, FixedRecordsCountOnlyWhenComplete) {
    FileParts parts;
    Bytes shortInfo = eriwriter::imageInfoRecord(sampleInfo());
    shortInfo.pop_back();
    parts.headerRecords = {{"FileHdr ", {}}, {"ImageInf", shortInfo}, {"PrevwInf", Bytes(68, 2)}};
    Opened file(parts.build(), 1);
    EXPECT_FALSE(file.ok);
    EXPECT_EQ(file.reader.infoFlags, eri::kHasFileHeader | eri::kHasPreviewInfo);

    // A later complete record overwrites an earlier one.
    eri::ImageInfo second = sampleInfo();
    second.width = 17;
    parts.headerRecords = {{"FileHdr ", {}},
                           {"ImageInf", eriwriter::imageInfoRecord(sampleInfo())},
                           {"ImageInf", eriwriter::imageInfoRecord(second)}};
    Opened twice(parts.build(), 1);
    ASSERT_TRUE(twice.ok);
    EXPECT_EQ(twice.reader.imageInfo.width, 17);
}

std::string descriptionOf(const Bytes& record) {
    FileParts parts;
    parts.headerRecords.push_back({"descript", record});
    Opened file(parts.build(), 1);
    EXPECT_TRUE(file.ok);
    EXPECT_NE(file.reader.infoFlags & eri::kHasDescription, 0u);
    return std::string(file.reader.descriptText.view());
}

Bytes utf16(std::initializer_list<std::uint16_t> units, bool mark = true) {
    Bytes out;
    if (mark) {
        out = {0xFF, 0xFE};
    }
    for (const std::uint16_t unit : units) {
        out.push_back(static_cast<std::uint8_t>(unit));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

Bytes oddLength(Bytes bytes) {
    bytes.push_back('x');
    return bytes;
}

TEST(FileInformation, TextsInEitherEncodingArriveAsUtf8) {
    const struct {
        Bytes record;
        std::string expected;
    } cases[] = {
        {text("plain text"), "plain text"},
        {utf16({'p', 'l', 'a', 'i', 'n'}), "plain"},
        // U+30C6 U+30A3 U+30F3 U+30BF and U+1F600 as a surrogate pair.
        {utf16({0x30C6, 0x30A3, 0x30F3, 0x30BF, 0xD83D, 0xDE00}),
         "\u30C6\u30A3\u30F3\u30BF\U0001F600"},
        // Unpaired surrogates become U+FFFD.
        {utf16({'a', 0xD800, 'b', 0xDC00}), "a\uFFFDb\uFFFD"},
        {utf16({'a', 0xD83D}), "a\uFFFD"},
        // Texts end at the first zero.
        {utf16({'a', 0, 'b'}), "a"},
        {text(std::string("ab\0cd", 5)), "ab"},
        // Short records, and an odd byte count drops the incomplete last unit.
        {{}, ""},
        {{0xFF}, "\xFF"},
        {{0xFF, 0xFE}, ""},
        {oddLength(utf16({'o', 'k'})), "ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(descriptionOf(c.record), c.expected);
    }

    FileParts parts;
    parts.headerRecords.push_back({"cpyright", text("(c) first")});
    parts.headerRecords.push_back({"cpyright", text("(c) second")});
    Opened file(parts.build(), 1);
    ASSERT_TRUE(file.ok);
    EXPECT_EQ(file.reader.cpyrightText.view(), "(c) second");
}

TEST(FileInformation, PalettesBeforeTheFrameAreRead) {
    FileParts parts;
    Bytes first(1024, 0x11);
    Bytes second = {1, 2, 3, 4, 5, 6};
    parts.streamRecords = {{"Palette ", first},
                           {"Palette ", second},
                           {"ImageFrm", text("f")},
                           {"Palette ", Bytes(1024, 0x77)}};
    Opened file(parts.build(), 3);
    ASSERT_TRUE(file.ok);
    EXPECT_NE(file.reader.infoFlags & eri::kHasPalette, 0u);
    // The last palette before the frame wins; what it does not fill is zero.
    EXPECT_EQ(file.reader.palette[5], 6);
    EXPECT_EQ(file.reader.palette[6], 0);
    EXPECT_EQ(file.reader.palette[1023], 0);

    parts.streamRecords = {{"ImageFrm", text("f")}, {"Palette ", first}};
    Opened after(parts.build(), 3);
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.reader.infoFlags & eri::kHasPalette, 0u);

    parts.streamRecords = {{"Palette ", first}};
    EXPECT_FALSE(Opened(parts.build(), 3).ok);
}

}  // namespace
