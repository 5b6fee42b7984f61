#include "eri_lossless/lossless_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

#include <unistd.h>

#include "eri/dib_block.h"
#include "eri/eri_loader.h"

namespace eritest {

eriwriter::PlanePicture makePicture(std::int32_t width, std::int32_t height, int planes,
                                    int sampleBits, PictureKind kind, std::uint32_t seed) {
    std::mt19937 random(seed);
    const std::int32_t top = (1 << sampleBits) - 1;
    eriwriter::PlanePicture picture;
    picture.width = width;
    picture.height = height;
    picture.planes.resize(planes);
    for (int p = 0; p < planes; ++p) {
        std::vector<std::int32_t>& plane = picture.planes[p];
        plane.resize(static_cast<std::size_t>(width) * height);
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t x = 0; x < width; ++x) {
                std::int32_t v;
                if (kind == PictureKind::random) {
                    v = static_cast<std::int32_t>(random() % (top + 1));
                } else {
                    const double wave = std::sin(0.07 * x * (p + 1) + 0.05 * y) * 0.4 + 0.5;
                    v = static_cast<std::int32_t>(wave * top) + static_cast<int>(random() % 3) - 1;
                    v = std::clamp(v, 0, top);
                }
                plane[static_cast<std::size_t>(y) * width + x] = v;
            }
        }
    }
    return picture;
}

std::vector<std::uint8_t> expectedDib(const eri::ImageInfo& info,
                                      const eriwriter::PlanePicture& picture,
                                      const std::vector<std::uint8_t>* palette) {
    const std::int32_t width = picture.width;
    const std::int32_t height = picture.height;
    const std::uint32_t bytesPerPixel = info.bitsPerPixel / 8;
    const std::uint32_t stride = (width * bytesPerPixel + 3) & ~3u;
    const std::size_t tableSize = info.bitsPerPixel == 8 ? 1024 : 0;
    std::vector<std::uint8_t> dib(40 + tableSize + std::size_t{stride} * height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(width));
    put32(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = static_cast<std::uint8_t>(info.bitsPerPixel);
    put32(20, stride * height);
    if (tableSize != 0) {
        for (int i = 0; i < 256; ++i) {
            for (int k = 0; k < 4; ++k) {
                dib[40 + 4 * i + k] = info.formatType == kGrey
                                          ? (k < 3 ? static_cast<std::uint8_t>(i) : 0)
                                      : palette != nullptr ? (*palette)[4 * i + k]
                                                           : 0;
            }
        }
    }
    const bool opaque = info.bitsPerPixel == 32 && (info.formatType & 0x04000000) == 0;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t memoryLine = info.height > 0 ? y : height - 1 - y;
        std::uint8_t* line = dib.data() + 40 + tableSize + std::size_t{stride} * memoryLine;
        for (std::int32_t x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            auto sample = [&](int p) { return static_cast<std::uint32_t>(picture.planes[p][i]); };
            if (info.bitsPerPixel == 16) {
                const std::uint32_t word =
                    (sample(0) & 31) | (sample(1) & 31) << 5 | (sample(2) & 31) << 10;
                line[2 * x] = static_cast<std::uint8_t>(word);
                line[2 * x + 1] = static_cast<std::uint8_t>(word >> 8);
                continue;
            }
            std::uint8_t* pixel = line + x * bytesPerPixel;
            for (std::uint32_t p = 0; p < bytesPerPixel && p < picture.planes.size(); ++p) {
                pixel[p] = static_cast<std::uint8_t>(sample(static_cast<int>(p)));
            }
            if (opaque) {
                pixel[3] = 0xFF;
            }
        }
    }
    return dib;
}

std::string temporaryPath(const std::string& name) {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    // Unique per process: the same test may run twice at once (two build trees).
    std::string path = testing::TempDir() + "eri_" + std::to_string(getpid()) + "_";
    if (test != nullptr) {
        path += std::string(test->test_suite_name()) + "_" + test->name() + "_";
    }
    for (char& ch : path) {
        if (ch == '/' && &ch > path.data() + testing::TempDir().size() - 1) {
            ch = '_';
        }
    }
    return path + name;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::vector<std::uint8_t>> loadBytes(const std::vector<std::uint8_t>& file) {
    const std::string path = temporaryPath("picture.eri");
    writeFile(path, file);
    eri::HeapDibBlock block;
    const std::size_t size = eri::loadEriImage(path.c_str(), block);
    std::remove(path.c_str());
    if (size == 0) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(block.data(), block.data() + size);
}

}  // namespace eritest
