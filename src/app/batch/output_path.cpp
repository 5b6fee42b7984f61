#include "output_path.h"

namespace tinta {

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::string FormatExtension(std::string_view formatText) {
    const size_t start = formatText.find_first_not_of("*.");
    return start == std::string_view::npos ? std::string() : std::string(formatText.substr(start));
}

std::string OutputFileName(const std::string& name, std::string_view formatText) {
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    return stem + "." + FormatExtension(formatText);
}

bool IsFolderEntry(std::string_view entry) {
    return entry.size() >= 2 && entry.front() == '[' && entry.back() == ']';
}

}  // namespace tinta
