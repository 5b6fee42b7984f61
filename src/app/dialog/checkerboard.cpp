#include "app/dialog/checkerboard.h"

#include <QPainter>
#include <algorithm>

namespace tinta {

QSize FitInside(QSize picture, QSize room) {
    if (picture.isEmpty() || room.isEmpty()) {
        return {};
    }
    const QSize fitted = picture.scaled(room, Qt::KeepAspectRatio);
    return {std::max(1, fitted.width()), std::max(1, fitted.height())};
}

QImage OnCheckerboard(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty()) {
        return {};
    }
    QImage result(size, QImage::Format_RGB32);
    QPainter painter(&result);
    const QColor light(0xcc, 0xcc, 0xcc);
    const QColor dark(0x99, 0x99, 0x99);
    for (int y = 0; y < size.height(); y += kCheckerSquare) {
        for (int x = 0; x < size.width(); x += kCheckerSquare) {
            const bool even = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0;
            painter.fillRect(x, y, kCheckerSquare, kCheckerSquare, even ? light : dark);
        }
    }
    const bool grows = size.width() > picture.width() || size.height() > picture.height();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !grows);
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    return result;
}

}  // namespace tinta
