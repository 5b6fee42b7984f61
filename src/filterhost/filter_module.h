// One loaded filter module: the library handle and its three entry points,
// which always belong to that library (all null when nothing is loaded).
#pragma once

#include <cstdint>
#include <string>

#include "host_messages.h"
#include "tinta_filter.h"

namespace tinta {

// Size of the title buffer handed to FilterGetTitle.
constexpr int kTitleBufferSize = 80;

class FilterModule {
  public:
    FilterModule() = default;
    ~FilterModule() { Unload(); }
    FilterModule(const FilterModule&) = delete;
    FilterModule& operator=(const FilterModule&) = delete;

    // Loads the library at path (a module already loaded is unloaded first),
    // calls FilterGetTitle once and looks up the other two entry points.
    // Reports a failed load and a missing FilterGetTitle or FilterProc
    // through messages. Returns 1 when the library was loaded (also with
    // entry points missing), 0 otherwise.
    int LoadModule(const std::string& path, HostMessages& messages);

    // Unloads the library, if any; all entry points become null.
    void Unload();

    bool IsLoaded() const { return handle_ != nullptr; }
    FilterGetTitleEntry GetTitleEntry() const { return getTitle_; }

    // The entry points, looked up once more in the loaded library when they
    // were not found at load time; null when there is still none.
    FilterOptionEntry OptionEntry();
    FilterProcEntry ProcEntry();

    // Calls FilterGetTitle, stores its result and title values, and returns
    // the title; empty when the module has no FilterGetTitle.
    std::string CallGetTitle();

    int32_t titleResult = 0;
    int32_t titleValue1 = 0;
    int32_t titleValue2 = 0;

  private:
    void* LookUp(const char* name) const;

    void* handle_ = nullptr;
    FilterGetTitleEntry getTitle_ = nullptr;
    FilterOptionEntry option_ = nullptr;
    FilterProcEntry proc_ = nullptr;
};

}  // namespace tinta
