// Decoding speed of lossless ERI pictures in each coding mode, beside libpng
// decoding the same pixels from a PNG, in the same run. A 2048 x 2048 24-bit
// photo-like picture: smooth shapes, a little texture and sensor noise.
#include <benchmark/benchmark.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "eri/core/processor_features.h"
#include "eri/dib_block.h"
#include "eri/eri_loader.h"
#include "eri/memory_input_stream.h"
#include "eriwriter/container_writer.h"
#include "eriwriter/lossless_encoder.h"

namespace {

constexpr std::int32_t kSide = 2048;
constexpr double kPixels = double(kSide) * kSide;

const eriwriter::PlanePicture& photo() {
    static const eriwriter::PlanePicture picture = [] {
        std::mt19937 random(11);
        std::normal_distribution<double> noise(0.0, 2.0);
        eriwriter::PlanePicture p{kSide, kSide, {}};
        p.planes.assign(3, std::vector<std::int32_t>(std::size_t(kSide) * kSide));
        for (std::int32_t y = 0; y < kSide; ++y) {
            for (std::int32_t x = 0; x < kSide; ++x) {
                const double u = double(x) / kSide;
                const double v = double(y) / kSide;
                const double light = 0.5 + 0.3 * std::sin(u * 5.0 + v * 3.0) +
                                     0.15 * std::cos(std::hypot(u - 0.4, v - 0.6) * 30.0);
                const double texture = 0.05 * std::sin(x * 0.31) * std::sin(y * 0.27);
                for (int c = 0; c < 3; ++c) {
                    const double tint = 0.8 + 0.2 * std::sin(u * (c + 2) + c);
                    const double value = (light * tint + texture) * 255.0 + noise(random);
                    p.planes[c][std::size_t(y) * kSide + x] =
                        static_cast<std::int32_t>(std::clamp(value, 0.0, 255.0));
                }
            }
        }
        return p;
    }();
    return picture;
}

std::vector<std::uint8_t> eriPhoto(std::uint32_t frameCode, std::int32_t architecture) {
    eri::ImageInfo info;
    info.codingVersion = 0x00020200;
    info.transformation = eri::kLosslessTransformation;
    info.architecture = architecture;
    info.formatType = 1;
    info.width = kSide;
    info.height = kSide;
    info.bitsPerPixel = 24;
    info.blockingDegree = 3;
    eriwriter::LosslessFrameOptions options;
    options.frameCode = frameCode;
    options.architecture = architecture;
    options.blockingDegree = 3;
    // Planes 1 and 2 predicted from plane 0, rows integrated, as an encoder
    // would choose for a photograph.
    const std::size_t blocks = std::size_t(kSide / 8) * (kSide / 8);
    options.codes.assign(blocks, architecture == -4 ? 0x47 : 3);
    return eriwriter::eriFile(info, *eriwriter::encodeLosslessFrame(photo(), options));
}

std::vector<std::uint8_t> pngPhoto() {
    const eriwriter::PlanePicture& p = photo();
    std::vector<std::uint8_t> rgb(std::size_t(kSide) * kSide * 3);
    for (std::size_t i = 0; i < std::size_t(kSide) * kSide; ++i) {
        rgb[3 * i] = static_cast<std::uint8_t>(p.planes[2][i]);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(p.planes[1][i]);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(p.planes[0][i]);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kSide;
    image.height = kSide;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    std::vector<std::uint8_t> png(size);
    png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr);
    png.resize(size);
    return png;
}

void reportRate(benchmark::State& state, std::size_t fileBytes) {
    state.counters["MP/s"] =
        benchmark::Counter(kPixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["file_KiB"] = double(fileBytes) / 1024.0;
}

void decodeEri(benchmark::State& state, std::uint32_t frameCode, std::int32_t architecture) {
    eri::initializeDecodingCore();
    const std::vector<std::uint8_t> file = eriPhoto(frameCode, architecture);
    eri::HeapDibBlock block;
    for (auto _ : state) {
        eri::MemoryInputStream stream(file);
        if (eri::loadEriImage(stream, block) == 0) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(block.data());
    }
    reportRate(state, file.size());
}

void BM_EriHuffman(benchmark::State& state) {
    decodeEri(state, 8, -4);
}
void BM_EriArithmetic(benchmark::State& state) {
    decodeEri(state, 4, 32);
}
void BM_EriGamma(benchmark::State& state) {
    decodeEri(state, 4, -1);
}

void BM_LibPng(benchmark::State& state) {
    const std::vector<std::uint8_t> png = pngPhoto();
    std::vector<std::uint8_t> pixels(std::size_t(kSide) * kSide * 3);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) {
            state.SkipWithError("png header");
            break;
        }
        image.format = PNG_FORMAT_BGR;
        if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
            state.SkipWithError("png data");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    reportRate(state, png.size());
}

}  // namespace

BENCHMARK(BM_LibPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EriHuffman)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EriArithmetic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EriGamma)->Unit(benchmark::kMillisecond);
