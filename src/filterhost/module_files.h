// Finding the module files of the plug-in folder.
#pragma once

#include <string>
#include <vector>

namespace tinta {

// The folder searched for modules, relative to the current folder, with its
// trailing separator; the same text is handed to FilterOption and FilterProc.
inline constexpr const char* kPluginFolder = "./tinta/";

// File names (without folder) of the entries "*.so" in folder that are not
// folders, sorted by name so the listing is stable. Empty when the folder
// does not exist or cannot be read.
std::vector<std::string> ListModuleFiles(const std::string& folder);

}  // namespace tinta
