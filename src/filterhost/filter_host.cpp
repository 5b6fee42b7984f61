#include "filter_host.h"

#include <utility>

namespace tinta {

FilterHost::FilterHost(HostMessages& messages, std::string pluginFolder)
    : FilterHost(messages, std::vector<std::string>{std::move(pluginFolder)}) {}

FilterHost::FilterHost(HostMessages& messages, std::vector<std::string> folders)
    : messages_(messages), folders_(std::move(folders)) {
    if (folders_.empty()) {
        folders_.push_back(kPluginFolder);
    }
}

const std::string& FilterHost::PluginFolder() const {
    if (selected_ >= 0) {
        return moduleFiles_[static_cast<size_t>(selected_)].folder;
    }
    return folders_.front();
}

void FilterHost::DiscoverModules() {
    for (ModuleFile& file : FindModuleFiles(folders_)) {
        const std::string path = file.Path();
        if (module_.LoadModule(path, messages_) != 1) {
            continue;
        }
        if (module_.GetTitleEntry() != nullptr) {
            titles_.push_back(module_.CallGetTitle());
            modulePaths_.push_back(path);
            moduleFiles_.push_back(std::move(file));
        }
        module_.Unload();
    }
    SelectFilter(titles_.empty() ? -1 : 0);
}

void FilterHost::SelectFilter(int index) {
    module_.Unload();
    const bool listed = index >= 0 && static_cast<size_t>(index) < modulePaths_.size();
    selected_ = listed ? index : -1;
    if (listed) {
        module_.LoadModule(modulePaths_[static_cast<size_t>(index)], messages_);
    }
}

void FilterHost::OpenSettings() {
    const FilterOptionEntry option = module_.OptionEntry();
    if (option == nullptr) {
        messages_.Show(kNoSettingsMessage);
        return;
    }
    uint8_t flag = 0;
    option(0, PluginFolder().c_str(), &flag);
}

FilterProcEntry FilterHost::FilterProc() {
    return module_.ProcEntry();
}

int FilterHost::FindFilter(const std::string& name) const {
    for (size_t i = 0; i < titles_.size(); ++i) {
        if (titles_[i] == name) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < moduleFiles_.size(); ++i) {
        const std::string& file = moduleFiles_[i].name;
        if (file == name || file == name + ".so") {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace tinta
