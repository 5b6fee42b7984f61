#include "batch_run.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include "batch_texts.h"
#include "output_path.h"
#include "pipelined_run.h"
#include "planned_save.h"
#include "run_resources.h"

namespace tinta {

namespace {

bool StopRequested(const RunOptions& options) {
    return options.stop != nullptr && options.stop->load(std::memory_order_relaxed);
}

// One planned entry that writes: load, edging when asked, FilterProc, and
// the save the plan asks for.
FileResult ProcessPlanned(const RunPlan& plan, const PlannedEntry& entry,
                          const BatchSettings& settings, FilterHost& host, DibBuffer& buffer,
                          const ImageFileSteps& steps, bool& skipped) {
    PreparedImage prepared =
        LoadStep(entry.inputPath, settings.edging, settings.loadLimits, buffer, steps);
    if (!prepared.image) {
        return prepared.failure;
    }
    if (FileResult filtered = FilterStep(*prepared.image, host);
        filtered.status != FileStatus::kWritten) {
        return filtered;
    }
    return PlannedSaveStep(plan, entry, *prepared.image, buffer, steps, skipped);
}

// Every step on the calling thread, one file after the other.
BatchReport SequentialRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                          BatchObserver& observer, const ImageFileSteps& steps,
                          const RunOptions& options) {
    BatchReport report;
    const int count = static_cast<int>(plan.entries.size());
    report.entries = count;
    observer.Progress(0, count);
    DibBuffer buffer;
    for (int i = 0; i < count; ++i) {
        if (StopRequested(options)) {
            report.stopped = true;
            report.notProcessed = count - i;
            break;
        }
        const PlannedEntry& entry = plan.entries[static_cast<size_t>(i)];
        const std::string& name = entry.name;
        observer.FileStarting(i, count, name);
        if (entry.outcome == PlannedOutcome::kFolder) {
            ++report.folders;
        } else if (entry.outcome == PlannedOutcome::kSkipped) {
            ++report.skipped;
        } else if (!WillWrite(entry.outcome)) {
            report.failures.push_back({name, entry.reason});
        } else {
            FileResult result;
            bool skippedAtSave = false;
            try {
                result = ProcessPlanned(plan, entry, settings, host, buffer, steps, skippedAtSave);
            } catch (const std::bad_alloc&) {
                observer.OutOfMemory();
                report.outOfMemory = true;
                report.failures.push_back({name, kOutOfMemoryReason});
                report.notProcessed = count - i - 1;
                break;
            } catch (const std::exception& error) {
                result = {FileStatus::kNotWritten, NotWrittenReason(error.what())};
            }
            if (skippedAtSave) {
                ++report.skipped;
            } else if (result.status == FileStatus::kWritten) {
                ++report.written;
            } else {
                report.failures.push_back({name, result.reason});
            }
        }
        observer.Progress(i + 1, count);
    }
    buffer.Release();
    observer.Progress(count, count);
    return report;
}

}  // namespace

bool PassedOverAsFolder(const std::string& entry, const std::string& inputFolder) {
    std::error_code error;
    return IsFolderEntry(entry) &&
           !std::filesystem::is_regular_file(JoinPath(inputFolder, entry), error);
}

BatchReport BatchRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                     BatchObserver& observer, const ImageFileSteps& steps,
                     const RunOptions& options) {
    const PixelBlockReuse reuse;
    if (options.jobs <= 1) {
        return SequentialRun(plan, settings, host, observer, steps, options);
    }
    return PipelinedRun(plan, settings, host, observer, steps, options);
}

BatchReport BatchRun(const std::vector<std::string>& names, const BatchSettings& settings,
                     FilterHost& host, BatchObserver& observer, const ImageFileSteps& steps,
                     const RunOptions& options) {
    return BatchRun(PlanRun(names, settings, ExistingPolicy::kReplace), settings, host, observer,
                    steps, options);
}

std::vector<std::string> FailureLines(const BatchReport& report) {
    std::vector<std::string> lines;
    for (const FileFailure& failure : report.failures) {
        lines.push_back(failure.name + ": " + failure.reason);
    }
    return lines;
}

std::string SummaryLine(const BatchReport& report) {
    std::string line = "書き込み " + std::to_string(report.written) + " 件、失敗 " +
                       std::to_string(report.failures.size()) + " 件";
    if (report.skipped > 0) {
        line += "、スキップ " + std::to_string(report.skipped) + " 件";
    }
    if (report.folders > 0) {
        line += "、フォルダー " + std::to_string(report.folders) + " 件";
    }
    if (report.notProcessed > 0) {
        line += "、未処理 " + std::to_string(report.notProcessed) + " 件";
    }
    return line;
}

}  // namespace tinta
