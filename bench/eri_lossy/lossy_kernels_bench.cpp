// Throughput of the lossy kernels on each processor path; the argument
// selects the path (0 plain, 1 as detected).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "eri/core/colour_output.h"
#include "eri/core/inverse_transform.h"
#include "eri/core/processor_features.h"

namespace {

// The paths detection chose, or the plain ones when the argument is 0.
void choosePath(const benchmark::State& state) {
    eri::initializeDecodingCore();
    eri::detectProcessorFeatures(0);
    if (state.range(1) == 0) {
        eri::clearProcessorFeatures(eri::kFloatSimd);
    }
}

std::vector<float> randomFloats(std::size_t count, float low, float high) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(low, high);
    std::vector<float> values(count);
    for (float& v : values) {
        v = value(random);
    }
    return values;
}

void BM_InverseTransform(benchmark::State& state) {
    choosePath(state);
    const int s = static_cast<int>(state.range(0));
    const int area = 1 << (2 * s);
    const std::vector<float> coefficients = randomFloats(area, -50.0f, 50.0f);
    std::vector<float> output(area);
    std::vector<float> work(area + (1 << s));
    const eri::TransformWork transformWork{work.data(), work.data() + area};
    for (auto _ : state) {
        eri::inverseTransformBlock(output.data(), coefficients.data(), s, transformWork);
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * area);
}
BENCHMARK(BM_InverseTransform)->ArgsProduct({{3, 4, 5}, {0, 1}})->ArgNames({"degree", "simd"});

struct Planes {
    explicit Planes(int side)
        : side(side), storage(randomFloats(16 * side * side, -40.0f, 290.0f)) {
        for (int i = 0; i < 16; ++i) {
            table[i / 4][i % 4] = storage.data() + i * side * side;
        }
    }
    int side;
    std::vector<float> storage;
    float* table[4][4];
};

void BM_ConvertColourPlanes(benchmark::State& state) {
    choosePath(state);
    constexpr int side = 16;
    Planes planes(side);
    const std::vector<float> original = planes.storage;
    // Each round starts from the same planes; the copy is part of the time on both paths.
    for (auto _ : state) {
        std::copy(original.begin(), original.end(), planes.storage.begin());
        eri::convertColourPlanes(planes.table, side);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 4 * side * side);
}
BENCHMARK(BM_ConvertColourPlanes)->ArgsProduct({{16}, {0, 1}})->ArgNames({"side", "simd"});

// Pixels per second of writing a whole macroblock's four quadrants.
void BM_WritePixels(benchmark::State& state) {
    choosePath(state);
    const int pixelStep = static_cast<int>(state.range(0));
    const bool alpha = pixelStep == 5;
    const int step = alpha ? 4 : pixelStep;
    constexpr int side = 16;
    Planes planes(side);
    std::vector<std::uint8_t> pixels(2 * side * 2 * side * 4);
    const eri::LossyWriter writer = alpha ? eri::writePixels4 : eri::writePixels3;
    for (auto _ : state) {
        for (int q = 0; q < 4; ++q) {
            const float* quadrant[4] = {planes.table[0][q], planes.table[1][q], planes.table[2][q],
                                        planes.table[3][q]};
            std::uint8_t* at =
                pixels.data() + (q / 2) * side * 2 * side * step + (q % 2) * side * step;
            writer(at, 2 * side * step, quadrant, side, side, side, step);
        }
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 4 * side * side);
}
// Pixel step 3 and 4 through writePixels3; 5 stands for writePixels4.
BENCHMARK(BM_WritePixels)->ArgsProduct({{3, 4, 5}, {0, 1}})->ArgNames({"step", "simd"});

}  // namespace
