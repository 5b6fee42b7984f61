// The whole of tinta_batch: arguments in, exit status out. Listings go to
// out; progress, messages, "完了", the counts and the failures go to err.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tinta {

constexpr int kExitAllWritten = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUnusable = 2;  // bad arguments, or no module could be loaded

// terminal: err is a terminal, so progress is drawn as a bar.
// in: standard input, read for "--files-from -".
int RunBatchCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                    std::ostream& err, bool terminal);
// The same with the process's standard input.
int RunBatchCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    bool terminal);

}  // namespace tinta
