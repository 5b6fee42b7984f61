// Which reader or writer a path goes to is decided by the last extension of
// its file name alone: folder names and earlier dots do not count, and letter
// case does not matter.
#pragma once

#include <string>
#include <string_view>

namespace tinta {

// The extension of the path's file name (the part after the last '/'): from
// its last '.' to the end, dot included. Empty when the name has no dot, or
// when its only dot is its first character (a hidden file such as ".eri").
std::string_view FileExtension(std::string_view path);

// The extension in lower case (ASCII letters only), without the dot.
std::string LowerExtensionWord(std::string_view path);

enum class ImageFileKind {
    kEri,    // read by the ERI loader, never written
    kTga,    // written by the TGA writer, read by the platform codecs if at all
    kOther,  // everything else goes through the platform codecs
};

ImageFileKind ClassifyImagePath(std::string_view path);

}  // namespace tinta
