// Decode speed of a 2048 x 2048 photo-like lossy picture (4:1:1 and 4:4:4,
// gamma and Huffman architectures), frame alone on both processor paths and
// whole file through the loader on the detected paths, next to
// libjpeg-turbo decoding the same picture stored as a JPEG of similar
// quality (chroma 2 x 2 subsampled for 4:1:1, full for 4:4:4).
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include "eri/core/processor_features.h"
#include "eri/dib_block.h"
#include "eri/eri_loader.h"
#include "eri/lossy_frame_decoder.h"
#include "eri/memory_input_stream.h"
#include "eri/stream_bit_input.h"
#include "eriwriter/container_writer.h"
#include "eriwriter/lossy_encoding.h"
#include "eriwriter/lossy_frame_encoder.h"

namespace {

constexpr int kSide = 2048;

// Smooth light, a few hard edges, fine texture and sensor-like noise.
const eriwriter::LossyPicture& photoLikePicture() {
    static const eriwriter::LossyPicture picture = [] {
        eriwriter::LossyPicture p{kSide, kSide, 3, {}};
        p.pixels.resize(static_cast<std::size_t>(kSide) * kSide * 3);
        std::mt19937 random(11);
        std::normal_distribution<double> noise(0.0, 3.0);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const double sky = 150 + 60 * std::sin(x * 0.004) * std::cos(y * 0.003);
                const bool object = (x - 900) * (x - 900) + (y - 1200) * (y - 1200) < 400 * 400;
                const double texture = 18 * std::sin(x * 0.21 + 3 * std::sin(y * 0.05)) *
                                       std::sin(y * 0.17 + x * 0.01);
                const double base = object ? 70 + texture : sky + texture * 0.3;
                const double values[3] = {base * (object ? 0.6 : 1.1), base * (object ? 1.2 : 0.95),
                                          base * (object ? 0.9 : 0.7)};
                for (int k = 0; k < 3; ++k) {
                    p.pixels[(static_cast<std::size_t>(y) * kSide + x) * 3 + k] =
                        static_cast<std::uint8_t>(
                            std::clamp(values[k] + noise(random), 0.0, 255.0));
                }
            }
        }
        return p;
    }();
    return picture;
}

double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double squares = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        squares += d * d;
    }
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(a.size()) / squares);
}

struct EriFrame {
    eri::ImageInfo info;
    std::vector<std::uint8_t> bytes;
    double psnr = 0;
};

int decodeEri(const EriFrame& frame, eri::MemoryInputStream& stream,
              std::vector<std::uint8_t>& pixels) {
    eri::LossyFrameDecoder decoder;
    if (decoder.initialize(frame.info) != 0) {
        return 1;
    }
    stream.seek(0);
    eri::StreamBitInput input(stream, 0x10000);
    const eri::LossyTarget target{pixels.data(), kSide, kSide, kSide * 3, 3};
    return decoder.decode(input, target, eri::writePixels3, {});
}

const EriFrame& eriFrame(std::uint32_t sampling, std::int32_t architecture) {
    static std::map<std::pair<std::uint32_t, std::int32_t>, EriFrame> frames;
    auto [at, fresh] = frames.try_emplace({sampling, architecture});
    if (fresh) {
        const auto& picture = photoLikePicture();
        const bool huffman = architecture == eri::kHuffmanArchitecture;
        eriwriter::LossyQuality quality;
        quality.dcLuma = 127;
        quality.dcChroma = 127;
        quality.bandCodes = {40, 24, 20, 12};
        const auto content = eriwriter::quantisePicture(picture, 3, sampling, quality, huffman);
        eriwriter::LossyFrameOptions options;
        options.architecture = architecture;
        options.inFront = false;
        at->second.info = eriwriter::lossyImageInfo(picture, architecture, 3, sampling, 24);
        at->second.bytes = eriwriter::encodeLossyFrame(content, options);
        std::vector<std::uint8_t> pixels(picture.pixels.size());
        eri::initializeDecodingCore();
        eri::MemoryInputStream stream(at->second.bytes);
        decodeEri(at->second, stream, pixels);
        at->second.psnr = psnr(picture.pixels, pixels);
    }
    return at->second;
}

std::vector<std::uint8_t> encodeJpeg(int quality, bool subsampled) {
    const auto& picture = photoLikePicture();
    jpeg_compress_struct compress{};
    jpeg_error_mgr errors{};
    compress.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compress);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compress, &buffer, &size);
    compress.image_width = kSide;
    compress.image_height = kSide;
    compress.input_components = 3;
    compress.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&compress);
    jpeg_set_quality(&compress, quality, TRUE);
    const int chroma = subsampled ? 2 : 1;
    compress.comp_info[0].h_samp_factor = chroma;
    compress.comp_info[0].v_samp_factor = chroma;
    jpeg_start_compress(&compress, TRUE);
    while (compress.next_scanline < compress.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(
            picture.pixels.data() + static_cast<std::size_t>(compress.next_scanline) * kSide * 3);
        jpeg_write_scanlines(&compress, &row, 1);
    }
    jpeg_finish_compress(&compress);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&compress);
    std::free(buffer);
    return bytes;
}

