// Why a file could not be loaded, in the words the report shows: our own
// sentences in Japanese, a decoder library's detail as the library gives it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tinta {

inline constexpr const char* kMissingFileReason = "ファイルが見つかりません";
inline constexpr const char* kFolderReason = "ファイルではなくフォルダーです";
inline constexpr const char* kIncompleteCause = "ファイルが途中で終わっています";
inline constexpr const char* kNoMetafileReaderCause =
    "WMF/EMF のメタファイルを読み込めるプラグインがありません";
inline constexpr const char* kNoWorkImageCause = "作業画像のメモリを確保できませんでした";

// "画像として読み込めませんでした（cause）", or without the parenthesis for no cause.
std::string CannotLoadReason(std::string_view cause);

// "画像が大きすぎます（width×height 画素、上限 limit 画素）".
std::string TooLargeReason(uint64_t width, uint64_t height, uint64_t limit);

// The outcome of decoding a file into the DibBuffer.
struct DibLoadResult {
    bool loaded = false;
    std::string reason;  // empty when loaded

    explicit operator bool() const { return loaded; }
};

}  // namespace tinta
