#include "output_folder.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tinta {

namespace fs = std::filesystem;

namespace {

// The folders below outputFolder that outputPath lies in, one per step.
fs::path RelativeFolder(const std::string& outputFolder, const std::string& outputPath) {
    return fs::path(outputPath).parent_path().lexically_relative(outputFolder);
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

std::string FolderNotMadeReason(const std::string& folder, const std::string& cause) {
    std::string text = "フォルダー「" + folder + "」を作成できません";
    if (!cause.empty()) {
        text += "(" + cause + ")";
    }
    return text;
}

std::string NoOutputFolderReason(const std::string& folder) {
    return "出力フォルダー「" + folder + "」がありません";
}

std::string OutputFolderProblem(const std::string& outputFolder, const std::string& outputPath) {
    if (!IsFolder(outputFolder)) {
        return NoOutputFolderReason(outputFolder);
    }
    fs::path folder = outputFolder;
    for (const fs::path& step : RelativeFolder(outputFolder, outputPath)) {
        if (step == ".") {
            continue;
        }
        const fs::path parent = folder;
        folder /= step;
        std::error_code error;
        const fs::file_status status = fs::status(folder, error);
        if (fs::is_directory(status)) {
            continue;
        }
        if (fs::exists(status)) {
            return FolderNotMadeReason(folder.string(), "同じ名前のファイルがあります");
        }
        // The first missing folder: made in parent, if parent takes new entries.
        if (::access(parent.c_str(), W_OK | X_OK) != 0) {
            return FolderNotMadeReason(folder.string(), std::generic_category().message(errno));
        }
        return {};
    }
    return {};
}

std::string MakeOutputFolder(const std::string& outputFolder, const std::string& outputPath) {
    if (!IsFolder(outputFolder)) {
        return NoOutputFolderReason(outputFolder);
    }
    const fs::path folder = fs::path(outputPath).parent_path();
    if (IsFolder(folder)) {
        return {};
    }
    std::error_code error;
    fs::create_directories(folder, error);
    if (error && !IsFolder(folder)) {
        return FolderNotMadeReason(folder.string(), error.message());
    }
    return {};
}

}  // namespace tinta
