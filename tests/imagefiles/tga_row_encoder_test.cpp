#include "imagefiles/tga_row_encoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tinta {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kA = {0x10, 0x11, 0x12, 0xFF};
const Bytes kB = {0x20, 0x21, 0x22, 0xFF};
const Bytes kC = {0x30, 0x31, 0x32, 0x80};

Bytes Row(std::initializer_list<Bytes> pixels) {
    Bytes row;
    for (const Bytes& pixel : pixels) {
        row.insert(row.end(), pixel.begin(), pixel.end());
    }
    return row;
}

Bytes Packet(uint8_t header, std::initializer_list<Bytes> pixels) {
    Bytes packet{header};
    const Bytes data = Row(pixels);
    packet.insert(packet.end(), data.begin(), data.end());
    return packet;
}

Bytes Encode(const Bytes& row, int pixelSize = 4) {
    const size_t count = row.size() / static_cast<size_t>(pixelSize);
    Bytes out(count * static_cast<size_t>(pixelSize + 1));
    out.resize(EncodeTgaRow(row.data(), out.data(), count, pixelSize));
    return out;
}

Bytes Distinct(size_t count) {
    Bytes row;
    for (size_t i = 0; i < count; ++i) {
        row.insert(row.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8), 7, 255});
    }
    return row;
}

TEST(TgaRowEncoder, EncodesRunsAndRawPixelsIntoTheWorkedPackets) {
    EXPECT_EQ(Encode(Row({kA, kA, kA, kB, kC, kC})),
              Row({Packet(0x82, {kA}), Packet(0x00, {kB}), Packet(0x81, {kC})}));
    EXPECT_EQ(Encode(Row({kA, kB, kC})), Row({Packet(0x01, {kA, kB}), Packet(0x00, {kC})}));
    EXPECT_EQ(Encode(Row({kA, kB, kB})), Row({Packet(0x00, {kA}), Packet(0x81, {kB})}));
    EXPECT_EQ(Encode(Row({kA})), Packet(0x00, {kA}));
    // Pixels differing only in alpha are different.
    const Bytes almostA = {kA[0], kA[1], kA[2], 0xFE};
    EXPECT_EQ(Encode(Row({kA, almostA, almostA})),
              Row({Packet(0x00, {kA}), Packet(0x81, {almostA})}));
    // Runs split into packets of 128.
    Bytes run;
    for (int i = 0; i < 300; ++i) {
        run.insert(run.end(), kA.begin(), kA.end());
    }
    EXPECT_EQ(Encode(run), Row({Packet(0xFF, {kA}), Packet(0xFF, {kA}), Packet(0xAB, {kA})}));
    // Smaller pixels compare only their own bytes.
    EXPECT_EQ(Encode({1, 2, 3, 1, 2, 3, 9, 9, 9}, 3), (Bytes{0x81, 1, 2, 3, 0x00, 9, 9, 9}));
    EXPECT_EQ(Encode({5, 5, 5, 6}, 1), (Bytes{0x82, 5, 0x00, 6}));
}

TEST(TgaRowEncoder, LongRawStretchesSplitIntoPacketsOf128) {
    const Bytes row = Distinct(200);
    const Bytes encoded = Encode(row);
    ASSERT_EQ(encoded.size(), 3 + 200 * 4u);
    EXPECT_EQ(encoded[0], 0x7F);
    EXPECT_EQ(encoded[1 + 128 * 4], 0x46);
    EXPECT_EQ(encoded[2 + 199 * 4], 0x00);
    EXPECT_TRUE(std::equal(row.begin(), row.begin() + 128 * 4, encoded.begin() + 1));
    EXPECT_TRUE(std::equal(row.end() - 4, row.end(), encoded.end() - 4));
}

TEST(TgaRowEncoder, RawStretchEndsWhereARunBegins) {
    // 130 distinct pixels, then the last one repeated: the raw measure stops
    // before the equal pair even past the first full packet.
    Bytes row = Distinct(130);
    row.insert(row.end(), row.end() - 4, row.end());
    const Bytes encoded = Encode(row);
    ASSERT_EQ(encoded.size(), (1 + 128 * 4) + (1 + 4) + (1 + 4u));
    EXPECT_EQ(encoded[0], 0x7F);
    EXPECT_EQ(encoded[1 + 128 * 4], 0x00);
    EXPECT_EQ(encoded[2 + 129 * 4], 0x81);
}

}  // namespace
}  // namespace tinta
