// The command line of tinta_batch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/batch/run_plan.h"

namespace tinta {

struct RunnerOptions {
    std::string inputFolder = "./";
    std::string outputFolder = "./";
    std::optional<std::string> mask;    // default: first input mask
    std::optional<std::string> filter;  // title or file name; default: first module
    std::optional<std::string> format;  // default: first output format
    bool edging = false;
    std::optional<uint64_t> maxPixels;    // default: kDefaultMaxPixels
    std::optional<int> jobs;              // default: the processors we may use
    std::optional<uint64_t> memoryBytes;  // default: a quarter of physical memory
    ExistingPolicy existing = ExistingPolicy::kReplace;
    bool dryRun = false;                   // print the plan; load and write nothing
    bool recursive = false;                // walk the folders below the input folder
    std::optional<std::string> filesFrom;  // list of names instead of the folder; "-": stdin
    bool nulSeparated = false;             // the list's names end in NUL bytes
    bool listFilters = false;
    bool listFormats = false;
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
};

struct ParsedArguments {
    RunnerOptions options;
    std::string error;  // empty when the arguments were understood
};

// Understands "--name value" and "--name=value" for the options with values.
ParsedArguments ParseRunnerArguments(const std::vector<std::string>& arguments);

extern const char* const kRunnerUsage;

}  // namespace tinta
