// Damaged and hostile containers end with false or short reads, never a crash
// or a reader that walks for ever.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "eri/eri_record_reader.h"
#include "eri/memory_input_stream.h"
#include "eriwriter/container_writer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fullFile() {
    eriwriter::ContainerWriter writer;
    writer.beginRecord("Header  ");
    writer.record("FileHdr ", eriwriter::fileHeaderRecord(0x00020100));
    writer.record("PrevwInf", Bytes(68, 3));
    eri::ImageInfo info;
    info.width = 8;
    info.height = 8;
    writer.record("ImageInf", eriwriter::imageInfoRecord(info));
    writer.record("cpyright", {0xFF, 0xFE, 'a', 0, 0x00, 0xD8, 'b'});
    writer.record("descript", {'d', 'e', 's', 'c'});
    writer.endRecord();
    writer.beginRecord("Stream  ");
    writer.record("Palette ", Bytes(40, 9));
    writer.record("ImageFrm", Bytes(100, 0x5A));
    writer.endRecord();
    return writer.bytes();
}

// Opens at full depth, then reads and walks whatever the reader presents.
bool exercise(const Bytes& bytes) {
    eri::MemoryInputStream stream(bytes);
    eri::EriRecordReader reader;
    const bool ok = reader.open(stream, 3);
    std::uint8_t buffer[256];
    std::uint32_t total = 0;
    while (std::uint32_t got = reader.read(buffer, sizeof buffer)) {
        total += got;
        EXPECT_LE(total, bytes.size());
    }
    if (reader.top() != nullptr) {
        EXPECT_LE(reader.top()->dataStart, reader.top()->dataEnd);
        EXPECT_LE(reader.top()->dataEnd, bytes.size());
        EXPECT_LE(reader.getSize(), bytes.size());
    }
    for (int i = 0; i < 4 && reader.descend(nullptr); ++i) {
    }
    reader.ascend();
    return ok;
}

TEST(DamagedContainer, EveryTruncationIsSafe) {
    const Bytes file = fullFile();
    ASSERT_TRUE(exercise(file));
    for (std::size_t size = 0; size < file.size(); ++size) {
        exercise(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)));
    }
}

TEST(DamagedContainer, RandomDamageIsSafe) {
    const Bytes file = fullFile();
    std::mt19937 random(20261206);
    for (int trial = 0; trial < 3000; ++trial) {
        Bytes damaged = file;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = 64 + random() % (damaged.size() - 64);
            switch (random() % 3) {
                case 0:
                    damaged[at] = static_cast<std::uint8_t>(random());
                    break;
                case 1:
                    damaged[at] = 0xFF;
                    break;
                default:
                    damaged[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                    break;
            }
        }
        exercise(damaged);
    }
}

TEST(DamagedContainer, HostileLengthFields) {
    for (const std::uint64_t length :
         {eriwriter::kLengthToParentEnd, std::uint64_t{1} << 32, std::uint64_t{0xFFFFFFFFu},
          std::uint64_t{0x7FFFFFFF}, std::uint64_t{0}}) {
        eriwriter::ContainerWriter writer;
        writer.beginRecord("Header  ", length);
        writer.record("FileHdr ", eriwriter::fileHeaderRecord(0x00020100));
        writer.record("descript", {'x'}, length);
        writer.record("SoundInf", Bytes(40, 0));
        writer.endRecord();
        writer.beginRecord("Stream  ", length);
        writer.record("ImageFrm", Bytes(4, 1), length);
        writer.endRecord();
        exercise(writer.bytes());
    }
}

}  // namespace
