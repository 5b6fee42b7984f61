// The filter host: lists the modules of the plug-in folders by title, keeps
// the selected one loaded, opens its settings and hands out its FilterProc.
// Front ends own one host and give it their way of showing messages.
#pragma once

#include <string>
#include <vector>

#include "filter_module.h"
#include "host_messages.h"
#include "module_files.h"

namespace tinta {

class FilterHost {
  public:
    explicit FilterHost(HostMessages& messages, std::string pluginFolder = kPluginFolder);
    // Searches the folders in order (see FindModuleFiles); each module is
    // handed the folder it was found in. No folders means ./tinta/.
    FilterHost(HostMessages& messages, std::vector<std::string> folders);

    // Module discovery: loads each module file in name order, lists those
    // with FilterGetTitle under their titles, unloads each again, then
    // selects entry 0 (no module when the list is empty).
    void DiscoverModules();

    // Unloads the current module, then loads ModulePaths()[index]; an index
    // outside the list leaves no module loaded.
    void SelectFilter(int index);

    // The Settings command: FilterOption of the loaded module, or the
    // message that the filter has no settings.
    void OpenSettings();

    // FilterProc of the loaded module (looked up once more when it was
    // missing at load time); null when there is none.
    FilterProcEntry FilterProc();

    // The index of the listed module whose title, or else whose file name
    // (with or without ".so"), is name; -1 when none matches.
    int FindFilter(const std::string& name) const;

    const std::vector<std::string>& ModulePaths() const { return modulePaths_; }
    const std::vector<std::string>& Titles() const { return titles_; }
    int SelectedIndex() const { return selected_; }
    // The folder of the selected module, or the first search folder when
    // none is selected: the text handed to FilterOption and FilterProc.
    const std::string& PluginFolder() const;
    const std::vector<std::string>& SearchFolders() const { return folders_; }
    // Folder and file name of listed module index.
    const ModuleFile& ModuleFileAt(int index) const {
        return moduleFiles_[static_cast<size_t>(index)];
    }
    FilterModule& Module() { return module_; }

  private:
    HostMessages& messages_;
    std::vector<std::string> folders_;
    std::vector<ModuleFile> moduleFiles_;
    std::vector<std::string> modulePaths_;
    std::vector<std::string> titles_;
    int selected_ = -1;
    FilterModule module_;
};

}  // namespace tinta
