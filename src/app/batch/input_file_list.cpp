#include "input_file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "batch_texts.h"

namespace tinta {

namespace {

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Iterative wildcard match with one backtracking point per "*".
bool Match(std::string_view name, std::string_view mask) {
    size_t n = 0;
    size_t m = 0;
    size_t starMask = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || Folded(mask[m]) == Folded(name[n]))) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
    return mask == "*.*" ? true : Match(name, mask);
}

bool LessIgnoringCase(std::string_view left, std::string_view right) {
    const auto folded = [](char a, char b) {
        return static_cast<unsigned char>(Folded(a)) < static_cast<unsigned char>(Folded(b));
    };
    if (std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                     folded)) {
        return true;
    }
    if (std::lexicographical_compare(right.begin(), right.end(), left.begin(), left.end(),
                                     folded)) {
        return false;
    }
    return left < right;
}

InputFileList ListInputFiles(const std::string& folder, const std::string& mask) {
    namespace fs = std::filesystem;
    InputFileList list;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (name.empty() || name[0] == '.' || !MatchesMask(name, mask)) {
            continue;
        }
        std::error_code statusError;
        if (entries->is_directory(statusError)) {
            list.names.push_back("[" + name + "]");
        } else if (entries->is_regular_file(statusError)) {
            list.names.push_back(name);
        }
    }
    if (error) {
        list.names.clear();
        list.error = UnreadableFolderMessage(folder, error.message());
        return list;
    }
    std::sort(list.names.begin(), list.names.end(),
              [](const std::string& a, const std::string& b) { return LessIgnoringCase(a, b); });
    return list;
}

}  // namespace tinta
