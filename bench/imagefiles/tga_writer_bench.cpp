// WriteTga throughput in bytes of input pixels per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <random>
#include <string>

#include "imagefiles/tga_writer.h"

namespace tinta {
namespace {

constexpr int32_t kSide = 4096;

// Smooth gradients with a little noise, as in a photograph: few equal
// neighbours, so most packets are raw.
WorkImagePtr PhotoLikeImage() {
    auto image = AllocIpl(kSide, kSide, 8);
    std::mt19937 random(1);
    for (int32_t y = 0; y < kSide; ++y) {
        uint8_t* pixel = image->Row(y);
        for (int32_t x = 0; x < kSide; ++x, pixel += 4) {
            const double wave = std::sin(x * 0.01) * std::cos(y * 0.013);
            pixel[0] = static_cast<uint8_t>(x / 16 + random() % 4);
            pixel[1] = static_cast<uint8_t>(y / 16 + random() % 4);
            pixel[2] = static_cast<uint8_t>(128 + 100 * wave + random() % 4);
            pixel[3] = 255;
        }
    }
    return image;
}

// A flat picture: a few large areas of one colour each.
WorkImagePtr FlatImage() {
    auto image = AllocIpl(kSide, kSide, 8);
    for (int32_t y = 0; y < kSide; ++y) {
        uint8_t* pixel = image->Row(y);
        for (int32_t x = 0; x < kSide; ++x, pixel += 4) {
            const bool inside = (x - 2048) * (x - 2048) + (y - 2048) * (y - 2048) < 1500 * 1500;
            pixel[0] = inside ? 40 : 250;
            pixel[1] = inside ? 90 : 250;
            pixel[2] = static_cast<uint8_t>(y < 2048 ? 200 : 20);
            pixel[3] = 255;
        }
    }
    return image;
}

void WriteImage(benchmark::State& state, const WorkImage& image, bool encode) {
    const std::string path = "/tmp/tinta_tga_bench_" + std::to_string(getpid()) + ".tga";
    for (auto _ : state) {
        if (WriteTga(image, path, encode) != kTgaWritten) {
            state.SkipWithError("WriteTga failed");
            break;
        }
    }
    unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * image.imageSize);
}

void BM_WriteTgaPhotoLike(benchmark::State& state) {
    const auto image = PhotoLikeImage();
    WriteImage(state, *image, true);
}
BENCHMARK(BM_WriteTgaPhotoLike)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteTgaFlat(benchmark::State& state) {
    const auto image = FlatImage();
    WriteImage(state, *image, true);
}
BENCHMARK(BM_WriteTgaFlat)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteTgaPhotoLikeRaw(benchmark::State& state) {
    const auto image = PhotoLikeImage();
    WriteImage(state, *image, false);
}
BENCHMARK(BM_WriteTgaPhotoLikeRaw)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tinta
