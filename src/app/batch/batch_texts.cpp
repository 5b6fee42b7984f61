#include "batch_texts.h"

#include "workimage/transparent_edging.h"

namespace tinta {

std::string UnreadableFolderMessage(const std::string& folder, const std::string& reason) {
    std::string text = "入力フォルダー「" + folder + "」を読み込めません";
    if (!reason.empty()) {
        text += "(" + reason + ")";
    }
    return text;
}

std::string EdgingFailedReason(int code) {
    const char* why = nullptr;
    switch (code) {
        case kEdgingNoScratch:
            why = "作業用の画像を確保できません";
            break;
        case kEdgingNoPixels:
            why = "画素がありません";
            break;
        case kEdgingNotRgba:
        case kEdgingNotBgra:
            why = "画素の形式が違います";
            break;
        default:
            break;
    }
    return std::string("透明縁取りができませんでした（") +
           (why != nullptr ? why : "コード " + std::to_string(code)) + "）";
}

std::string NotWrittenReason(const std::string& reason) {
    std::string text = "書き込めませんでした";
    if (!reason.empty()) {
        text += "（" + reason + "）";
    }
    return text;
}

}  // namespace tinta
