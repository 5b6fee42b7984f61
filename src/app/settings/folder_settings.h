// The two folders the program remembers from one start to the next, kept in
// the INI file tinta_dn_quor.ini in the user's configuration folder
// ($XDG_CONFIG_HOME, usually ~/.config): section [OUTPUT] and [INPUT], key
// FOLDER, "./" when absent.
#pragma once

#include <QString>

namespace tinta {

inline constexpr char kDefaultFolder[] = "./";

struct FolderSettings {
    QString outputFolder;
    QString inputFolder;
};

// Full path of the settings file.
QString FolderSettingsPath();

// Reads the output folder, then the input folder; a missing file or entry
// gives "./".
FolderSettings ReadFolderSettings();

// Writes the output folder, then the input folder.
void WriteFolderSettings(const FolderSettings& folders);

}  // namespace tinta
