#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "bytes_bit_input.h"
#include "eri/core/frequency_model.h"
#include "eri/core/model_cache.h"
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

// The decoder may take a word from the buffer before it needs its bits; a
// part ends with the word given back, as bit-by-bit reading would leave it:
// the register never holds a whole word none of whose bits were taken, and
// its bits past the count are zero.
TEST(ArithmeticDecoding, PartsEndWithNoUntakenWordInTheRegister) {
    std::mt19937 random(9);
    for (const int b : {2, 8}) {
        const Symbols symbols = skewedSymbols(random, b, 40000, 0.2);
        const Encoded encoded = encode(b, symbols, {});
        BytesBitInput input(encoded.bytes, 4 * (1 + random() % 8));
        ASSERT_TRUE(input.initArithmetic(b));
        Symbols decoded;
        std::vector<std::int32_t> part(40);
        while (decoded.size() < symbols.size()) {
            const auto want = static_cast<std::uint32_t>(
                std::min<std::size_t>(1 + random() % part.size(), symbols.size() - decoded.size()));
            ASSERT_EQ(input.runDecodeSymbols(part.data(), want), want);
            decoded.insert(decoded.end(), part.begin(), part.begin() + want);
            if (input.overrunCount == 0) {  // else the padding zeros stand in the register
                ASSERT_LT(input.bitCount, 32) << decoded.size();
                ASSERT_EQ(input.bitRegister & (0xFFFFFFFFu >> input.bitCount), 0u);
            }
        }
        EXPECT_EQ(decoded, symbols) << b;
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

// The decoder divides range x count products and code x total rests by the
// model total with a multiplication; it must agree with the division for every
// total and for the largest values, where rounding would show first.
TEST(ArithmeticDecoding, DivisionByTheTotalIsExactForEveryProduct) {
    std::mt19937_64 random(12);
    for (std::uint32_t total = 2; total < 0x10000; ++total) {
        const eri::detail::TotalDivider divider(total);
        const std::uint64_t largest = std::uint64_t{0xFFFFFFFFu} * total;
        for (const std::uint64_t x :
             {std::uint64_t{0}, std::uint64_t{total} - 1, std::uint64_t{total}, largest - 1,
              largest, largest / total * total, random() % (largest + 1)}) {
            ASSERT_EQ(divider.floorOf(x), x / total) << total << " " << x;
        }
    }
}

using Search = std::uint32_t (*)(const std::uint64_t*, std::uint32_t, std::uint64_t,
                                 eri::detail::SearchRests&);

std::vector<std::pair<const char*, Search>> searches() {
    std::vector<std::pair<const char*, Search>> out{
        {"plain", &eri::detail::searchRunningCountsPlain}};
#if defined(__SSE2__)
    out.emplace_back("sse2", &eri::detail::searchRunningCountsSse2);
#endif
    return out;
}

// Each search finds the entry an entry-by-entry walk with a division finds,
// with the rests the new code and range come from, for codes inside and
// (in damaged streams) beyond the range.
TEST(ArithmeticDecoding, RunningCountSearchFindsTheDividedTarget) {
    for (const auto& [name, search] : searches()) {
        std::mt19937 random(13);
        for (int trial = 0; trial < 3000; ++trial) {
            const std::uint32_t n = trial % 3 == 0 ? 8 : (trial % 3 == 1 ? 16 : 256);
            std::vector<std::uint32_t> words(n + 1);
            eri::FrequencyModel model(words.data());
            words[0] = 0;
            for (std::uint32_t i = 0; i < n; ++i) {
                const std::uint32_t count = 1 + random() % (trial % 2 == 0 ? 3 : 200);
                words[1 + i] = eri::FrequencyModel::makeEntry(count, static_cast<std::int32_t>(i));
                words[0] += count;
            }
            eri::detail::ModelCache cache;
            cache.refresh(model, n);
            for (int probe = 0; probe < 20; ++probe) {
                const std::uint32_t range = 0x80000000u | static_cast<std::uint32_t>(random());
                const std::uint32_t code = probe % 5 == 0
                                               ? static_cast<std::uint32_t>(random())
                                               : static_cast<std::uint32_t>(random()) % range;
                const std::uint64_t codeTotal = std::uint64_t{code} * model.total();
                const std::uint64_t target = codeTotal / range;
                std::uint32_t expected = 0;
                std::uint64_t before = 0;
                while (expected < n && target >= before + model.count(expected)) {
                    before += model.count(expected);
                    ++expected;
                }
                eri::detail::SearchRests rests{};
                const std::uint32_t found = search(cache.runningCounts, range, codeTotal, rests);
                // 16 when the entry lies beyond the first 16 or there is none.
                const std::uint32_t searched = std::min(n, eri::detail::kSearchedEntries);
                ASSERT_EQ(found, expected < searched ? expected : eri::detail::kSearchedEntries)
                    << name;
                std::uint64_t counted = 0;
                for (std::uint32_t k = 0; k <= std::min(found, 15u); ++k) {
                    ASSERT_EQ(rests.rests[1 + k], codeTotal - std::uint64_t{range} * counted)
                        << name << " " << k;
                    counted += k < n ? model.count(k) : 0;
                }
            }
        }
    }
}

// Counting in place keeps the running counts and the reciprocal what they
// would be if worked out afresh; the moves and halvings of update are refused.
TEST(ArithmeticModels, CacheFollowsTheModelThroughUpdates) {
    std::mt19937 random(14);
    for (const int b : {2, 4, 5, 8}) {
        const std::uint32_t n = 1u << b;
        std::vector<std::uint32_t> words(n + 1);
        eri::FrequencyModel model(words.data());
        model.initialize(b);
        eri::detail::ModelCache cache;
        cache.refresh(model, n);
        int inPlace = 0;
        int moved = 0;
        for (int step = 0; step < 200000; ++step) {
            const std::uint32_t i = std::min<std::uint32_t>(random() % 40, n - 1);
            const std::vector<std::uint32_t> before = words;
            if (model.countInPlace(i)) {
                ++inPlace;
                cache.countInPlace(i, model.total());
                std::vector<std::uint32_t> updated = before;
                eri::FrequencyModel(updated.data()).update(i, n);
                ASSERT_EQ(words, updated) << b << " " << step;
            } else {
                ++moved;
                ASSERT_EQ(words, before);
                model.update(i, n);
                cache.refresh(model, n);
            }
            eri::detail::ModelCache fresh;
            fresh.refresh(model, n);
            ASSERT_EQ(cache.reciprocal, fresh.reciprocal);
            for (std::uint32_t k = 0; k < eri::detail::kSearchedEntries; ++k) {
                ASSERT_EQ(cache.runningCounts[k], fresh.runningCounts[k]) << b << " " << k;
            }
        }
        EXPECT_GT(inPlace, 1000) << b;
        EXPECT_GT(moved, 10) << b;
    }
}

}  // namespace
