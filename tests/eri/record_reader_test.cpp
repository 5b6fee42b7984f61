#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eri/eri_record_reader.h"
#include "eri/memory_input_stream.h"
#include "eriwriter/container_writer.h"

namespace {

using eriwriter::ContainerWriter;
using eriwriter::kLengthToParentEnd;

std::vector<std::uint8_t> text(const std::string& s) {
    return {s.begin(), s.end()};
}

std::string readAll(eri::EriRecordReader& reader) {
    std::string out(reader.getSize() + 8, '\0');
    out.resize(reader.read(out.data(), static_cast<std::uint32_t>(out.size())));
    return out;
}

struct OpenedContainer {
    explicit OpenedContainer(const ContainerWriter& writer) : stream(writer.bytes()) {
        EXPECT_TRUE(reader.open(stream, 0));
    }
    eri::MemoryInputStream stream;
    eri::EriRecordReader reader;
};

TEST(RecordReader, RecordIsAStreamOfItsOwn) {
    ContainerWriter writer;
    writer.record("First   ", text("abcdefgh"));
    writer.record("Second  ", text("xyz"));
    OpenedContainer file(writer);
    eri::EriRecordReader& reader = file.reader;

    ASSERT_TRUE(reader.descend(nullptr));
    EXPECT_EQ(reader.getSize(), 8u);
    char buffer[16] = {};
    EXPECT_EQ(reader.read(buffer, 3), 3u);
    EXPECT_EQ(reader.getPosition(), 3u);
    // A read across the end is cut there; at the end it gives nothing.
    EXPECT_EQ(reader.read(buffer, 16), 5u);
    EXPECT_EQ(std::string(buffer, 5), "defgh");
    EXPECT_EQ(reader.read(buffer, 16), 0u);
    reader.seek(6);
    EXPECT_EQ(reader.getPosition(), 6u);
    reader.seek(100);  // clamped to the record's end
    EXPECT_EQ(reader.getPosition(), 8u);
    reader.seek(1);
    reader.ascend();  // skips what is left of the record
    ASSERT_TRUE(reader.descend(nullptr));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.top()->id), 8), "Second  ");
    EXPECT_EQ(readAll(reader), "xyz");
}

TEST(RecordReader, SearchSkipsOtherRecordsAndFailsAtTheEndOfTheLevel) {
    ContainerWriter writer;
    writer.record("Palette ", std::vector<std::uint8_t>(1024, 7));
    writer.record("ImageFrm", text("frame"));
    OpenedContainer file(writer);
    eri::EriRecordReader& reader = file.reader;

    ASSERT_TRUE(reader.descend("ImageFrm"));
    EXPECT_EQ(readAll(reader), "frame");
    reader.ascend();
    const eri::RecordFrame* root = reader.top();
    EXPECT_FALSE(reader.descend("ImageFrm"));
    EXPECT_FALSE(reader.descend(nullptr));
    EXPECT_EQ(reader.top(), root);
    reader.ascend();  // the root is never left
    EXPECT_EQ(reader.top(), root);
    EXPECT_EQ(root->parent, nullptr);
}

TEST(RecordReader, LengthsPastTheParentAreClampedAtItsEnd) {
    ContainerWriter writer;
    writer.beginRecord("Outer   ");
    writer.record("Inner   ", text("12345"), 1000);  // declared past its parent
    writer.write(text("tail"));
    writer.endRecord();
    OpenedContainer file(writer);
    eri::EriRecordReader& reader = file.reader;

    ASSERT_TRUE(reader.descend("Outer   "));
    const std::uint32_t outerEnd = reader.top()->dataEnd;
    ASSERT_TRUE(reader.descend("Inner   "));
    EXPECT_EQ(reader.top()->dataEnd, outerEnd);
    EXPECT_EQ(readAll(reader), "12345tail");
}

TEST(RecordReader, NestedAllOnesLengthsEndAtTheFileEnd) {
    ContainerWriter writer;
    for (int level = 0; level < 20; ++level) {
        writer.beginRecord("Level   ", kLengthToParentEnd);
    }
    writer.write(text("core"));
    for (int level = 0; level < 20; ++level) {
        writer.endRecord();
    }
    OpenedContainer file(writer);
    eri::EriRecordReader& reader = file.reader;
    for (int depth = 0; depth < 20; ++depth) {
        ASSERT_TRUE(reader.descend("Level   "));
        EXPECT_EQ(reader.top()->dataEnd, writer.bytes().size());
    }
    EXPECT_EQ(readAll(reader), "core");
    EXPECT_FALSE(reader.descend(nullptr));
    reader.closeRecords();
    EXPECT_EQ(reader.top(), nullptr);
    EXPECT_EQ(reader.read(nullptr, 0), 0u);
}

