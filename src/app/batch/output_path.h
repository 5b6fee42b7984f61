// The paths a batch run derives for one list entry.
#pragma once

#include <string>
#include <string_view>

namespace tinta {

// folder + "/" + name; the separator is always inserted ("./" gives
// ".//name", which the file system takes as "./name").
std::string JoinPath(const std::string& folder, const std::string& name);

// The extension a format text such as "*.TGA" names: "TGA".
std::string FormatExtension(std::string_view formatText);

// name with its last extension (from its last dot) replaced by the format's
// extension, or with the extension appended when name has no dot:
// "photo.bmp" + "*.TGA" -> "photo.TGA", "image.jpeg" + "*.PNG" ->
// "image.PNG", "README" + "*.TGA" -> "README.TGA".
std::string OutputFileName(const std::string& name, std::string_view formatText);

// Whether a list entry is a folder entry "[name]".
bool IsFolderEntry(std::string_view entry);

}  // namespace tinta
