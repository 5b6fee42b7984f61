#include "recursive_listing.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "batch_texts.h"

namespace tinta {

namespace fs = std::filesystem;

namespace {

using FolderId = std::pair<dev_t, ino_t>;

bool IdOf(const fs::path& folder, FolderId& id) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return false;
    }
    id = {info.st_dev, info.st_ino};
    return true;
}

struct Walk {
    const std::string& mask;
    std::vector<FolderId> ancestors;  // the folders being walked, outermost first
    std::set<FolderId> skipped;       // never walked
    std::vector<std::string> names;

    // Lists folder (relative name prefix) and the folders below it.
    std::error_code Visit(const fs::path& folder, const std::string& prefix) {
        std::error_code error;
        std::vector<std::pair<std::string, bool>> entries;  // name, is a folder
        fs::directory_iterator it(folder, error);
        for (; !error && it != fs::directory_iterator(); it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.empty() || name[0] == '.') {
                continue;
            }
            std::error_code statusError;
            if (it->is_directory(statusError)) {
                entries.emplace_back(name, true);
            } else if (it->is_regular_file(statusError) && MatchesMask(name, mask)) {
                names.push_back(prefix + name);
            }
        }
        if (error) {
            return error;
        }
        for (const auto& [name, isFolder] : entries) {
            const fs::path sub = folder / name;
            FolderId id;
            if (!IdOf(sub, id) || skipped.contains(id)) {
                continue;
            }
            if (std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end()) {
                names.push_back("[" + prefix + name + "]");
                continue;
            }
            ancestors.push_back(id);
            Visit(sub, prefix + name + "/");  // an unreadable subfolder is left out
            ancestors.pop_back();
        }
        return {};
    }
};

}  // namespace

InputFileList ListInputTree(const std::string& folder, const std::string& mask,
                            const std::string& skip) {
    InputFileList list;
    Walk walk{mask, {}, {}, {}};
    FolderId id;
    if (!skip.empty() && IdOf(skip, id)) {
        walk.skipped.insert(id);
    }
    if (IdOf(folder, id)) {
        walk.ancestors.push_back(id);
    }
    if (const std::error_code error = walk.Visit(folder, ""); error) {
        list.error = UnreadableFolderMessage(folder, error.message());
        return list;
    }
    list.names = std::move(walk.names);
    std::sort(list.names.begin(), list.names.end(),
              [](const std::string& a, const std::string& b) { return LessIgnoringCase(a, b); });
    return list;
}

}  // namespace tinta
