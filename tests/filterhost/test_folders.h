// A scope that makes a folder current, and the module call log of the test
// modules.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "filterhost/host_messages.h"
#include "support/scratch_folder.h"

namespace tinta::testing {

class CurrentFolderScope {
  public:
    explicit CurrentFolderScope(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolderScope() { std::filesystem::current_path(previous_); }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

  private:
    std::filesystem::path previous_;
};

// Copies a test module (built as <name>.so) into folder as file name target.
inline void CopyTestModule(const std::string& name, const std::filesystem::path& folder,
                           const std::string& target) {
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(std::string(TEST_MODULE_DIR) + name + ".so", folder / target);
}

// Points the test modules' call log at a file of the folder.
class ModuleLog {
  public:
    explicit ModuleLog(const std::filesystem::path& folder) : path_(folder / "calls.log") {
        setenv("TINTA_TEST_MODULE_LOG", path_.c_str(), 1);
    }
    ~ModuleLog() { unsetenv("TINTA_TEST_MODULE_LOG"); }
    ModuleLog(const ModuleLog&) = delete;
    ModuleLog& operator=(const ModuleLog&) = delete;

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::ifstream file(path_);
        for (std::string line; std::getline(file, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    void Clear() const { std::filesystem::remove(path_); }

  private:
    std::filesystem::path path_;
};

struct RecordedMessages : HostMessages {
    void Show(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

// A scratch folder with the module call log in it and the host's messages.
class ModuleHostTest : public ::testing::Test {
  protected:
    // A folder of the scratch folder, as a module folder text ending in '/'.
    std::string Folder(const std::string& name) const {
        return (scratch.Path() / name).string() + "/";
    }

    ScratchFolder scratch;
    ModuleLog log{scratch.Path()};
    RecordedMessages messages;
};

}  // namespace tinta::testing
