// Finding the module files of the plug-in folders.
#pragma once

#include <string>
#include <vector>

namespace tinta {

// The first folder searched for modules, relative to the current folder, with
// its trailing separator; the same text is handed to FilterOption and
// FilterProc of the modules found there.
inline constexpr const char* kPluginFolder = "./tinta/";

// File names (without folder) of the entries "*.so" in folder that are not
// folders, sorted by name so the listing is stable. Empty when the folder
// does not exist or cannot be read.
std::vector<std::string> ListModuleFiles(const std::string& folder);

struct ModuleFile {
    std::string folder;  // as given to FindModuleFiles, ending in '/'
    std::string name;    // file name

    std::string Path() const { return folder + name; }
};

// The module files of all folders, sorted by file name; a name found in an
// earlier folder hides the same name in the later ones.
std::vector<ModuleFile> FindModuleFiles(const std::vector<std::string>& folders);

}  // namespace tinta
