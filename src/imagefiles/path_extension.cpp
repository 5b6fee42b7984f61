#include "path_extension.h"

namespace tinta {

std::string_view FileExtension(std::string_view path) {
    const size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return {};
    }
    return name.substr(dot);
}

std::string LowerExtensionWord(std::string_view path) {
    const std::string_view extension = FileExtension(path);
    std::string word(extension.empty() ? extension : extension.substr(1));
    for (char& c : word) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return word;
}

ImageFileKind ClassifyImagePath(std::string_view path) {
    const std::string word = LowerExtensionWord(path);
    if (word == "eri") {
        return ImageFileKind::kEri;
    }
    if (word == "tga") {
        return ImageFileKind::kTga;
    }
    return ImageFileKind::kOther;
}

}  // namespace tinta
