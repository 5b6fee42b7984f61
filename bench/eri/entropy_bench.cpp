#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "eriwriter/arithmetic_encoder.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/huffman_encoder.h"
#include "span_bit_input.h"

namespace {

using eribench::kStreamBytes;
using eribench::SpanBitInput;

// Prediction residuals of a photograph-like image: a two-sided geometric
// distribution around 0 with short zero runs, coded in blocks of 64 x 3 values.
constexpr std::uint32_t kBlockValues = 192;

struct ValueData {
    std::vector<std::uint8_t> bytes;
    std::size_t blocks = 0;
};

const ValueData& huffmanValueData() {
    static const ValueData data = [] {
        std::mt19937 random(3);
        std::geometric_distribution<int> magnitude(0.25);
        eriwriter::HuffmanEncoder encoder;
        eriwriter::BitWriter bits;
        ValueData result;
        std::vector<std::int32_t> block(kBlockValues);
        while (bits.bitCount() < kStreamBytes * 8) {
            for (auto& v : block) {
                const int m = std::min(magnitude(random), 127);
                v = random() % 2 != 0 ? m : -m;
            }
            encoder.encodeValues(bits, block);
            ++result.blocks;
        }
        result.bytes = bits.bytes();
        return result;
    }();
    return data;
}

void BM_DecodeHuffmanValues(benchmark::State& state) {
    const ValueData& data = huffmanValueData();
    std::vector<std::int32_t> block(kBlockValues);
    for (auto _ : state) {
        SpanBitInput input(data.bytes);
        input.initHuffmanTrees();
        for (std::size_t b = 0; b < data.blocks; ++b) {
            if (input.decodeHuffmanValues(block.data(), kBlockValues) != kBlockValues) {
                state.SkipWithError("short block");
                break;
            }
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(data.blocks * kBlockValues * state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(data.bytes.size() * state.iterations()));
}
BENCHMARK(BM_DecodeHuffmanValues)->Unit(benchmark::kMillisecond);

// Rows of a palette image: colours of a geometric distribution, runs of equal bytes.
constexpr std::uint32_t kRowLength = 1024;

struct RowData {
    std::vector<std::uint8_t> bytes;
    std::size_t rows = 0;
};

std::vector<std::uint8_t> paletteRow(std::mt19937& random) {
    static std::geometric_distribution<int> colour(0.06);
    std::vector<std::uint8_t> row(kRowLength);
    for (std::size_t i = 0; i < row.size(); ++i) {
        row[i] =
            i > 0 && random() % 4 == 0 ? row[i - 1] : static_cast<std::uint8_t>(colour(random));
    }
    return row;
}

const RowData& huffmanRowData() {
    static const RowData data = [] {
        std::mt19937 random(4);
        eriwriter::HuffmanEncoder encoder;
        eriwriter::BitWriter bits;
        RowData result;
        while (bits.bitCount() < kStreamBytes * 8) {
            encoder.encodeBytes(bits, paletteRow(random));
            ++result.rows;
        }
        result.bytes = bits.bytes();
        return result;
    }();
    return data;
}

void BM_DecodeHuffmanBytes(benchmark::State& state) {
    const RowData& data = huffmanRowData();
    std::vector<std::uint8_t> row(kRowLength);
    for (auto _ : state) {
        SpanBitInput input(data.bytes);
        input.initHuffmanTrees();
        for (std::size_t r = 0; r < data.rows; ++r) {
            if (input.decodeHuffmanBytes(row.data(), kRowLength) != kRowLength) {
                state.SkipWithError("short row");
                break;
            }
        }
        benchmark::DoNotOptimize(row.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(data.rows * kRowLength * state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(data.bytes.size() * state.iterations()));
}
BENCHMARK(BM_DecodeHuffmanBytes)->Unit(benchmark::kMillisecond);

// 8-bit palette rows through the arithmetic coder, as the driver decodes them.
const RowData& arithmeticRowData() {
    static const RowData data = [] {
        std::mt19937 random(5);
        eriwriter::ArithmeticEncoder encoder(8);
        RowData result;
        // About 16 MB once coded, at roughly 4.8 bits per symbol.
        const std::size_t rows = kStreamBytes * 8 / (kRowLength * 48 / 10);
        for (; result.rows < rows; ++result.rows) {
            for (const std::uint8_t byte : paletteRow(random)) {
                encoder.encode(static_cast<std::int8_t>(byte));
            }
        }
        result.bytes = encoder.finish({});
        return result;
    }();
    return data;
}

void BM_DecodeArithmeticSymbols(benchmark::State& state) {
    const RowData& data = arithmeticRowData();
    std::vector<std::int32_t> row(kRowLength);
    for (auto _ : state) {
        SpanBitInput input(data.bytes);
        input.initArithmetic(8);
        for (std::size_t r = 0; r < data.rows; ++r) {
            if (input.runDecodeSymbols(row.data(), kRowLength) != kRowLength) {
                state.SkipWithError("short row");
                break;
            }
        }
        benchmark::DoNotOptimize(row.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(data.rows * kRowLength * state.iterations()));
    state.SetBytesProcessed(static_cast<std::int64_t>(data.bytes.size() * state.iterations()));
    state.counters["stream_MB"] = static_cast<double>(data.bytes.size()) / (1 << 20);
}
BENCHMARK(BM_DecodeArithmeticSymbols)->Unit(benchmark::kMillisecond);

}  // namespace
