#include "module_folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "install_layout.h"
#include "module_files.h"

namespace tinta {

namespace {

std::string WithTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.has_parent_path()) {
        return {};
    }
    return WithTrailingSeparator(program.parent_path().string());
}

std::string BesideExecutable(const std::string& executableFolder, std::string_view relative) {
    if (executableFolder.empty()) {
        return {};
    }
    const std::filesystem::path joined = std::filesystem::path(executableFolder) / relative;
    return WithTrailingSeparator(joined.lexically_normal().string());
}

std::string UserModuleFolder(const char* xdgDataHome, const char* home) {
    std::string data;
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        data = xdgDataHome;
    } else if (home != nullptr && home[0] == '/') {
        data = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    return WithTrailingSeparator(data) + "tinta_dn_quor/tinta/";
}

std::vector<std::string> ModuleSearchFolders(const std::string& executableFolder,
                                             const char* xdgDataHome, const char* home) {
    std::vector<std::string> folders{kPluginFolder};
    for (std::string folder : {BesideExecutable(executableFolder, kInstalledModuleFolder),
                               UserModuleFolder(xdgDataHome, home)}) {
        if (!folder.empty()) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

std::vector<std::string> ModuleSearchFolders() {
    return ModuleSearchFolders(ExecutableFolder(), std::getenv("XDG_DATA_HOME"),
                               std::getenv("HOME"));
}

}  // namespace tinta
