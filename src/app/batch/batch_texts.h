// The texts a batch run shows the user.
#pragma once

#include <string>

namespace tinta {

inline constexpr const char* kDoneMessage = "完了";
inline constexpr const char* kOutOfMemoryMessage = "メモリが不足しています。";

// Reasons given for a file that produced no output.
inline constexpr const char* kNoSuchFileReason = "ファイルが見つかりません";
inline constexpr const char* kNotLoadedReason = "画像として読み込めませんでした";
inline constexpr const char* kNoFilterReason =
    "フィルターが読み込まれていないか、FilterProcがありません";
inline constexpr const char* kOutOfMemoryReason = "メモリ不足のため処理を中止しました";
inline constexpr const char* kStoppedMessage = "中止しました";

// "入力フォルダー「folder」を読み込めません(reason)".
std::string UnreadableFolderMessage(const std::string& folder, const std::string& reason);

// "透明縁取りができませんでした（why）" for a result of ApplyTransparentEdging.
std::string EdgingFailedReason(int code);

// "書き込めませんでした（reason）", or without the parenthesis for no reason.
std::string NotWrittenReason(const std::string& reason);

}  // namespace tinta
