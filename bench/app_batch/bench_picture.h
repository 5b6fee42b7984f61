// The photo-like 1024 x 768 pictures of the batch benchmarks: gradients
// with a little deterministic noise, so that the files compress like
// photographs rather than flat colour.
#pragma once

#include <QImage>
#include <cstdint>

namespace tinta::bench {

constexpr int kPictureWidth = 1024;
constexpr int kPictureHeight = 768;

inline QImage BenchPicture(int seed) {
    QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    uint32_t state = 2463534242u + static_cast<uint32_t>(seed);
    for (int y = 0; y < kPictureHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < kPictureWidth; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = static_cast<int>(state & 15);
            row[x] = qRgb((x / 4 + seed + noise) & 255, (y / 3 + noise) & 255,
                          ((x + y) / 7 + 2 * seed) & 255);
        }
    }
    return picture;
}

}  // namespace tinta::bench
