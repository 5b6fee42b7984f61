// tinta_batch started as a process in a scratch folder with in/, out/ and
// the invert module in tinta/, as a script would start it.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "batch_fixture.h"

namespace tinta::testing {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class BatchProcessTest : public ::testing::Test {
  protected:
    BatchProcessTest() {
        std::filesystem::create_directories(scratch.Path() / "in");
        std::filesystem::create_directories(scratch.Path() / "out");
        std::filesystem::create_directories(scratch.Path() / "tinta");
        std::filesystem::copy_file(std::string(BUNDLED_MODULE_DIR) + "invert.so",
                                   scratch.Path() / "tinta" / "invert.so");
    }

    // Runs a shell command line in folder, with TINTA standing for the
    // program; standard input from /dev/null unless the line pipes it.
    ProcessResult Shell(const std::string& line, const std::filesystem::path& folder) const {
        const std::filesystem::path out = scratch.Path() / "stdout.txt";
        const std::filesystem::path err = scratch.Path() / "stderr.txt";
        const std::string command = "cd '" + folder.string() +
                                    "' && TINTA='" TINTA_BATCH_PROGRAM "' && { " + line +
                                    " ; } >'" + out.string() + "' 2>'" + err.string() + "'";
        const int raw = std::system(command.c_str());
        ProcessResult result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = Slurp(out);
        result.err = Slurp(err);
        return result;
    }
    // tinta_batch with arguments (shell words) in folder, by default the
    // scratch folder.
    ProcessResult Run(const std::string& arguments, const std::filesystem::path& folder) const {
        return Shell("\"$TINTA\" " + arguments + " </dev/null", folder);
    }
    ProcessResult Run(const std::string& arguments) const { return Run(arguments, scratch.Path()); }
    std::filesystem::path In() const { return scratch.Path() / "in"; }
    std::filesystem::path Out() const { return scratch.Path() / "out"; }

    ScratchFolder scratch;
};

}  // namespace tinta::testing
