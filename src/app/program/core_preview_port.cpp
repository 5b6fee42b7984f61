#include "app/program/core_preview_port.h"

#include "app/batch/preview_images.h"
#include "app/dialog/file_name_text.h"
#include "app/settings/load_limit_settings.h"

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
    // The same limit as a run started now: the profile is read each time.
    LoadLimits limits;
    if (const std::optional<uint64_t> maxPixels = ReadMaxPixelsSetting()) {
        limits.maxPixels = *maxPixels;
    }
    const PreviewImages images =
        MakePreviewImages(FileNameBytes(folder), FileNameBytes(entry), edging, host_, {}, limits);
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
