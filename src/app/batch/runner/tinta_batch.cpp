// tinta_batch: the batch run for terminals and scripts. See kRunnerUsage.
#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "batch_command.h"

namespace {

// The one request the signal handler sets; a handler can reach nothing else.
tinta::StopRequest stopRequest;

// SIGINT and SIGTERM stop the run: no new file is started, files in flight
// are finished. A second SIGINT ends the program at once; outputs are only
// ever renamed into place whole, so none is left half-written.
void OnStopSignal(int signal) {
    if (signal == SIGINT && stopRequest.requested.load()) {
        _exit(tinta::kExitStoppedBase + SIGINT);
    }
    stopRequest.signal.store(signal);
    stopRequest.requested.store(true);
}

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free);
    InstallStopHandlers();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return tinta::RunBatchCommand(arguments, std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                                  &stopRequest);
}
