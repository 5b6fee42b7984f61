// LoadWorkImage of a 4096 x 4096 PNG with alpha: megapixels per second.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <cstdio>
#include <string>

#include "imagefiles/dib_buffer.h"
#include "imagefiles/format_dispatch.h"

namespace {

constexpr int kSide = 4096;

// A photo-like picture: smooth gradients with fine ripples and a soft alpha
// ramp, so that the PNG compresses like a real picture rather than a flat one.
const std::string& BenchmarkPng() {
    static const std::string path = [] {
        const std::string file = "/tmp/tinta_load_bench_4096.png";
        QImage picture(kSide, kSide, QImage::Format_ARGB32);
        for (int y = 0; y < kSide; ++y) {
            auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < kSide; ++x) {
                const int ripple = static_cast<int>(12 * std::sin(x * 0.05) * std::cos(y * 0.07));
                row[x] = qRgba((x / 16 + ripple) & 0xFF, (y / 16 - ripple) & 0xFF,
                               ((x + y) / 32) & 0xFF, (x * 255 / (kSide - 1)) & 0xFF);
            }
        }
        if (!picture.save(QString::fromStdString(file), "png")) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
        }
        return file;
    }();
    return path;
}

void BM_LoadWorkImagePng4096(benchmark::State& state) {
    const std::string& path = BenchmarkPng();
    tinta::DibBuffer buffer;
    for (auto _ : state) {
        tinta::WorkImagePtr image = tinta::LoadWorkImage(path, buffer).image;
        if (!image) {
            state.SkipWithError("the PNG could not be loaded");
            return;
        }
        benchmark::DoNotOptimize(image->pixels);
    }
    const double pixels = double{kSide} * kSide;
    state.counters["megapixels/s"] =
        benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_LoadWorkImagePng4096)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace
