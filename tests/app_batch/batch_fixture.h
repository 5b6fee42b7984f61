// A folder of small pictures for batch runs, and an observer that records
// what a run reports.
#pragma once

#include <QColor>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/batch/batch_run.h"
#include "filterhost/test_folders.h"
#include "support/tga_reader.h"

namespace tinta::testing {

struct RecordingObserver : BatchObserver {
    void FileStarting(int index, int, const std::string& name) override {
        events.push_back("start " + std::to_string(index) + " " + name);
    }
    void Progress(int filesDone, int count) override {
        events.push_back("progress " + std::to_string(filesDone) + "/" + std::to_string(count));
    }
    void OutOfMemory() override { events.push_back("out of memory"); }
    std::vector<std::string> events;
};

// Writes the pictures of a run into folder:
//   photo.png   4 x 3 opaque, pixel (x, y) = rgb(10 + 60x, 20 + 50y, 200)
//   tiles.bmp   the same picture as BMP
//   image.jpeg  8 x 8 of grey 100
//   alpha.png   4 x 1: opaque red, then three transparent black pixels
//   broken.png  not a picture
//   sub/        a folder
inline QImage PhotoPicture() {
    QImage picture(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            picture.setPixel(x, y, qRgb(10 + 60 * x, 20 + 50 * y, 200));
        }
    }
    return picture;
}

inline void WriteSamplePictures(const std::filesystem::path& folder) {
    PhotoPicture().save(QString::fromStdString((folder / "photo.png").string()), "PNG");
    PhotoPicture().save(QString::fromStdString((folder / "tiles.bmp").string()), "BMP");
    QImage grey(8, 8, QImage::Format_RGB32);
    grey.fill(qRgb(100, 100, 100));
    grey.save(QString::fromStdString((folder / "image.jpeg").string()), "JPEG", 100);
    QImage alpha(4, 1, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 0, 0));
    alpha.setPixel(0, 0, qRgba(255, 0, 0, 255));
    alpha.save(QString::fromStdString((folder / "alpha.png").string()), "PNG");
    std::ofstream(folder / "broken.png") << "this is no picture";
    std::filesystem::create_directory(folder / "sub");
}

inline std::optional<test::TgaPicture> ReadTgaFile(const std::filesystem::path& path) {
    return test::ReadTga(test::ReadFileBytes(path.string()));
}

}  // namespace tinta::testing
