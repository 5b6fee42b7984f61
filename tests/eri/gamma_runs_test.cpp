#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/gamma_run_encoder.h"

namespace {

using eritest::BytesBitInput;

std::vector<std::int32_t> decode(eri::BitInput& input, std::uint32_t count) {
    std::vector<std::int32_t> out(count, 12345);
    out.resize(input.decodeGammaRuns(out.data(), count));
    return out;
}

// Kind bit 0 (zeros first), run of 3 zeros, run of 2 values +1 and -2, then a
// run of 2 zeros for the next call.
std::vector<std::uint8_t> zerosThenValues() {
    eriwriter::BitWriter bits;
    bits.putBit(0);
    bits.putGamma(3);
    bits.putGamma(2);
    bits.putBit(0);
    bits.putGamma(1);
    bits.putBit(1);
    bits.putGamma(2);
    bits.putGamma(2);
    bits.putGamma(7);
    return bits.bytes();
}

// Gamma runs are the default symbol decoder.
TEST(GammaRuns, ZeroRunThenValueRun) {
    BytesBitInput input(zerosThenValues());
    input.startRunCodes();
    std::vector<std::int32_t> first(5);
    EXPECT_EQ(input.runDecodeSymbols(first.data(), 5), 5u);
    EXPECT_EQ(first, (std::vector<std::int32_t>{0, 0, 0, 1, -2}));
    // The request ended with the run: the next call starts a fresh zero run.
    EXPECT_EQ(input.runLength, 0u);
    EXPECT_EQ(input.runIsNonZero, 0);
    EXPECT_EQ(decode(input, 2), (std::vector<std::int32_t>{0, 0}));
}

TEST(GammaRuns, RequestEndingInsideARunLeavesTheRest) {
    BytesBitInput input(zerosThenValues());
    input.startRunCodes();
    EXPECT_EQ(decode(input, 2), (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(input.runLength, 1u);
    EXPECT_EQ(decode(input, 2), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(decode(input, 0), (std::vector<std::int32_t>{}));
    EXPECT_EQ(decode(input, 3), (std::vector<std::int32_t>{-2, 0, 0}));
}

TEST(GammaRuns, EndOfDataGivesAShortCount) {
    // Kind bit, a value run of 100 (13 bits), then values +1 of two bits
    // each: the first word holds 9 of them.
    eriwriter::BitWriter bits;
    eriwriter::encodeGammaRuns(bits, std::vector<std::int32_t>(100, 1));
    std::vector<std::uint8_t> bytes = bits.bytes();
    bytes.resize(4);
    BytesBitInput input(bytes);
    input.startRunCodes();
    EXPECT_EQ(decode(input, 100).size(), 9u);
    BytesBitInput empty({});
    EXPECT_EQ(decode(empty, 5).size(), 0u);
}

std::vector<std::int32_t> randomSequence(std::mt19937& random, std::size_t size) {
    std::vector<std::int32_t> values;
    while (values.size() < size) {
        const std::size_t run = 1 + random() % (random() % 4 == 0 ? 300 : 6);
        const bool zeros = random() % 2 == 0;
        for (std::size_t i = 0; i < run && values.size() < size; ++i) {
            std::int32_t v = 0;
            if (!zeros) {
                switch (random() % 8) {
                    case 0:
                        v = INT_MIN;
                        break;
                    case 1:
                        v = INT_MAX;
                        break;
                    default:
                        v = static_cast<std::int32_t>(random()) >> (random() % 32);
                        break;
                }
                v = v == 0 ? 1 : v;
            }
            values.push_back(v);
        }
    }
    return values;
}

TEST(GammaRuns, RoundTripOverRandomSequencesAndSplits) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<std::vector<std::int32_t>> sequences;
        eriwriter::BitWriter bits;
        for (int s = 0; s < 3; ++s) {
            sequences.push_back(randomSequence(random, random() % 2000));
            eriwriter::encodeGammaRuns(bits, sequences.back());
        }
        BytesBitInput input(bits.bytes(), 4 + 4 * (random() % 20));
        for (const auto& expected : sequences) {
            input.startRunCodes();
            std::vector<std::int32_t> decoded;
            while (decoded.size() < expected.size()) {
                const std::uint32_t want = static_cast<std::uint32_t>(
                    std::min<std::size_t>(random() % 700, expected.size() - decoded.size()));
                const std::vector<std::int32_t> part = decode(input, want);
                ASSERT_EQ(part.size(), want);
                decoded.insert(decoded.end(), part.begin(), part.end());
            }
            ASSERT_EQ(decoded, expected) << "trial " << trial;
        }
    }
}

// A magnitude of 32 data bits is damaged data, not a value.
TEST(GammaRuns, OverlongCodeEndsTheSequence) {
    eriwriter::BitWriter bits;
    bits.putBit(1);    // value run first
    bits.putGamma(3);  // of three values
    bits.putBit(0);
    bits.putGamma(0xFFFFFFFFu);  // the largest magnitude, kept as its 32-bit pattern
    bits.putBit(0);
    for (int i = 0; i < 32; ++i) {
        bits.putBits(0b10, 2);
    }
    bits.putBit(0);
    eritest::BytesBitInput input(bits.bytes());
    input.startRunCodes();
    std::int32_t out[3];
    EXPECT_EQ(input.decodeGammaRuns(out, 3), 1u);
    EXPECT_EQ(out[0], -1);
}

}  // namespace
