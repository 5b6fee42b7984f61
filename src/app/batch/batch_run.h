// The batch run without any widgets: every entry of the input-file list is
// loaded, optionally edged, filtered by the loaded module and saved under
// the output format. The dialog and the command-line runner are front ends:
// they hand in the list, the settings and the filter host, follow the
// progress through a BatchObserver, and show "完了" with the report after.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/batch/file_steps.h"
#include "filterhost/filter_host.h"
#include "run_plan.h"

namespace tinta {

struct BatchSettings {
    std::string inputFolder = "./";
    std::string outputFolder = "./";
    std::string formatText = "*.TGA";  // "*." and the output extension
    bool edging = false;               // transparent edging before the filter
    LoadLimits loadLimits;             // the largest picture a load accepts
};

// How a run uses the machine, and how it is stopped.
struct RunOptions {
    // Worker threads that load and save. 1 runs every step on the calling
    // thread, one file after the other.
    int jobs = 1;
    // Bytes that pictures decoded or waiting may take together; one picture
    // is always allowed, whatever its size.
    uint64_t memoryBudget = UINT64_MAX;
    // Set from anywhere to stop the run: no new file is started, files in
    // flight are finished or abandoned.
    const std::atomic<bool>* stop = nullptr;
};

struct FileFailure {
    std::string name;
    std::string reason;
};

struct BatchReport {
    int entries = 0;  // list entries, folder entries included
    int written = 0;  // files written
    int folders = 0;  // "[name]" entries passed over
    int skipped = 0;  // outputs that existed and were kept (--existing skip)
    std::vector<FileFailure> failures;
    bool outOfMemory = false;  // the run stopped there
    bool stopped = false;      // the run was stopped on request
    int notProcessed = 0;      // entries left after the run stopped
};

// "name: reason" for every failure, in list order.
std::vector<std::string> FailureLines(const BatchReport& report);

// The counts of a run: "書き込み n 件、失敗 m 件" and the rest when there is any.
std::string SummaryLine(const BatchReport& report);

// Called on the thread that called BatchRun, never from a worker.
class BatchObserver {
  public:
    virtual ~BatchObserver() = default;
    // Before entry index (0-based) of count is filtered.
    virtual void FileStarting(int /*index*/, int /*count*/, const std::string& /*name*/) {}
    // When filesDone entries are finished; also once with filesDone = count
    // at the end.
    virtual void Progress(int filesDone, int count) = 0;
    // Memory ran out inside a file: show kOutOfMemoryMessage once. The run
    // then ends without starting the remaining entries.
    virtual void OutOfMemory() = 0;
    // Now and then while the run waits for its workers (a dialog processes
    // its events here).
    virtual void Waiting() {}
};

// The Run command over a plan (see run_plan.h). Entries the plan writes
// are loaded, filtered and saved to their planned output (SavePlanned);
// folder entries are passed over, skipped entries counted, and entries the
// plan cannot write (clashes, missing files, folders that cannot be made)
// fail with the plan's reason without being loaded. Every file that
// produced no output is in the report with its reason, in list order.
// FilterProc runs on the calling thread only, one file at a time in list
// order; the outputs and the report do not depend on options.jobs. Running
// out of memory reports once through the observer and ends the run; the
// final progress and the report still follow.
BatchReport BatchRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                     BatchObserver& observer, const ImageFileSteps& steps = {},
                     const RunOptions& options = {});

// BatchRun over the plan of names (the input-file list, folder entries
// included) with existing outputs replaced.
BatchReport BatchRun(const std::vector<std::string>& names, const BatchSettings& settings,
                     FilterHost& host, BatchObserver& observer, const ImageFileSteps& steps = {},
                     const RunOptions& options = {});

// Whether a "[name]" entry names a folder, not a file whose name has brackets.
bool PassedOverAsFolder(const std::string& entry, const std::string& inputFolder);

}  // namespace tinta
