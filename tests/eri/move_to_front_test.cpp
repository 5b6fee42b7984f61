#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/mtf_encoder.h"

namespace {

using eritest::BytesBitInput;
using Bytes = std::vector<std::uint8_t>;

Bytes decode(eri::BitInput& input, std::uint32_t count) {
    Bytes out(count, 0xEE);
    out.resize(input.decodeMtfBytes(out.data(), count));
    return out;
}

TEST(MoveToFront, SecondZeroIsARepeatOfNone) {
    // Three gamma codes of value 1: byte 0 from table 256, byte 0 from table
    // 0 (equal to the previous byte), then a run of no extra bytes.
    eriwriter::BitWriter bits;
    bits.putBits(0b000, 3);
    bits.putBits(0b101, 3);  // left over: gamma 2 ... not read
    BytesBitInput input(bits.bytes());
    ASSERT_TRUE(input.initMoveToFront());
    EXPECT_EQ(decode(input, 2), (Bytes{0, 0}));
    EXPECT_EQ(input.readBits(3), 0b101u);
}

TEST(MoveToFront, TablesMoveTheByteToTheFrontAndPersistOverCalls) {
    eriwriter::BitWriter bits;
    bits.putGamma(6);  // table 256: index 5 -> byte 5
    bits.putGamma(1);  // table 5: index 0 -> byte 0
    bits.putGamma(6);  // next call, table 256 again: byte 5 now stands first
    bits.putGamma(1);  // ... so index 0 is 5 and index 5 is 4
    BytesBitInput input(bits.bytes());
    ASSERT_TRUE(input.initMoveToFront());
    EXPECT_EQ(decode(input, 2), (Bytes{5, 0}));
    EXPECT_EQ(decode(input, 2), (Bytes{4, 0}));
}

TEST(MoveToFront, RepeatRunIsCutAtTheEndOfTheRow) {
    eriwriter::BitWriter bits;
    bits.putGamma(8);   // byte 7
    bits.putGamma(1);   // byte 0 (table 7)
    bits.putGamma(2);   // table 0: index 1 -> byte 1
    bits.putGamma(1);   // table 1: index 0 -> byte 0
    bits.putGamma(2);   // table 0 (1 moved first): index 1 -> byte 0, equal: run follows
    bits.putGamma(50);  // 49 more, cut to what the row still wants
    BytesBitInput input(bits.bytes());
    ASSERT_TRUE(input.initMoveToFront());
    EXPECT_EQ(decode(input, 8), (Bytes{7, 0, 1, 0, 0, 0, 0, 0}));
}

TEST(MoveToFront, IndexBeyondTheTableEndsTheRow) {
    eriwriter::BitWriter bits;
    bits.putGamma(3);
    bits.putGamma(257);
    BytesBitInput input(bits.bytes());
    ASSERT_TRUE(input.initMoveToFront());
    EXPECT_EQ(decode(input, 4).size(), 1u);
    BytesBitInput unprepared(bits.bytes());
    EXPECT_EQ(decode(unprepared, 4).size(), 0u);
}

TEST(MoveToFront, RoundTripOverRandomRows) {
    std::mt19937 random(99);
    for (int trial = 0; trial < 40; ++trial) {
        eriwriter::MtfEncoder encoder;
        eriwriter::BitWriter bits;
        std::vector<Bytes> rows;
        const int alphabet = 1 + static_cast<int>(random() % 256);
        for (int r = 0; r < 20; ++r) {
            Bytes row(1 + random() % 400);
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (i > 0 && random() % 3 == 0) {
                    row[i] = row[i - 1];
                } else {
                    row[i] = static_cast<std::uint8_t>(random() % alphabet);
                }
            }
            encoder.encodeRow(bits, row);
            rows.push_back(row);
        }
        BytesBitInput input(bits.bytes(), 36);
        ASSERT_TRUE(input.initMoveToFront());
        for (const Bytes& row : rows) {
            ASSERT_EQ(decode(input, static_cast<std::uint32_t>(row.size())), row) << trial;
        }
        // Re-initialising restores the identity tables.
        ASSERT_TRUE(input.initMoveToFront());
    }
}

}  // namespace
