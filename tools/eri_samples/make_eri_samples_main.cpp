// tinta_make_eri_samples FOLDER          writes a few demo pictures
// tinta_make_eri_samples --corpus FOLDER writes many small pictures of every
//                                        kind the decoder accepts (fuzz seeds)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "eri/image_info.h"
#include "eriwriter/container_writer.h"
#include "eriwriter/lossless_encoder.h"
#include "eriwriter/lossy_seeds.h"

namespace {

constexpr std::uint32_t kColour = 1;
constexpr std::uint32_t kGrey = 2;
constexpr std::uint32_t kColourAlpha = 0x04000001;

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A drawn picture: a sky gradient, a sun, rolling hills; plane 3 (alpha) a soft disc.
eriwriter::PlanePicture scene(std::int32_t width, std::int32_t height, int planes, int bits) {
    eriwriter::PlanePicture picture{width, height, {}};
    picture.planes.assign(planes, std::vector<std::int32_t>(std::size_t(width) * height));
    const double top = (1 << bits) - 1;
    for (std::int32_t line = 0; line < height; ++line) {
        const double v = 1.0 - double(line) / (height - 1);  // decoded line 0 is the bottom
        for (std::int32_t x = 0; x < width; ++x) {
            const double u = double(x) / (width - 1);
            const double hill = 0.3 + 0.08 * std::sin(u * 9.0) + 0.05 * std::sin(u * 23.0);
            const double sun = std::hypot(u - 0.7, v - 0.3);
            double rgb[3];
            if (v > 1.0 - hill) {
                rgb[0] = 0.15 + 0.1 * std::sin(u * 40.0);
                rgb[1] = 0.45 + 0.2 * (1.0 - v);
                rgb[2] = 0.2;
            } else if (sun < 0.1) {
                rgb[0] = 0.3;
                rgb[1] = 0.85;
                rgb[2] = 1.0;
            } else {
                rgb[0] = 0.9 - 0.5 * v;
                rgb[1] = 0.4 + 0.3 * v;
                rgb[2] = 0.5 + 0.5 * v;
            }
            const std::size_t i = std::size_t(line) * width + x;
            for (int p = 0; p < planes && p < 3; ++p) {
                picture.planes[p][i] = static_cast<std::int32_t>(rgb[p] * top + 0.5);
            }
            if (planes == 4) {
                const double d = std::hypot(u - 0.5, v - 0.5) / 0.5;
                picture.planes[3][i] =
                    static_cast<std::int32_t>(std::clamp(1.2 - d, 0.0, 1.0) * top);
            }
            if (planes == 1) {
                picture.planes[0][i] =
                    static_cast<std::int32_t>((rgb[0] + rgb[1] + rgb[2]) / 3 * top);
            }
        }
    }
    return picture;
}

std::vector<std::uint8_t> blockFile(const eri::ImageInfo& info, std::uint32_t frameCode,
                                    bool codesInFront, std::uint32_t seed,
                                    const eriwriter::PlanePicture& picture) {
    eriwriter::LosslessFrameOptions options;
    options.frameCode = frameCode;
    options.codingVersion = info.codingVersion;
    options.architecture = info.architecture;
    options.blockingDegree = info.blockingDegree;
    options.codesInFront = codesInFront;
    options.sampleBits = info.bitsPerPixel == 16 ? 5 : 8;
    options.seed = seed;
    return eriwriter::eriFile(info, *eriwriter::encodeLosslessFrame(picture, options));
}

int writeSamples(const std::string& folder) {
    const std::int32_t w = 160;
    const std::int32_t h = 120;
    struct Sample {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> palette(1024);
    std::vector<std::uint8_t> indices(std::size_t(w) * h);
    for (int i = 0; i < 256; ++i) {
        palette[4 * i] = static_cast<std::uint8_t>(i);
        palette[4 * i + 1] = static_cast<std::uint8_t>(255 - i);
        palette[4 * i + 2] = static_cast<std::uint8_t>((i * 5) & 0xFF);
    }
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            indices[std::size_t(y) * w + x] = static_cast<std::uint8_t>(((x / 16) ^ (y / 16)) * 37);
        }
    }
    const Sample samples[] = {
        {"hills_huffman.eri",
         blockFile(eriwriter::losslessImageInfo(0x00020200, -4, kColour, 24, w, h, 3), 8, true, 1,
                   scene(w, h, 3, 8))},
        {"hills_arithmetic.eri",
         blockFile(eriwriter::losslessImageInfo(0x00020200, 32, kColour, 24, w, h, 3), 4, true, 2,
                   scene(w, h, 3, 8))},
        {"disc_alpha.eri",
         blockFile(eriwriter::losslessImageInfo(0x00020200, -1, kColourAlpha, 32, 96, 96, 4), 1,
                   false, 3, scene(96, 96, 4, 8))},
        {"hills_grey.eri",
         blockFile(eriwriter::losslessImageInfo(0x00020100, -1, kGrey, 8, w, h, 3), 1, true, 4,
                   scene(w, h, 1, 8))},
        {"checks_palette.eri",
         eriwriter::eriFile(eriwriter::losslessImageInfo(0x00020200, -4, kColour, 8, w, h, 0),
                            eriwriter::encodeLineImageFrame(-4, w, indices), &palette)},
    };
    for (const Sample& sample : samples) {
        const std::string path = folder + "/" + sample.name;
        if (!writeFile(path, sample.bytes)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("wrote %s\n", path.c_str());
    }
    return 0;
}

int writeCorpus(const std::string& folder) {
    struct Format {
        std::uint32_t type;
        std::uint32_t bits;
    };
    const Format formats[] = {
        {kColour, 16}, {kColour, 24}, {kColour, 32}, {kColourAlpha, 32}, {kGrey, 8}};
    std::mt19937 random(7);
    int count = 0;
    auto save = [&](const std::vector<std::uint8_t>& bytes) {
        return writeFile(folder + "/seed" + std::to_string(count++) + ".eri", bytes);
    };
    std::uint32_t seed = 0;
    for (const std::uint32_t frame : {1u, 4u, 8u}) {
        for (const std::int32_t architecture : {-1, 32, -4}) {
            if ((frame == 8) != (architecture == -4)) {
                continue;
            }
            for (const Format& f : formats) {
                if (frame == 8 && f.type == kGrey) {
                    continue;
                }
                for (const bool front : {true, false}) {
                    const std::uint32_t version =
                        frame == 1 && seed % 2 == 0 ? 0x00020100 : 0x00020200;
                    const std::int32_t width = 1 + static_cast<std::int32_t>(random() % 12);
                    const std::int32_t height = 1 + static_cast<std::int32_t>(random() % 12);
                    const std::uint32_t degree = 1 + random() % 3;
                    const int planes = eriwriter::losslessChannels(f.type, f.bits);
                    eriwriter::PlanePicture picture{width, height, {}};
                    picture.planes.assign(planes, std::vector<std::int32_t>(width * height));
                    for (auto& plane : picture.planes) {
                        for (auto& v : plane) {
                            v = static_cast<std::int32_t>(random() % (f.bits == 16 ? 32 : 256));
                        }
                    }
                    const std::int32_t sign = random() % 2 == 0 ? 1 : -1;
                    if (!save(blockFile(
                            eriwriter::losslessImageInfo(version, architecture, f.type, f.bits,
                                                         width, sign * height, degree),
                            frame, front, ++seed, picture))) {
                        return 1;
                    }
                }
            }
        }
    }
    for (const std::int32_t architecture : {-1, -4, 32}) {
        for (const std::uint32_t format : {kGrey, kColour}) {
            const std::int32_t width = 1 + static_cast<std::int32_t>(random() % 20);
            const std::int32_t height = 1 + static_cast<std::int32_t>(random() % 6);
            std::vector<std::uint8_t> lines(std::size_t(width) * height);
            for (auto& b : lines) {
                b = static_cast<std::uint8_t>(random() % 5 * 40);
            }
            std::vector<std::uint8_t> palette(1024, 0x55);
            if (!save(
                    eriwriter::eriFile(eriwriter::losslessImageInfo(0x00020200, architecture,
                                                                    format, 8, width, height, 0),
                                       eriwriter::encodeLineImageFrame(architecture, width, lines),
                                       format == kColour ? &palette : nullptr))) {
                return 1;
            }
        }
    }
    for (const auto& bytes : eriwriter::lossySeedFiles()) {
        if (!save(bytes)) {
            return 1;
        }
    }
    std::printf("wrote %d seeds to %s\n", count, folder.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        return writeSamples(argv[1]);
    }
    if (argc == 3 && std::string_view(argv[1]) == "--corpus") {
        return writeCorpus(argv[2]);
    }
    std::fprintf(stderr, "usage: tinta_make_eri_samples [--corpus] FOLDER\n");
    return 2;
}
