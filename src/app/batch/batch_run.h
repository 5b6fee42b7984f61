// The batch run without any widgets: every entry of the input-file list is
// loaded, optionally edged, filtered by the loaded module and saved under
// the output format. The dialog and the command-line runner are front ends:
// they hand in the list, the settings and the filter host, follow the
// progress through a BatchObserver, and show "完了" with the report after.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "filterhost/filter_host.h"
#include "imagefiles/dib_buffer.h"
#include "imagefiles/format_dispatch.h"
#include "run_plan.h"
#include "workimage/work_image.h"

namespace tinta {

struct BatchSettings {
    std::string inputFolder = "./";
    std::string outputFolder = "./";
    std::string formatText = "*.TGA";  // "*." and the output extension
    bool edging = false;               // transparent edging before the filter
};

// Reach of the transparent edging step in a run.
constexpr int kEdgingReach = 4;

enum class FileStatus {
    kWritten,
    kNotLoaded,
    kNoFilter,  // no module loaded, or it has no FilterProc
    kNotWritten,
};

struct FileResult {
    FileStatus status = FileStatus::kWritten;
    std::string reason;  // empty when written
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
    int notProcessed = 0;      // entries left after the run stopped
};

// "name: reason" for every failure, in list order.
std::vector<std::string> FailureLines(const BatchReport& report);

// The counts of a run: "書き込み n 件、失敗 m 件" and the rest when there is any.
std::string SummaryLine(const BatchReport& report);

class BatchObserver {
  public:
    virtual ~BatchObserver() = default;
    // Before entry index (0-based) of count is processed.
    virtual void FileStarting(int /*index*/, int /*count*/, const std::string& /*name*/) {}
    // After entry filesDone - 1; also once with filesDone = count at the end.
    virtual void Progress(int filesDone, int count) = 0;
    // Memory ran out inside a file: show kOutOfMemoryMessage once. The run
    // then ends without processing the remaining entries.
    virtual void OutOfMemory() = 0;
};

// The steps of ProcessFile that touch files and memory. The run uses the
// real ones; tests replace them to provoke failures.
struct ImageFileSteps {
    std::function<LoadedImage(const std::string&, DibBuffer&)> load =
        [](const std::string& path, DibBuffer& buffer) { return LoadWorkImage(path, buffer); };
    std::function<SaveResult(const WorkImage&, const std::string&, DibBuffer&)> save =
        SaveWorkImage;
    std::function<int(WorkImage&, int)> edge;  // empty: ApplyTransparentEdging
};

// One file: load, edging when asked, FilterProc of the host's module, save.
// Nothing is written when the file cannot be loaded or there is no
// FilterProc. std::bad_alloc passes through to the caller.
FileResult ProcessFile(const std::string& inputPath, const std::string& outputPath, bool edging,
                       FilterHost& host, DibBuffer& buffer, const ImageFileSteps& steps = {});

// The Run command over a plan (see run_plan.h): entries the plan writes are
// loaded, filtered and saved to their planned output (SavePlanned); folder
// entries are passed over, skipped entries counted, and entries the plan
// cannot write (clashes, missing files, folders that cannot be made) fail
// with the plan's reason without being loaded. Every file that produced no
// output is in the report with its reason. Running out of memory reports
// once through the observer and ends the run; the final progress and the
// report still follow. settings gives the edging flag.
BatchReport BatchRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                     BatchObserver& observer, const ImageFileSteps& steps = {});

// BatchRun over the plan of names (the input-file list, folder entries
// included) with existing outputs replaced.
BatchReport BatchRun(const std::vector<std::string>& names, const BatchSettings& settings,
                     FilterHost& host, BatchObserver& observer, const ImageFileSteps& steps = {});

}  // namespace tinta
