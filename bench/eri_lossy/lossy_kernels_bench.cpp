// Throughput of the lossy kernels on each processor path; the argument
// selects the path (0 plain, 1 as detected).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "eri/core/colour_output.h"
#include "eri/core/inverse_transform.h"
#include "eri/core/lossy_simd_kernels.h"
#include "eri/core/processor_features.h"
#include "eri/lossy_frame_decoder.h"

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

#ifdef ERI_FLOAT_SIMD
// Macroblocks of 8 x 8 blocks at 4:1:1 shaped like those of a photo at
// middle quality: luminance with a few dozen low-frequency values, chroma
// mostly DC alone. The fused kernels from coefficients to 3-byte pixels.
void BM_FusedMacroblock(benchmark::State& state) {
    choosePath(state);
    constexpr int side = 8;
    constexpr int area = side * side;
    constexpr int blocks = 6;
    constexpr int variants = 64;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> level(-6, 6);
    std::uniform_int_distribution<int> percent(0, 99);
    std::vector<std::int32_t> values(variants * area * blocks + 16);
    for (int m = 0; m < variants; ++m) {
        const bool chromaAc = percent(random) < 10;
        std::int32_t* macro = values.data() + m * area * blocks;
        for (int p = 0; p < area; ++p) {
            for (int b = 0; b < blocks; ++b) {
                const bool carries =
                    p == 0 || (p < (b < 4 ? 24 : 6) && (b < 4 || chromaAc) && percent(random) < 45);
                macro[p * blocks + b] = carries ? level(random) * (p == 0 ? 20 : 1) : 0;
            }
        }
    }
    std::vector<std::int32_t> zigzag(area);
    eri::buildZigzagTable(zigzag.data(), side);
    float dc[16] = {};
    float low[16] = {};
    float high[16] = {};
    for (int b = 0; b < blocks; ++b) {
        dc[b] = 2.0f;
        low[b] = b < 4 ? 3.0f : 5.0f;
        high[b] = b < 4 ? 6.0f : 9.0f;
    }
    std::vector<float> storage(32 * area);
    float* sampleBlocks[16];
    for (int b = 0; b < 16; ++b) {
        sampleBlocks[b] = storage.data() + b * area;
    }
    float* const work = storage.data() + 16 * area;
    std::vector<std::uint8_t> pixels(2 * side * 2 * side * 3);
    const eri::detail::MacroblockSamples samples{sampleBlocks, eri::kLossySampling411, side, 6};
    const eri::detail::MacroblockTarget target{pixels.data(), 2 * side * 3, 3, 3,
                                               2 * side,      2 * side};
    int m = 0;
    for (auto _ : state) {
        const eri::detail::QuantisedMacroblock block{
            values.data() + m * area * blocks, blocks, side, zigzag.data(), dc, low, high};
        eri::detail::reconstructBlocksSimd(block, sampleBlocks, work);
        eri::detail::writeMacroblockSimd(samples, target);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
        m = (m + 1) % variants;
    }
    state.SetItemsProcessed(state.iterations() * 4 * area);
}
BENCHMARK(BM_FusedMacroblock)->ArgsProduct({{411}, {1}})->ArgNames({"sampling", "simd"});
#endif

}  // namespace
