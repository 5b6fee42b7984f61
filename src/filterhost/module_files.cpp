#include "module_files.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace tinta {

std::vector<std::string> ListModuleFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        return names;
    }
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) {
            break;
        }
        const std::string name = entries->path().filename().string();
        const bool named = name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0;
        std::error_code statusError;
        if (named && !entries->is_directory(statusError)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<ModuleFile> FindModuleFiles(const std::vector<std::string>& folders) {
    std::map<std::string, std::string> folderOfName;
    for (const std::string& folder : folders) {
        for (std::string& name : ListModuleFiles(folder)) {
            folderOfName.try_emplace(std::move(name), folder);
        }
    }
    std::vector<ModuleFile> files;
    files.reserve(folderOfName.size());
    for (auto& [name, folder] : folderOfName) {
        files.push_back({folder, name});
    }
    return files;
}

}  // namespace tinta