void decodeJpeg(const std::vector<std::uint8_t>& jpeg, std::vector<std::uint8_t>& pixels) {
    jpeg_decompress_struct decompress{};
    jpeg_error_mgr errors{};
    decompress.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decompress);
    jpeg_mem_src(&decompress, jpeg.data(), jpeg.size());
    jpeg_read_header(&decompress, TRUE);
    decompress.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&decompress);
    while (decompress.output_scanline < decompress.output_height) {
        JSAMPROW row =
            pixels.data() + static_cast<std::size_t>(decompress.output_scanline) * kSide * 3;
        jpeg_read_scanlines(&decompress, &row, 1);
    }
    jpeg_finish_decompress(&decompress);
    jpeg_destroy_decompress(&decompress);
}

struct JpegFile {
    std::vector<std::uint8_t> bytes;
    int quality = 0;
    double psnr = 0;
};

// The JPEG quality whose PSNR comes closest to the lossy ERI frame's.
const JpegFile& jpegFile(bool subsampled, double targetPsnr) {
    static std::map<bool, JpegFile> files;
    auto [at, fresh] = files.try_emplace(subsampled);
    if (fresh) {
        std::vector<std::uint8_t> pixels(photoLikePicture().pixels.size());
        double bestGap = 1e9;
        for (int quality = 50; quality <= 98; quality += 4) {
            auto bytes = encodeJpeg(quality, subsampled);
            decodeJpeg(bytes, pixels);
            const double p = psnr(photoLikePicture().pixels, pixels);
            if (std::fabs(p - targetPsnr) < bestGap) {
                bestGap = std::fabs(p - targetPsnr);
                at->second = {std::move(bytes), quality, p};
            }
        }
    }
    return at->second;
}

std::uint32_t samplingOf(const benchmark::State& state) {
    return state.range(0) == 411 ? eriwriter::kSampling411 : eriwriter::kSampling444;
}

// The frame decoder alone, on the paths detection chose (simd 1) or with the
// SIMD paths switched off (simd 0).
void BM_LossyEriDecode(benchmark::State& state) {
    const auto architecture = static_cast<std::int32_t>(state.range(2));
    const EriFrame& frame = eriFrame(samplingOf(state), architecture);
    eri::initializeDecodingCore();
    if (state.range(1) == 0) {
        eri::clearProcessorFeatures(eri::kIntegerSimd | eri::kFloatSimd | eri::kWideFloatSimd);
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kSide) * kSide * 3);
    eri::MemoryInputStream stream(frame.bytes);
    for (auto _ : state) {
        if (decodeEri(frame, stream, pixels) != 0) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    eri::detectProcessorFeatures(0);
    state.counters["MPixels/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
    state.counters["psnr"] = frame.psnr;
    state.counters["bytes"] = static_cast<double>(frame.bytes.size());
}
BENCHMARK(BM_LossyEriDecode)
    ->ArgsProduct({{411, 444}, {0, 1}, {eri::kGammaArchitecture, eri::kHuffmanArchitecture}})
    ->ArgNames({"sampling", "simd", "arch"})
    ->Unit(benchmark::kMillisecond);

// A whole gamma-coded lossy file through loadEriImage, as a run loads it:
// container, decode and DIB, on the paths detection chose.
void BM_LossyEriLoad(benchmark::State& state) {
    const EriFrame& frame = eriFrame(samplingOf(state), eri::kGammaArchitecture);
    const std::vector<std::uint8_t> file = eriwriter::eriFile(frame.info, frame.bytes);
    eri::MemoryInputStream stream(file);
    eri::HeapDibBlock block;
    for (auto _ : state) {
        stream.seek(0);
        if (eri::loadEriImage(stream, block) == 0) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["MPixels/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
    state.counters["features"] = eri::processorFeatures;
}
BENCHMARK(BM_LossyEriLoad)->Arg(411)->Arg(444)->ArgName("sampling")->Unit(benchmark::kMillisecond);

void BM_JpegDecode(benchmark::State& state) {
    const bool subsampled = state.range(0) == 411;
    const double target = eriFrame(samplingOf(state), eri::kGammaArchitecture).psnr;
    const JpegFile& jpeg = jpegFile(subsampled, target);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kSide) * kSide * 3);
    for (auto _ : state) {
        decodeJpeg(jpeg.bytes, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["MPixels/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
    state.counters["psnr"] = jpeg.psnr;
    state.counters["quality"] = jpeg.quality;
    state.counters["bytes"] = static_cast<double>(jpeg.bytes.size());
}
BENCHMARK(BM_JpegDecode)->Arg(411)->Arg(444)->ArgName("sampling")->Unit(benchmark::kMillisecond);

}  // namespace
