// The Initialise button's job: delete ./dn_quor.dat, the file in which the
// dn_quor filter module keeps its own settings. The program never reads or
// writes it.
#pragma once

namespace tinta {

inline constexpr char kModuleSettingsFile[] = "./dn_quor.dat";

// Deletes ./dn_quor.dat in the current folder. Nothing is asked or reported:
// a missing file (or a folder of that name, which is left alone) is no error.
void DeleteModuleSettingsFile();

}  // namespace tinta
