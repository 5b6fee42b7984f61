// A folder of small pictures for batch runs, an observer that records
// what a run reports, and a run of the invert module over those pictures.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch/batch_run.h"
#include "app/batch/input_file_list.h"
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

inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Every file below folder with its bytes, by path relative to folder.
inline std::map<std::string, std::string> TreeOf(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().lexically_relative(folder).string()] = Slurp(entry.path());
        }
    }
    return files;
}

// The sample pictures in in/, an empty out/, and the bundled invert module
// selected, with the settings pointing at both folders.
template <class Base = ::testing::Test>
class InvertRunTest : public Base {
  protected:
    InvertRunTest() {
        std::filesystem::create_directories(In());
        std::filesystem::create_directories(Out());
        WriteSamplePictures(In());
        invert.DiscoverModules();
        invert.SelectFilter(invert.FindFilter("色反転"));
        settings.inputFolder = In().string();
        settings.outputFolder = Out().string();
    }
    std::filesystem::path In() const { return scratch.Path() / "in"; }
    std::filesystem::path Out() const { return scratch.Path() / "out"; }
    std::vector<std::string> Names() const { return ListInputFiles(In().string(), "*").names; }
    std::vector<std::string> Written() const { return SortedEntries(Out()); }

    ScratchFolder scratch;
    RecordedMessages messages;
    FilterHost invert{messages, BUNDLED_MODULE_DIR};
    BatchSettings settings;
    RecordingObserver observer;
};

}  // namespace tinta::testing
