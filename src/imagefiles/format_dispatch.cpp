#include "format_dispatch.h"

#include "imagefiles/eri_bridge.h"
#include "imagefiles/path_extension.h"
#include "imagefiles/qt_codec_bridge.h"
#include "imagefiles/tga_writer.h"
#include "workimage/dib_conversion.h"
#include "workimage/packed_dib.h"
#include "workimage/trace.h"

#include <string>
#include <string_view>
#include <utility>

namespace tinta {
namespace {

LoadedImage Fail(const char* prefix, const std::string& path, std::string reason = {}) {
    TraceLine(std::string(prefix) + path);
    return {nullptr, std::move(reason)};
}

const char* TgaErrorText(int code) {
    switch (code) {
        case kTgaNotRgba:
            return "colour model is not RGBA";
        case kTgaNotBgra:
            return "channel sequence is not BGRA";
        case kTgaNoPixels:
            return "no pixel data";
        case kTgaTooLarge:
            return "picture too large for TGA";
        case kTgaFileNotFound:
            return "file not found";
        case kTgaBadPath:
            return "bad path";
        case kTgaHardwareError:
            return "hardware error";
        default:
            return "other file error";
    }
}

SaveResult Written() {
    return {true, {}};
}
SaveResult NotWritten(std::string reason) {
    return {false, std::move(reason)};
}

SaveResult SaveThroughQt(const WorkImage& image, const std::string& path, DibBuffer& buffer) {
    if (FindQtEncoder(path).empty()) {
        const std::string_view extension = FileExtension(path);
        return NotWritten(extension.empty() ? std::string("no file extension to choose an encoder")
                                            : "no encoder for " + std::string(extension));
    }
    const int64_t blockSize = DibBlockSize(image.width, image.height, 32);
    if (blockSize < 0 || image.pixels == nullptr) {
        return NotWritten("no picture to write");
    }
    if (!buffer.Resize(static_cast<size_t>(blockSize))) {
        return NotWritten("out of memory");
    }
    WriteDibHeader(MakeDibHeader(image.width, image.height, 32), buffer.data());
    if (!ConvertToDib(image, buffer.data(), buffer.size())) {
        return NotWritten("no picture to write");
    }
    if (!SaveQtImage(path, buffer.data(), buffer.size())) {
        return NotWritten("the file could not be written (unwritable place or encoder error)");
    }
    return Written();
}

}  // namespace

LoadedImage LoadWorkImage(const std::string& path, DibBuffer& buffer, const LoadLimits& /*limits*/) {
    if (ClassifyImagePath(path) == ImageFileKind::kEri) {
        if (!LoadEriDib(path, buffer)) {
            return Fail("ERI->DIB作成失敗。ファイル名＝", path);
        }
    } else if (!LoadQtImage(path, buffer, kMetafileWidth, kMetafileHeight)) {
        return Fail("GDI->DIB作成失敗。ファイル名＝", path);
    }
    const auto header = ReadDibHeader(buffer.data(), buffer.size());
    if (!header) {
        return Fail("IPLイメージ作成に失敗しました:", path);
    }
    WorkImagePtr image = AllocIpl(header->width, header->height, 8);
    if (!image || !ConvertFromDib(buffer.data(), buffer.size(), *image)) {
        return Fail("IPLイメージ作成に失敗しました:", path);
    }
    if (header->bitsPerPixel < 32) {
        FillAlpha(*image, 255);
    }
    return {std::move(image), {}};
}

SaveResult SaveWorkImage(const WorkImage& image, const std::string& path, DibBuffer& buffer) {
    switch (ClassifyImagePath(path)) {
        case ImageFileKind::kEri:
            return NotWritten("cannot write ERI files");
        case ImageFileKind::kTga: {
            const int code = WriteTga(image, path, true);
            if (code != kTgaWritten) {
                return NotWritten("TGA writer error " + std::to_string(code) + " (" +
                                  TgaErrorText(code) + ")");
            }
            return Written();
        }
        case ImageFileKind::kOther:
            break;
    }
    return SaveThroughQt(image, path, buffer);
}

}  // namespace tinta
