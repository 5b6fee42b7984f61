#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bytes_bit_input.h"
#include "eri/core/frequency_model.h"
#include "eri/core/model_search.h"
#include "eriwriter/arithmetic_encoder.h"

namespace {

using eritest::BytesBitInput;
using Symbols = std::vector<std::int32_t>;
using Termination = eriwriter::ArithmeticEncoder::Termination;

std::vector<std::uint32_t> entries(const eri::FrequencyModel& model, std::uint32_t n) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < n; ++i) {
        out.push_back(eri::FrequencyModel::makeEntry(model.count(i), model.symbol(i)));
    }
    return out;
}

TEST(ArithmeticModels, InitialisationAcceptsWidthsOneToEight) {
    BytesBitInput input(std::vector<std::uint8_t>(16, 0));
    for (const int b : {0, 9, -1, 32}) {
        EXPECT_FALSE(input.initArithmetic(b)) << b;
        EXPECT_EQ(input.decodeSymbols, &eri::BitInput::decodeGammaRuns);
    }
    ASSERT_TRUE(input.initArithmetic(8));
    EXPECT_EQ(input.decodeSymbols, &eri::BitInput::decodeArithmeticSymbols);
    EXPECT_EQ(input.contextMask, 255u);
    for (const int t : {0, 1, 255}) {
        const eri::FrequencyModel model(input.frequencyModel(t));
        EXPECT_EQ(model.total(), 256u);
        EXPECT_EQ(model.symbol(0), 0);
        EXPECT_EQ(model.symbol(127), 127);
        EXPECT_EQ(model.symbol(128), -128);
        EXPECT_EQ(model.symbol(255), -1);
        EXPECT_EQ(model.count(200), 1u);
    }
    // A stream of zero bits decodes to the first entry's symbol.
    std::int32_t symbol = 99;
    EXPECT_EQ(input.runDecodeSymbols(&symbol, 1), 1u);
    EXPECT_EQ(symbol, 0);
}

TEST(ArithmeticModels, UpdatedEntryPassesEqualCounts) {
    std::uint32_t words[5];
    eri::FrequencyModel model(words);
    model.initialize(2);  // 0, 1, -2, -1
    EXPECT_EQ(model.update(2, 4), -2);
    EXPECT_EQ(model.symbol(0), -2);
    EXPECT_EQ(model.update(2, 4), 1);  // count 2 passes -2 (2) and 0 (1)
    EXPECT_EQ(entries(model, 4),
              (std::vector<std::uint32_t>{
                  eri::FrequencyModel::makeEntry(2, 1), eri::FrequencyModel::makeEntry(2, -2),
                  eri::FrequencyModel::makeEntry(1, 0), eri::FrequencyModel::makeEntry(1, -1)}));
    EXPECT_EQ(model.total(), 6u);
}

TEST(ArithmeticModels, TotalOf65536HalvesEveryCount) {
    std::uint32_t words[5];
    eri::FrequencyModel model(words);
    words[0] = 0xFFFF;
    words[1] = eri::FrequencyModel::makeEntry(0xFFF9, 0);
    words[2] = eri::FrequencyModel::makeEntry(3, 1);
    words[3] = eri::FrequencyModel::makeEntry(2, -2);
    words[4] = eri::FrequencyModel::makeEntry(1, -1);
    model.update(0, 4);
    EXPECT_EQ(model.count(0), 0x7FFDu);
    EXPECT_EQ(model.count(1), 2u);
    EXPECT_EQ(model.count(2), 1u);
    EXPECT_EQ(model.count(3), 1u);
    EXPECT_EQ(model.total(), 0x7FFDu + 4);
}

// Bits past the end during initialisation are readBit's 1, not padding zeros.
TEST(ArithmeticDecoding, InitialisationReadsOnesPastTheEnd) {
    BytesBitInput input({0x12, 0x34, 0x56, 0x78});
    ASSERT_TRUE(input.initArithmetic(8));
    // The 33rd stuffing check sees 32 ones and takes a carry bit of 1.
    EXPECT_EQ(input.codeRegister, 0x12345679u);
    EXPECT_EQ(input.lookaheadRegister, 0u);
    EXPECT_EQ(input.rangeRegister, 0xFFFFFFFFu);
    EXPECT_EQ(input.overrunCount, 0u);
}

Symbols skewedSymbols(std::mt19937& random, int b, std::size_t size, double p) {
    std::geometric_distribution<int> skew(p);
    const int n = 1 << b;
    Symbols symbols(size);
    for (auto& s : symbols) {
        int index = skew(random) % n;
        if (random() % 50 == 0) {
            index = static_cast<int>(random() % n);
        }
        s = index < n / 2 ? index : index - n;
    }
    return symbols;
}

struct Encoded {
    std::vector<std::uint8_t> bytes;
    std::uint64_t zeroCarries = 0;
    std::uint64_t oneCarries = 0;
};

Encoded encode(int b, const Symbols& symbols, Termination termination) {
    eriwriter::ArithmeticEncoder encoder(b);
    for (const std::int32_t s : symbols) {
        encoder.encode(s);
    }
    Encoded out;
    out.bytes = encoder.finish(termination);
    out.zeroCarries = encoder.zeroCarryBits();
    out.oneCarries = encoder.oneCarryBits();
    return out;
}

Symbols decodeInParts(eri::BitInput& input, std::size_t size, std::mt19937& random) {
    Symbols decoded;
    std::vector<std::int32_t> part(4096);
    while (decoded.size() < size) {
        const auto want = static_cast<std::uint32_t>(
            std::min<std::size_t>(random() % part.size(), size - decoded.size()));
        const std::uint32_t got = input.runDecodeSymbols(part.data(), want);
        if (got != want) {
            break;
        }
        decoded.insert(decoded.end(), part.begin(), part.begin() + got);
    }
    return decoded;
}

