// The whole of tinta_batch: arguments in, exit status out. Listings go to
// out; progress, messages, "完了", the counts and the failures go to err.
#pragma once

#include <atomic>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace tinta {

constexpr int kExitAllWritten = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUnusable = 2;  // bad arguments, or no module could be loaded
// A run stopped by a signal ends with 128 + the signal's number.
constexpr int kExitStoppedBase = 128;

// A request to stop the run, set from a signal handler.
struct StopRequest {
    std::atomic<bool> requested{false};
    std::atomic<int> signal{0};  // the signal that asked for it
};

// terminal: err is a terminal, so progress is drawn as a bar. stop, when
// given, stops the run once requested is set. in: standard input, read for
// "--files-from -".
int RunBatchCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                    std::ostream& err, bool terminal, const StopRequest* stop = nullptr);
// The same with the process's standard input.
int RunBatchCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    bool terminal, const StopRequest* stop = nullptr);

}  // namespace tinta