// A length whose end lies beyond the 32-bit position space would wrap below
// the record's start; such a record is not entered, and a search stops there.
TEST(RecordReader, RecordsWhoseEndWrapsAreNotEntered) {
    for (const std::uint64_t length : {std::uint64_t{0xFFFFFFF0u}, std::uint64_t{0xFFFFFFFFu},
                                       std::uint64_t{0x00000001FFFFFFFFu}}) {
        ContainerWriter writer;
        writer.record("Wrapping", text("payload"), length);
        writer.record("ImageFrm", text("frame"));
        OpenedContainer file(writer);
        eri::EriRecordReader& reader = file.reader;
        const eri::RecordFrame* root = reader.top();
        EXPECT_FALSE(reader.descend(nullptr)) << length;
        EXPECT_EQ(reader.top(), root);
        reader.seek(0);
        EXPECT_FALSE(reader.descend("ImageFrm")) << length;
        EXPECT_EQ(reader.top(), root);
    }
}

// Only the low 32 bits of a length place the record's end; stored files
// carry other values in the high word.
TEST(RecordReader, HighWordOfTheLengthIsIgnored) {
    for (const std::uint64_t high : {0x00000001u, 0x80000000u, 0xFFFFFFFEu}) {
        ContainerWriter writer;
        writer.record("Skipped ", text("payload"), high << 32 | 7);
        writer.record("ImageFrm", text("frame"), high << 32 | 5);
        OpenedContainer file(writer);
        ASSERT_TRUE(file.reader.descend("ImageFrm")) << high;
        EXPECT_EQ(readAll(file.reader), "frame");
    }
}

// Counts the calls that reach the file underneath.
class CountingStream : public eri::MemoryInputStream {
  public:
    using MemoryInputStream::MemoryInputStream;
    std::uint32_t read(void* buffer, std::uint32_t count) override {
        ++calls;
        return MemoryInputStream::read(buffer, count);
    }
    std::uint32_t getPosition() override {
        ++calls;
        return MemoryInputStream::getPosition();
    }
    int calls = 0;
};

TEST(RecordReader, ReadingAtTheEndOfARecordCostsTheFileNothing) {
    ContainerWriter writer;
    writer.record("ImageFrm", text("frame"));
    writer.record("After   ", text("more"));
    CountingStream stream(writer.bytes());
    eri::EriRecordReader reader;
    ASSERT_TRUE(reader.open(stream, 0));
    ASSERT_TRUE(reader.descend("ImageFrm"));
    EXPECT_EQ(readAll(reader), "frame");
    const int callsAtTheEnd = stream.calls;
    char buffer[16];
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(reader.read(buffer, sizeof buffer), 0u);
        EXPECT_EQ(reader.getPosition(), 5u);
    }
    EXPECT_EQ(stream.calls, callsAtTheEnd);
}

TEST(RecordReader, TruncatedRecordHeaderEntersNothing) {
    ContainerWriter writer;
    writer.record("Complete", text("ab"));
    std::vector<std::uint8_t> bytes = writer.bytes();
    bytes.insert(bytes.end(), {'P', 'a', 'r', 't', 'i', 'a', 'l', ' ', 5, 0, 0});
    eri::MemoryInputStream stream(bytes);
    eri::EriRecordReader reader;
    ASSERT_TRUE(reader.open(stream, 0));
    EXPECT_FALSE(reader.descend("Partial "));
    EXPECT_EQ(reader.top()->parent, nullptr);
}

TEST(RecordReader, EmptyReaderAnswersNothing) {
    eri::EriRecordReader reader;
    char buffer[4];
    EXPECT_EQ(reader.read(buffer, 4), 0u);
    EXPECT_EQ(reader.getSize(), 0u);
    EXPECT_EQ(reader.getPosition(), 0u);
    reader.seek(3);
    EXPECT_FALSE(reader.descend(nullptr));
    reader.ascend();
    reader.closeRecords();
}

}  // namespace
