#include "load_reasons.h"

namespace tinta {

std::string CannotLoadReason(std::string_view cause) {
    std::string text = "画像として読み込めませんでした";
    if (!cause.empty()) {
        text += "（";
        text += cause;
        text += "）";
    }
    return text;
}

std::string TooLargeReason(uint64_t width, uint64_t height, uint64_t limit) {
    return "画像が大きすぎます（" + std::to_string(width) + "×" + std::to_string(height) +
           " 画素、上限 " + std::to_string(limit) + " 画素）";
}

}  // namespace tinta
