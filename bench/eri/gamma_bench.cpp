#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "eriwriter/bit_writer.h"
#include "eriwriter/gamma_run_encoder.h"
#include "eriwriter/mtf_encoder.h"
#include "span_bit_input.h"

namespace {

using eribench::kStreamBytes;
using eribench::SpanBitInput;

// Block values of a typical lossless image: short zero runs between small
// values of either sign, about 16 MB once coded.
const std::vector<std::uint8_t>& gammaRunData() {
    static const std::vector<std::uint8_t> data = [] {
        std::mt19937 random(1);
        std::geometric_distribution<int> magnitude(0.3);
        std::vector<std::int32_t> values;
        eriwriter::BitWriter bits;
        while (bits.bitCount() < kStreamBytes * 8) {
            values.clear();
            for (int i = 0; i < 1 << 16; ++i) {
                const bool zero = random() % 3 == 0;
                const std::int32_t v = 1 + magnitude(random);
                values.push_back(zero ? 0 : (random() % 2 != 0 ? v : -v));
            }
            eriwriter::encodeGammaRuns(bits, values);
        }
        return bits.bytes();
    }();
    return data;
}

void BM_DecodeGammaRuns(benchmark::State& state) {
    const std::vector<std::uint8_t>& data = gammaRunData();
    std::vector<std::int32_t> out(1 << 16);
    std::size_t decoded = 0;
    for (auto _ : state) {
        SpanBitInput input(data);
        decoded = 0;
        for (;;) {
            input.startRunCodes();
            const std::uint32_t got = input.decodeGammaRuns(out.data(), 1 << 16);
            decoded += got;
            if (got < (1u << 16)) {
                break;
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(decoded * state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(data.size() * state.iterations()));
}
BENCHMARK(BM_DecodeGammaRuns)->Unit(benchmark::kMillisecond);

// Rows of a palette image: a few dozen colours, runs of equal bytes.
struct MtfData {
    std::vector<std::uint8_t> bytes;
    std::size_t rowCount = 0;
};
constexpr std::size_t kRowLength = 1024;

const MtfData& mtfData() {
    static const MtfData data = [] {
        std::mt19937 random(2);
        std::geometric_distribution<int> colour(0.08);
        eriwriter::MtfEncoder encoder;
        eriwriter::BitWriter bits;
        MtfData result;
        std::vector<std::uint8_t> row(kRowLength);
        while (bits.bitCount() < kStreamBytes * 8) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                row[i] = i > 0 && random() % 4 == 0
                             ? row[i - 1]
                             : static_cast<std::uint8_t>(colour(random) & 0xFF);
            }
            encoder.encodeRow(bits, row);
            ++result.rowCount;
        }
        result.bytes = bits.bytes();
        return result;
    }();
    return data;
}

void BM_DecodeMtfBytes(benchmark::State& state) {
    const MtfData& data = mtfData();
    std::vector<std::uint8_t> row(kRowLength);
    for (auto _ : state) {
        SpanBitInput input(data.bytes);
        input.initMoveToFront();
        for (std::size_t r = 0; r < data.rowCount; ++r) {
            if (input.decodeMtfBytes(row.data(), kRowLength) != kRowLength) {
                state.SkipWithError("short row");
                break;
            }
        }
        benchmark::DoNotOptimize(row.data());
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(data.rowCount * kRowLength * state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(data.bytes.size() * state.iterations()));
}
BENCHMARK(BM_DecodeMtfBytes)->Unit(benchmark::kMillisecond);

}  // namespace
