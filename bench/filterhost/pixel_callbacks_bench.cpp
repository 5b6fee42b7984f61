// Throughput of the pixel callbacks as a filter uses them: every row read
// whole through ReadRowRgb and written back through WriteRowRgb.
#include <benchmark/benchmark.h>

#include <vector>

#include "filterhost/pixel_callbacks.h"

namespace tinta {
namespace {

void ReadAndWriteFullRows(benchmark::State& state) {
    const auto width = static_cast<int32_t>(state.range(0));
    const auto height = static_cast<int32_t>(state.range(1));
    WorkImagePtr image = AllocIpl(width, height, 8);
    SetChannels(*image, 90);
    CurrentWorkImageScope current(image.get());
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (auto _ : state) {
        for (int32_t y = 0; y < height; ++y) {
            ReadTable.rgb(y, 0, width - 1, row.data());
            row[0] ^= 1;
            WriteTable.rgb(y, 0, width - 1, row.data());
        }
        benchmark::ClobberMemory();
    }
    const double pixels = static_cast<double>(width) * height;
    state.counters["megapixels"] = benchmark::Counter(
        pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(ReadAndWriteFullRows)->Args({1024, 768})->Args({4096, 3072});

}  // namespace
}  // namespace tinta
