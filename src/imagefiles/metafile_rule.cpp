#include "metafile_rule.h"

#include <QPainter>
#include <bit>
#include <string>

#include "imagefiles/path_extension.h"

namespace tinta {

// ARGB32 pixels are then stored as the bytes blue, green, red, alpha.
static_assert(std::endian::native == std::endian::little);

bool IsMetafilePath(std::string_view path) {
    const std::string word = LowerExtensionWord(path);
    return word == "wmf" || word == "emf";
}

QImage DrawAsMetafile(const QImage& picture, int width, int height) {
    if (width < 1 || height < 1) {
        return {};
    }
    QImage surface(width, height, QImage::Format_ARGB32_Premultiplied);
    if (surface.isNull()) {
        return {};
    }
    surface.fill(QColor(0, 0, 0, 255));
    {
        QPainter painter(&surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, width, height), picture);
    }
    QImage result = surface.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull()) {
        return {};
    }
    for (int y = 0; y < height; ++y) {
        uchar* pixel = result.scanLine(y);
        for (int x = 0; x < width; ++x, pixel += 4) {
            pixel[3] = static_cast<uchar>(255 - pixel[3]);
        }
    }
    return result;
}

}  // namespace tinta
