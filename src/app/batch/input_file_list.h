// The input-file list shared by the dialog and the command-line runner: the
// files of a folder that match a mask, and the matching subfolders as
// "[name]" entries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tinta {

struct InputFileList {
    std::vector<std::string> names;
    std::string error;  // why the folder could not be read; empty when it could
};

// The ordinary files (no hidden dot files) of folder whose names match mask,
// and the matching subfolders as "[name]", all sorted together without regard
// to letter case. A folder that does not exist or cannot be read gives an
// empty list and a message naming it.
InputFileList ListInputFiles(const std::string& folder, const std::string& mask);

// Whether name matches mask ("*" any run of characters, "?" one character),
// ignoring the case of ASCII letters as the masks always have. "*.*"
// matches every name, also one without a dot.
bool MatchesMask(std::string_view name, std::string_view mask);

// Alphabetical order with ASCII letter case ignored; ties in byte order.
bool LessIgnoringCase(std::string_view left, std::string_view right);

}  // namespace tinta
