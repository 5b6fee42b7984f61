// The folders an output needs below the output folder ("sub/a" for
// "out/sub/a/photo.TGA"): whether they can be made, and making them. The
// output folder itself must exist; only the folders below it are made.
#pragma once

#include <string>

namespace tinta {

// Why the folder of outputPath cannot be there when the output is written,
// found without changing anything; empty when it exists or can be made.
std::string OutputFolderProblem(const std::string& outputFolder, const std::string& outputPath);

// Makes the missing folders between outputFolder and outputPath; the reason
// when that fails, empty when the folder is there.
std::string MakeOutputFolder(const std::string& outputFolder, const std::string& outputPath);

// "フォルダー「folder」を作成できません", with the cause in parentheses when given.
std::string FolderNotMadeReason(const std::string& folder, const std::string& cause = {});

// "出力フォルダー「folder」がありません".
std::string NoOutputFolderReason(const std::string& folder);

}  // namespace tinta
