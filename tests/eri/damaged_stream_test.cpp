// Random and truncated bit streams end every decoder with a count no larger
// than asked, never a crash or an endless loop.
#include <gtest/gtest.h>

#include <functional>
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

// Calls decode with random request sizes; each must give no more than asked.
void expectWithinRequests(std::mt19937& random, int calls,
                          const std::function<std::uint32_t(std::uint32_t, int)>& decode) {
    for (int call = 0; call < calls; ++call) {
        const std::uint32_t want = static_cast<std::uint32_t>(random() % 5000);
        ASSERT_LE(decode(want, call), want) << "call " << call;
    }
}

TEST(DamagedStream, GammaDecodersStayWithinTheRequest) {
    std::mt19937 random(31);
    std::vector<std::int32_t> values(5000);
    Bytes bytes(5000);
    for (int trial = 0; trial < 300; ++trial) {
        const Bytes data = randomBytes(random, random() % 600, trial % 2);
        BytesBitInput runs(data, 8);
        runs.startRunCodes();
        expectWithinRequests(random, 20, [&](std::uint32_t want, int) {
            return runs.decodeGammaRuns(values.data(), want);
        });
        BytesBitInput mtf(data, 8);
        ASSERT_TRUE(mtf.initMoveToFront());
        expectWithinRequests(random, 20, [&](std::uint32_t want, int) {
            return mtf.decodeMtfBytes(bytes.data(), want);
        });
    }
}

TEST(DamagedStream, HuffmanDecodersStayWithinTheRequest) {
    std::mt19937 random(32);
    std::vector<std::int32_t> values(5000);
    Bytes bytes(5000);
    for (int trial = 0; trial < 120; ++trial) {
        BytesBitInput input(randomBytes(random, random() % 3000, trial % 2), 16);
        ASSERT_TRUE(input.initHuffmanTrees());
        expectWithinRequests(random, 30, [&](std::uint32_t want, int call) {
            return call % 2 == 0 ? input.decodeHuffmanValues(values.data(), want)
                                 : input.decodeHuffmanBytes(bytes.data(), want);
        });
        eri::HuffmanTree tree;
        tree.initializeTree();
        for (int i = 0; i < 100; ++i) {
            const std::uint32_t symbol = input.decodeHuffmanSymbol(tree);
            ASSERT_TRUE(symbol < 256 || symbol == eri::kHuffmanEnd);
        }
    }
}

TEST(DamagedStream, ArithmeticDecoderStaysWithinTheRequestAndTheWidth) {
    std::mt19937 random(33);
    std::vector<std::int32_t> values(5000);
    for (int trial = 0; trial < 400; ++trial) {
        BytesBitInput input(randomBytes(random, random() % 2000, trial % 2), 16);
        const int b = 1 + trial % 8;
        ASSERT_TRUE(input.initArithmetic(b));
        expectWithinRequests(random, 20, [&](std::uint32_t want, int) {
            const std::uint32_t got = input.runDecodeSymbols(values.data(), want);
            for (std::uint32_t i = 0; i < std::min(got, want); ++i) {
                EXPECT_GE(values[i], -(1 << (b - 1)));
                EXPECT_LT(values[i], 1 << (b - 1));
            }
            return got;
        });
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
