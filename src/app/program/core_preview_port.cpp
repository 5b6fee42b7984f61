#include "app/program/core_preview_port.h"

#include "app/batch/preview_images.h"

namespace tinta {

QImage ToQImage(const WorkImage& image) {
    QImage picture(image.width, image.height, QImage::Format_ARGB32);
    if (picture.isNull()) {
        return picture;
    }
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* pixel = image.Row(y);
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int32_t x = 0; x < image.width; ++x, pixel += 4) {
            line[x] = qRgba(pixel[2], pixel[1], pixel[0], pixel[3]);
        }
    }
    return picture;
}

PreviewContent CorePreviewPort::MakePreview(const QString& folder, const QString& entry,
                                            bool edging) {
    const PreviewImages images =
        MakePreviewImages(folder.toStdString(), entry.toStdString(), edging, host_);
    PreviewContent content;
    if (images.before != nullptr) {
        content.before = ToQImage(*images.before);
    }
    if (images.after != nullptr) {
        content.after = ToQImage(*images.after);
    }
    content.problem = QString::fromStdString(images.problem);
    return content;
}

}  // namespace tinta