// The long skewed stream at width 8 reaches the halving of the model totals.
TEST(ArithmeticDecoding, RoundTripAtEveryWidth) {
    std::mt19937 random(8);
    for (int b = 1; b <= 8; ++b) {
        for (const double p : {0.9, 0.3, 0.02}) {
            const std::size_t size = b == 8 && p > 0.5 ? 150000 : 1 + random() % 30000;
            const Symbols symbols = skewedSymbols(random, b, size, p);
            const Encoded encoded = encode(b, symbols, {});
            BytesBitInput input(encoded.bytes, 4 * (1 + random() % 500));
            ASSERT_TRUE(input.initArithmetic(b));
            ASSERT_EQ(decodeInParts(input, symbols.size(), random), symbols) << b << " " << p;
        }
    }
}

// 32 one-bits in the lookahead are followed by a carry bit; both values of it
// decode to the same symbols.
TEST(ArithmeticDecoding, CarryBitsAfterThirtyTwoOnes) {
    std::mt19937 random(10);
    for (const int b : {1, 4, 8}) {
        // Long runs of one symbol let the code value gather runs of zeros.
        Symbols symbols;
        for (int part = 0; part < 20; ++part) {
            const Symbols noise = skewedSymbols(random, b, 300, 0.3);
            symbols.insert(symbols.end(), noise.begin(), noise.end());
            symbols.insert(symbols.end(), 3000, 0);
        }
        const Encoded encoded = encode(b, symbols, {true, 40});
        EXPECT_GT(encoded.oneCarries, 0u);
        EXPECT_GT(encoded.zeroCarries, 0u);
        BytesBitInput input(encoded.bytes, 64);
        ASSERT_TRUE(input.initArithmetic(b));
        ASSERT_EQ(decodeInParts(input, symbols.size(), random), symbols) << b;
    }
}

TEST(ArithmeticDecoding, PaddingIsGivenOnceThenTheCountFallsShort) {
    std::mt19937 random(12);
    const Symbols symbols = skewedSymbols(random, 8, 5000, 0.1);
    const Encoded encoded = encode(8, symbols, {});
    BytesBitInput input(encoded.bytes);
    ASSERT_TRUE(input.initArithmetic(8));
    std::vector<std::int32_t> out(symbols.size() + 10000);
    const std::uint32_t got =
        input.decodeArithmeticSymbols(out.data(), static_cast<std::uint32_t>(out.size()));
    EXPECT_GE(got, symbols.size());
    EXPECT_LT(got, out.size());
    EXPECT_EQ(input.overrunCount, 2u);
    EXPECT_EQ(Symbols(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(symbols.size())),
              symbols);
    EXPECT_EQ(input.decodeArithmeticSymbols(out.data(), 10), 0u);

    std::vector<std::uint8_t> truncated = encoded.bytes;
    truncated.resize(truncated.size() / 2);
    BytesBitInput shortInput(truncated);
    ASSERT_TRUE(shortInput.initArithmetic(8));
    EXPECT_LT(
        shortInput.decodeArithmeticSymbols(out.data(), static_cast<std::uint32_t>(symbols.size())),
        symbols.size());
}

}  // namespace

namespace {

// The decoder divides range x count products by the model total with a
// multiplication; it must agree with the division for every total and for the
// largest products, where rounding would show first.
TEST(ArithmeticDecoding, DivisionByTheTotalIsExactForEveryProduct) {
    std::mt19937_64 random(12);
    for (std::uint32_t total = 2; total < 0x10000; ++total) {
        const eri::detail::TotalDivider divider(total);
        const std::uint64_t largest = std::uint64_t{0xFFFFFFFFu} * (total - 1);
        for (const std::uint64_t x :
             {std::uint64_t{0}, std::uint64_t{total} - 1, std::uint64_t{total}, largest - 1,
              largest, largest / total * total, random() % (largest + 1)}) {
            ASSERT_EQ(divider.floorOf(x), x / total) << total << " " << x;
            ASSERT_EQ(divider.ceilingOf(x), x / total + (x % total != 0 ? 1 : 0))
                << total << " " << x;
        }
    }
}

// The vector search over the first 16 entries finds what the entry-by-entry
// walk finds, for targets at, between and beyond the running counts.
TEST(ArithmeticDecoding, EntrySearchMatchesTheWalk) {
    std::mt19937 random(13);
    for (int trial = 0; trial < 2000; ++trial) {
        const std::uint32_t n = trial % 3 == 0 ? 8 : (trial % 3 == 1 ? 16 : 256);
        std::vector<std::uint32_t> entries(n);
        std::uint32_t total = 0;
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t count = 1 + random() % (trial % 2 == 0 ? 3 : 200);
            entries[i] = eri::FrequencyModel::makeEntry(count, static_cast<std::int32_t>(i));
            total += count;
        }
        for (int probe = 0; probe < 20; ++probe) {
            const std::uint32_t target = random() % (total + 3);
            std::uint32_t expected = 0;
            std::uint32_t before = 0;
            while (expected < n && target >= before + (entries[expected] & 0xFFFF)) {
                before += entries[expected] & 0xFFFF;
                ++expected;
            }
            std::uint32_t cumulative = 99;
            ASSERT_EQ(eri::detail::findEntry(entries.data(), n, target, cumulative), expected);
            ASSERT_EQ(cumulative, before);
        }
    }
}

}  // namespace
