#include "format_dispatch.h"

#include "imagefiles/eri_bridge.h"
#include "imagefiles/load_reasons.h"
#include "imagefiles/path_extension.h"
#include "imagefiles/qt_codec_bridge.h"
#include "imagefiles/tga_writer.h"
#include "workimage/dib_conversion.h"
#include "workimage/packed_dib.h"
#include "workimage/trace.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace tinta {
namespace {

LoadedImage Fail(const char* prefix, const std::string& path, std::string reason) {
    TraceLine(std::string(prefix) + path);
    return {nullptr, std::move(reason)};
}

// A missing file and a folder are told apart from files that do not decode.
std::string NotAFileReason(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return kMissingFileReason;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        return kFolderReason;
    }
    return {};
}

SaveResult Written() {
    return {true, {}};
}
SaveResult NotWritten(std::string reason) {
    return {false, std::move(reason)};
}

SaveResult SaveThroughQt(const WorkImage& image, const std::string& path) {
    if (FindQtEncoder(path).empty()) {
        const std::string_view extension = FileExtension(path);
        return NotWritten(extension.empty()
                              ? std::string("拡張子がないため形式を選べません")
                              : std::string(extension) + " 形式で書き出す手段がありません");
    }
    if (image.pixels == nullptr || WorkImageByteCount(image.width, image.height) < 0) {
        return NotWritten("書き出す画素がありません");
    }
    if (!SaveQtWorkImage(path, image)) {
        return NotWritten("書き込めない場所か、形式の変換に失敗しました");
    }
    return Written();
}

LoadedImage LoadEriWorkImage(const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
    const char* const readerFailed = "ERI->DIB作成失敗。ファイル名＝";
    DibLoadResult loaded = LoadEriDib(path, buffer, limits);
    if (!loaded) {
        return Fail(readerFailed, path, std::move(loaded.reason));
    }
    const auto header = ReadDibHeader(buffer.data(), buffer.size());
    if (!header) {
        return Fail("IPLイメージ作成に失敗しました:", path, CannotLoadReason({}));
    }
    WorkImagePtr image = AllocIpl(header->width, header->height, 8);
    if (!image || !ConvertFromDib(buffer.data(), buffer.size(), *image)) {
        return Fail("IPLイメージ作成に失敗しました:", path, CannotLoadReason(kNoWorkImageCause));
    }
    if (header->bitsPerPixel < 32) {
        FillAlpha(*image, 255);
    }
    return {std::move(image), {}};
}

// Qt's pictures are 32-bit throughout: no DIB between them and the work image.
LoadedImage LoadQtPicture(const std::string& path, const LoadLimits& limits) {
    QtWorkImage loaded = LoadQtWorkImage(path, limits, kMetafileWidth, kMetafileHeight);
    if (!loaded.image) {
        return Fail(loaded.noWorkImage ? "IPLイメージ作成に失敗しました:"
                                       : "GDI->DIB作成失敗。ファイル名＝",
                    path, std::move(loaded.reason));
    }
    return {std::move(loaded.image), {}};
}

}  // namespace

LoadedImage LoadWorkImage(const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
    const bool eri = ClassifyImagePath(path) == ImageFileKind::kEri;
    if (std::string reason = NotAFileReason(path); !reason.empty()) {
        return Fail(eri ? "ERI->DIB作成失敗。ファイル名＝" : "GDI->DIB作成失敗。ファイル名＝", path,
                    std::move(reason));
    }
    return eri ? LoadEriWorkImage(path, buffer, limits) : LoadQtPicture(path, limits);
}

SaveResult SaveWorkImage(const WorkImage& image, const std::string& path, DibBuffer& /*buffer*/) {
    switch (ClassifyImagePath(path)) {
        case ImageFileKind::kEri:
            return NotWritten("ERI 形式では書き出せません");
        case ImageFileKind::kTga: {
            const int code = WriteTga(image, path, true);
            if (code != kTgaWritten) {
                TraceLine("WriteTga: " + std::to_string(code) + " " + path);
                return NotWritten(TgaErrorText(code));
            }
            return Written();
        }
        case ImageFileKind::kOther:
            break;
    }
    return SaveThroughQt(image, path);
}

}  // namespace tinta
