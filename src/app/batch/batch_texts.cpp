#include "batch_texts.h"

namespace tinta {

std::string UnreadableFolderMessage(const std::string& folder, const std::string& reason) {
    std::string text = "入力フォルダー「" + folder + "」を読み込めません";
    if (!reason.empty()) {
        text += "(" + reason + ")";
    }
    return text;
}

std::string NotWrittenReason(const std::string& reason) {
    std::string text = "書き込めませんでした";
    if (!reason.empty()) {
        text += "（" + reason + "）";
    }
    return text;
}

}  // namespace tinta
