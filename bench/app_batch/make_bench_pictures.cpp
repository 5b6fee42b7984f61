// tinta_bench_pictures: writes photo-like 1024 x 768 pictures for the batch
// benchmarks. Usage: tinta_bench_pictures png|eri FOLDER COUNT
// png: gradients with a little noise, PNG-coded. eri: the same pictures as
// lossless, Huffman-coded ERI files.
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_picture.h"
#include "eriwriter/container_writer.h"
#include "eriwriter/lossless_encoder.h"

namespace {

using tinta::bench::BenchPicture;
constexpr int kWidth = tinta::bench::kPictureWidth;
constexpr int kHeight = tinta::bench::kPictureHeight;

// Planes blue, green, red, decoded line 0 at the bottom.
eriwriter::PlanePicture Planes(const QImage& picture) {
    eriwriter::PlanePicture planes;
    planes.width = picture.width();
    planes.height = picture.height();
    planes.planes.assign(3, std::vector<std::int32_t>(static_cast<size_t>(kWidth) * kHeight));
    for (int line = 0; line < kHeight; ++line) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(kHeight - 1 - line));
        for (int x = 0; x < kWidth; ++x) {
            const size_t at = static_cast<size_t>(line) * kWidth + static_cast<size_t>(x);
            planes.planes[0][at] = qBlue(row[x]);
            planes.planes[1][at] = qGreen(row[x]);
            planes.planes[2][at] = qRed(row[x]);
        }
    }
    return planes;
}

bool WriteEri(const QImage& picture, const std::string& path) {
    eriwriter::LosslessFrameOptions huffman;
    huffman.frameCode = 8;
    huffman.architecture = -4;
    const auto frame = eriwriter::encodeLosslessFrame(Planes(picture), huffman);
    if (!frame) {
        return false;
    }
    const auto bytes = eriwriter::eriFile(
        eriwriter::losslessImageInfo(0x00020200, -4, 1, 24, kWidth, kHeight, 3), *frame);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tinta_bench_pictures png|eri FOLDER COUNT\n");
        return 2;
    }
    const std::string kind = argv[1];
    const std::filesystem::path folder = argv[2];
    const int count = std::atoi(argv[3]);
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "picture%03d.%s", i, kind.c_str());
        const std::string path = (folder / name).string();
        const QImage picture = BenchPicture(i);
        const bool written = kind == "eri" ? WriteEri(picture, path)
                                           : picture.save(QString::fromStdString(path), "PNG");
        if (!written) {
            std::fprintf(stderr, "could not write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
