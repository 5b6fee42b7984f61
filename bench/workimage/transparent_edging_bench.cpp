// ApplyTransparentEdging throughput in pixels per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "workimage/transparent_edging.h"

namespace tinta {
namespace {

constexpr int32_t kSide = 4096;

// Opaque discs and bars scattered over a transparent background, so every
// branch of both passes runs.
WorkImagePtr ScatteredShapes() {
    auto image = AllocIpl(kSide, kSide, 8);
    ClearIpl(*image);
    std::mt19937 random(2);
    for (int shape = 0; shape < 600; ++shape) {
        const int cx = static_cast<int>(random() % kSide);
        const int cy = static_cast<int>(random() % kSide);
        const int radius = 3 + static_cast<int>(random() % 60);
        const bool bar = shape % 3 == 0;
        const uint8_t colour[4] = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                                   static_cast<uint8_t>(random()), 255};
        for (int y = cy - radius; y <= cy + radius; ++y) {
            for (int x = cx - radius; x <= cx + radius; ++x) {
                if (x < 0 || y < 0 || x >= kSide || y >= kSide) {
                    continue;
                }
                const int dx = x - cx;
                const int dy = y - cy;
                if (bar ? std::abs(dy) <= 2 : dx * dx + dy * dy <= radius * radius) {
                    std::memcpy(image->PixelAt(x, y), colour, 4);
                }
            }
        }
    }
    return image;
}

void BM_TransparentEdging(benchmark::State& state) {
    const auto original = ScatteredShapes();
    auto image = AllocIpl(kSide, kSide, 8);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(image->pixels, original->pixels, static_cast<size_t>(original->imageSize));
        state.ResumeTiming();
        if (ApplyTransparentEdging(*image, 4) != kEdgingDone) {
            state.SkipWithError("edging failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t{kSide} * kSide);
}
BENCHMARK(BM_TransparentEdging)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tinta
