// tinta_batch: the batch run for terminals and scripts. See kRunnerUsage.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "batch_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return tinta::RunBatchCommand(arguments, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
}
