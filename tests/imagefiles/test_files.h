// Helpers of the image file tests: pictures with partial transparency, and
// byte-level file access.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace tinta::testing {

// A width x height picture with smooth colours and every kind of alpha:
// opaque, fully transparent (with a colour of its own) and partial.
inline QImage PatternPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int alpha = (x * 7 + y * 3) % 5 == 0 ? 0 : (x * 255 / width + y) % 256;
            picture.setPixel(x, y, qRgba((x * 37) % 256, (y * 53) % 256, (x + y) % 256, alpha));
        }
    }
    return picture;
}

inline QImage ReadBack(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    reader.setAutoTransform(false);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Number of pixels whose four bytes differ (the pictures must be the same size).
inline int DifferentPixels(const QImage& a, const QImage& b, bool compareAlpha = true) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = a.pixel(x, y);
            QRgb q = b.pixel(x, y);
            if (!compareAlpha) {
                p |= 0xFF000000u;
                q |= 0xFF000000u;
            }
            count += p != q;
        }
    }
    return count;
}

}  // namespace tinta::testing
