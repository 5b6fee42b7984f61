#include "filter_host.h"

#include <utility>

namespace tinta {

FilterHost::FilterHost(HostMessages& messages, std::string pluginFolder)
    : messages_(messages), pluginFolder_(std::move(pluginFolder)) {}

void FilterHost::DiscoverModules() {
    for (const std::string& name : ListModuleFiles(pluginFolder_)) {
        const std::string path = pluginFolder_ + name;
        if (module_.LoadModule(path, messages_) != 1) {
            continue;
        }
        if (module_.GetTitleEntry() != nullptr) {
            titles_.push_back(module_.CallGetTitle());
            modulePaths_.push_back(path);
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
    option(0, pluginFolder_.c_str(), &flag);
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
    for (size_t i = 0; i < modulePaths_.size(); ++i) {
        const std::string file = modulePaths_[i].substr(pluginFolder_.size());
        if (file == name || file == name + ".so") {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace tinta
