// Random and truncated bit streams end every decoder with a count no larger
// than asked, never a crash or an endless loop.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"

namespace {

using eritest::BytesBitInput;
using Bytes = std::vector<std::uint8_t>;

Bytes randomBytes(std::mt19937& random, std::size_t size, int ones) {
    Bytes bytes(size);
    for (auto& b : bytes) {
        // Mostly-one streams make long gamma codes; mostly-zero ones long runs of 1.
        b = static_cast<std::uint8_t>(ones > 0 ? random() | random() | random() : random());
    }
    return bytes;
}

TEST(DamagedStream, GammaDecodersStayWithinTheRequest) {
    std::mt19937 random(31);
    std::vector<std::int32_t> values(5000);
    Bytes bytes(5000);
    for (int trial = 0; trial < 300; ++trial) {
        const Bytes data = randomBytes(random, random() % 600, trial % 2);
        BytesBitInput runs(data, 8);
        runs.startRunCodes();
        std::uint32_t total = 0;
        for (int call = 0; call < 20; ++call) {
            const std::uint32_t want = static_cast<std::uint32_t>(random() % 5000);
            const std::uint32_t got = runs.decodeGammaRuns(values.data(), want);
            ASSERT_LE(got, want);
            total += got;
        }
        BytesBitInput mtf(data, 8);
        ASSERT_TRUE(mtf.initMoveToFront());
        for (int call = 0; call < 20; ++call) {
            const std::uint32_t want = static_cast<std::uint32_t>(random() % 5000);
            ASSERT_LE(mtf.decodeMtfBytes(bytes.data(), want), want);
        }
    }
}

}  // namespace

namespace {

TEST(DamagedStream, HuffmanDecodersStayWithinTheRequest) {
    std::mt19937 random(32);
    std::vector<std::int32_t> values(5000);
    std::vector<std::uint8_t> bytes(5000);
    for (int trial = 0; trial < 120; ++trial) {
        const Bytes data = randomBytes(random, random() % 3000, trial % 2);
        BytesBitInput input(data, 16);
        ASSERT_TRUE(input.initHuffmanTrees());
        for (int call = 0; call < 30; ++call) {
            const std::uint32_t want = static_cast<std::uint32_t>(random() % 5000);
            if (call % 2 == 0) {
                ASSERT_LE(input.decodeHuffmanValues(values.data(), want), want);
            } else {
                ASSERT_LE(input.decodeHuffmanBytes(bytes.data(), want), want);
            }
        }
        eri::HuffmanTree tree;
        tree.initializeTree();
        for (int i = 0; i < 100; ++i) {
            const std::uint32_t symbol = input.decodeHuffmanSymbol(tree);
            ASSERT_TRUE(symbol < 256 || symbol == eri::kHuffmanEnd);
        }
    }
}

TEST(DamagedStream, ArithmeticDecoderStaysWithinTheRequest) {
    std::mt19937 random(33);
    std::vector<std::int32_t> values(5000);
    for (int trial = 0; trial < 400; ++trial) {
        const Bytes data = randomBytes(random, random() % 2000, trial % 2);
        BytesBitInput input(data, 16);
        const int b = 1 + trial % 8;
        ASSERT_TRUE(input.initArithmetic(b));
        std::uint32_t total = 0;
        for (int call = 0; call < 20; ++call) {
            const std::uint32_t want = static_cast<std::uint32_t>(random() % 5000);
            const std::uint32_t got = input.runDecodeSymbols(values.data(), want);
            ASSERT_LE(got, want);
            for (std::uint32_t i = 0; i < got; ++i) {
                ASSERT_GE(values[i], -(1 << (b - 1)));
                ASSERT_LT(values[i], 1 << (b - 1));
            }
            total += got;
        }
    }
}

// A run length that would collide with the escape code is damaged data.
TEST(DamagedStream, RunLengthsBeyondTheLeafCodeAreRefused) {
    eriwriter::BitWriter bits;
    bits.putBits(0, 8);          // value 0 (first symbol of tree 0, raw)
    bits.putGamma(0x7FFFFFFFu);  // first run symbol, raw
    BytesBitInput input(bits.bytes());
    ASSERT_TRUE(input.initHuffmanTrees());
    std::int32_t values[4];
    EXPECT_EQ(input.decodeHuffmanValues(values, 4), 1u);
    EXPECT_EQ(input.runLength, 0u);
}

}  // namespace
