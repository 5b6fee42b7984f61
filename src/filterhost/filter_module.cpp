#include "filter_module.h"

#include <dlfcn.h>

#include <cstring>

namespace tinta {

namespace {

template <typename Entry>
Entry AsEntry(void* symbol) {
    Entry entry = nullptr;
    static_assert(sizeof entry == sizeof symbol);
    std::memcpy(&entry, &symbol, sizeof entry);
    return entry;
}

}  // namespace

int FilterModule::LoadModule(const std::string& path, HostMessages& messages) {
    Unload();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        messages.Show(LoadFailedMessage(path, reason != nullptr ? reason : ""));
        return 0;
    }
    getTitle_ = AsEntry<FilterGetTitleEntry>(LookUp("FilterGetTitle"));
    if (getTitle_ != nullptr) {
        CallGetTitle();
    } else {
        messages.Show(NoGetTitleMessage(path));
    }
    option_ = AsEntry<FilterOptionEntry>(LookUp("FilterOption"));
    proc_ = AsEntry<FilterProcEntry>(LookUp("FilterProc"));
    if (proc_ == nullptr) {
        messages.Show(NoProcMessage(path));
    }
    return 1;
}

void FilterModule::Unload() {
    getTitle_ = nullptr;
    option_ = nullptr;
    proc_ = nullptr;
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

FilterOptionEntry FilterModule::OptionEntry() {
    if (option_ == nullptr && handle_ != nullptr) {
        option_ = AsEntry<FilterOptionEntry>(LookUp("FilterOption"));
    }
    return option_;
}

FilterProcEntry FilterModule::ProcEntry() {
    if (proc_ == nullptr && handle_ != nullptr) {
        proc_ = AsEntry<FilterProcEntry>(LookUp("FilterProc"));
    }
    return proc_;
}

std::string FilterModule::CallGetTitle() {
    if (getTitle_ == nullptr) {
        return {};
    }
    char title[kTitleBufferSize] = {};
    titleResult = getTitle_(0, title, &titleValue1, &titleValue2);
    // A module that fills all 80 bytes still yields a terminated title.
    title[kTitleBufferSize - 1] = '\0';
    return title;
}

void* FilterModule::LookUp(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

}  // namespace tinta
