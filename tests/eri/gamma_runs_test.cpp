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

// Sequences split into requests of any size, with raw fields between them,
// over refill sizes from one word to more than the whole stream: every place
// where decoding moves between the buffered window and the bit register, and
// hands the register on to the next reader.
TEST(GammaRuns, RoundTripOverRandomSequencesSplitsAndRefills) {
    std::mt19937 random(1234);
    for (int trial = 0; trial < 240; ++trial) {
        struct Part {
            std::vector<std::int32_t> values;
            std::uint32_t field;
            int fieldBits;
        };
        std::vector<Part> parts;
        eriwriter::BitWriter bits;
        for (int s = 0; s < 4; ++s) {
            const int fieldBits = 1 + static_cast<int>(random() % 32);
            const auto field = static_cast<std::uint32_t>(random()) >> (32 - fieldBits);
            parts.push_back({randomSequence(random, random() % 2000), field, fieldBits});
            eriwriter::encodeGammaRuns(bits, parts.back().values);
            bits.putBits(field, fieldBits);
        }
        const std::uint32_t capacity =
            trial % 3 == 0 ? 0x10000 : 4 + 4 * static_cast<std::uint32_t>(random() % 20);
        BytesBitInput input(bits.bytes(), capacity);
        for (const Part& part : parts) {
            input.startRunCodes();
            std::vector<std::int32_t> decoded;
            while (decoded.size() < part.values.size()) {
                const std::uint32_t want = static_cast<std::uint32_t>(
                    std::min<std::size_t>(random() % 700, part.values.size() - decoded.size()));
                const std::vector<std::int32_t> got = decode(input, want);
                ASSERT_EQ(got.size(), want);
                decoded.insert(decoded.end(), got.begin(), got.end());
            }
            ASSERT_EQ(decoded, part.values) << "trial " << trial;
            ASSERT_EQ(input.readBits(part.fieldBits), part.field) << "trial " << trial;
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
