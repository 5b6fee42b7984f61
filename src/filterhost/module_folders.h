// The folders searched for filter modules, in order: ./tinta/ of the current
// folder, the install's module folder next to the running program, and the
// user's own module folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tinta {

// The folder of the running program (from /proc/self/exe, links resolved),
// ending in '/'; empty when it cannot be found.
std::string ExecutableFolder();

// executableFolder + relative, made plain ("bin/../lib" -> "lib") and ending
// in '/'; empty when executableFolder is empty.
std::string BesideExecutable(const std::string& executableFolder, std::string_view relative);

// $XDG_DATA_HOME/tinta_dn_quor/tinta/, or $HOME/.local/share/tinta_dn_quor/tinta/
// when XDG_DATA_HOME is unset, empty or not absolute; empty when neither
// gives a folder. Null stands for an unset variable.
std::string UserModuleFolder(const char* xdgDataHome, const char* home);

// The three folders in search order, each ending in '/', the ones that could
// not be worked out left out.
std::vector<std::string> ModuleSearchFolders(const std::string& executableFolder,
                                             const char* xdgDataHome, const char* home);

// The same for the running program and its environment.
std::vector<std::string> ModuleSearchFolders();

}  // namespace tinta
