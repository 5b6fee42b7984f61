#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"

namespace {

using eritest::BytesBitInput;

TEST(BitInput, ShortRefillIsPaddedToWholeWords) {
    BytesBitInput input({0x12, 0x34, 0x56, 0x78, 0x9A});
    EXPECT_EQ(input.readBits(32), 0x12345678u);
    EXPECT_EQ(input.readBits(8), 0x9Au);
    EXPECT_EQ(input.readBits(24), 0u);
    EXPECT_EQ(input.bitCount, 0);
    // End of data: readBit gives 1, readBits 0.
    EXPECT_EQ(input.readBit(), 1);
    EXPECT_EQ(input.readBits(5), 0u);
}

TEST(BitInput, ReadBitsTakesWholeWordsAndNothingForZero) {
    BytesBitInput input({0xDE, 0xAD, 0xBE, 0xEF, 0x80, 0, 0, 0}, 4);
    EXPECT_EQ(input.readBits(0), 0u);
    EXPECT_EQ(input.reads(), 0u);
    EXPECT_EQ(input.readBits(32), 0xDEADBEEFu);
    EXPECT_EQ(input.readBit(), -1);
    EXPECT_EQ(input.readBit(), 0);
    EXPECT_EQ(input.readBits(-3), 0u);
}

TEST(BitInput, ReadBitsAtTheEndLeavesTheRegister) {
    BytesBitInput input({0xAB, 0xCD, 0xEF, 0x01});
    EXPECT_EQ(input.readBits(8), 0xABu);
    EXPECT_EQ(input.readBits(32), 0u);
    EXPECT_FALSE(input.tryReadBits(32).has_value());
    EXPECT_EQ(input.tryReadBits(24), 0xCDEF01u);
    EXPECT_FALSE(input.tryReadBits(1).has_value());
}

// Bits left in the register but too few for the request: every later read
// must still be answered without asking the ended stream again.
TEST(BitInput, EndedStreamIsNotAskedAgain) {
    BytesBitInput input({0x12, 0x34, 0x56});
    EXPECT_EQ(input.readBits(30), 0x12345600u >> 2);
    EXPECT_FALSE(input.streamEnded());
    for (int i = 0; i < 1000; ++i) {
        EXPECT_FALSE(input.tryReadBits(6).has_value());
        EXPECT_EQ(input.readBits(6), 0u);
        EXPECT_TRUE(input.hasData());  // the two bits are still there
    }
    EXPECT_TRUE(input.streamEnded());
    EXPECT_EQ(input.reads(), 2u);  // the data, then the one empty answer
    EXPECT_EQ(input.tryReadBits(2), 0u);
    EXPECT_EQ(input.readBit(), 1);
    EXPECT_EQ(input.readGamma(), eri::kGammaEnd);
    EXPECT_EQ(input.reads(), 2u);
}

TEST(BitInput, ReadsAcrossRefillsInOrder) {
    std::mt19937 random(5);
    std::vector<std::uint8_t> bytes(1001);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    for (const std::uint32_t capacity : {1u, 4u, 6u, 64u}) {
        BytesBitInput input(bytes, capacity);
        std::uint64_t position = 0;
        while (position + 32 <= bytes.size() * 8) {
            const int n = static_cast<int>(random() % 33);
            std::uint32_t expected = 0;
            for (int i = 0; i < n; ++i, ++position) {
                expected = (expected << 1) | ((bytes[position / 8] >> (7 - position % 8)) & 1);
            }
            ASSERT_EQ(input.readBits(n), expected) << capacity << " at " << position;
        }
    }
}

TEST(BitInput, GammaCodesOneToSeven) {
    eriwriter::BitWriter bits;
    for (const int b :
         {0, 1, 0, 0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 1, 0, 0, 1, 1, 1, 1, 0}) {
        bits.putBit(static_cast<std::uint32_t>(b));
    }
    BytesBitInput input(bits.bytes());
    for (std::int64_t value = 1; value <= 7; ++value) {
        EXPECT_EQ(input.readGamma(), value);
    }
}

TEST(BitInput, GammaRoundTripOverTheWholeRange) {
    std::mt19937 random(77);
    std::vector<std::uint32_t> values = {1, 2, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
    for (int i = 0; i < 5000; ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(random()) >> (random() % 32);
        values.push_back(v == 0 ? 1 : v);
    }
    eriwriter::BitWriter bits;
    for (const std::uint32_t v : values) {
        bits.putGamma(v);
    }
    BytesBitInput input(bits.bytes(), 12);
    for (const std::uint32_t v : values) {
        ASSERT_EQ(input.readGamma(), std::int64_t{v});
    }
    // The end of the data stays apart from the value 0xFFFFFFFF.
    while (input.bitCount > 0) {
        input.readBit();
    }
    EXPECT_EQ(input.readGamma(), eri::kGammaEnd);
}

// A code with 32 data bits would overflow 32 bits: damaged data.
TEST(BitInput, GammaOfThirtyTwoDataBitsIsDamaged) {
    eriwriter::BitWriter bits;
    for (int i = 0; i < 32; ++i) {
        bits.putBit(1);
        bits.putBit(0);
    }
    bits.putBit(0);
    BytesBitInput input(bits.bytes());
    EXPECT_EQ(input.readGamma(), eri::kGammaEnd);
}

TEST(BitInput, ResetOrNoBufferLeavesNoData) {
    BytesBitInput input({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00}, 8);
    EXPECT_EQ(input.readBits(4), 0xFu);
    input.resetBits();
    EXPECT_EQ(input.bitCount, 0);
    // The buffered words are gone; the stream itself has ended.
    EXPECT_EQ(input.readBit(), 1);

    BytesBitInput unbuffered({0x00, 0x00, 0x00, 0x00}, 0);
    EXPECT_FALSE(unbuffered.isReady());
    EXPECT_EQ(unbuffered.readBit(), 1);
    EXPECT_EQ(unbuffered.readGamma(), eri::kGammaEnd);
}

TEST(BitInput, StartRunCodesTakesTheKindBit) {
    BytesBitInput input({0x80});
    input.runLength = 9;
    input.startRunCodes();
    EXPECT_EQ(input.runIsNonZero, -1);
    EXPECT_EQ(input.runLength, 0u);
    input.startRunCodes();
    EXPECT_EQ(input.runIsNonZero, 0);
}

}  // namespace
