// Random and truncated bit streams end every decoder with a count no larger
// than asked, never a crash or an endless loop.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bytes_bit_input.h"

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
