#include "batch_run.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "batch_texts.h"
#include "filterhost/filter_call.h"
#include "output_path.h"
#include "planned_save.h"
#include "workimage/trace.h"
#include "workimage/transparent_edging.h"

namespace tinta {

namespace {

std::string NotLoadedReason(const std::string& inputPath) {
    std::error_code error;
    return std::filesystem::exists(inputPath, error) ? kNotLoadedReason : kNoSuchFileReason;
}

}  // namespace

FileResult ProcessFile(const std::string& inputPath, const std::string& outputPath, bool edging,
                       FilterHost& host, DibBuffer& buffer, const ImageFileSteps& steps) {
    LoadedImage loaded = steps.load(inputPath, buffer);
    if (!loaded) {
        return {FileStatus::kNotLoaded,
                loaded.reason.empty() ? NotLoadedReason(inputPath) : loaded.reason};
    }
    WorkImagePtr image = std::move(loaded.image);
    if (edging) {
        const int edged = steps.edge ? steps.edge(*image, kEdgingReach)
                                     : ApplyTransparentEdging(*image, kEdgingReach);
        if (edged != kEdgingDone) {
            TraceLine("ApplyTransparentEdging: " + std::to_string(edged) + " " + inputPath);
        }
    }
    const FilterProcEntry proc = host.FilterProc();
    if (proc == nullptr) {
        return {FileStatus::kNoFilter, kNoFilterReason};
    }
    CallFilterProc(proc, *image, host.PluginFolder());
    const SaveResult saved = steps.save(*image, outputPath, buffer);
    if (!saved) {
        return {FileStatus::kNotWritten, NotWrittenReason(saved.reason)};
    }
    return {};
}

BatchReport BatchRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                     BatchObserver& observer, const ImageFileSteps& steps) {
    BatchReport report;
    const int count = static_cast<int>(plan.entries.size());
    report.entries = count;
    observer.Progress(0, count);
    DibBuffer buffer;
    for (int i = 0; i < count; ++i) {
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
            ImageFileSteps planned = steps;
            planned.save = [&](const WorkImage& image, const std::string&, DibBuffer& dib) {
                const PlannedSave save = SavePlanned(plan, entry, [&](const std::string& path) {
                    return steps.save(image, path, dib);
                });
                skippedAtSave = save.skipped;
                return save.skipped ? SaveResult{true, {}} : save.saved;
            };
            try {
                result = ProcessFile(entry.inputPath, entry.outputPath, settings.edging, host,
                                     buffer, planned);
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

BatchReport BatchRun(const std::vector<std::string>& names, const BatchSettings& settings,
                     FilterHost& host, BatchObserver& observer, const ImageFileSteps& steps) {
    return BatchRun(PlanRun(names, settings, ExistingPolicy::kReplace), settings, host, observer,
                    steps);
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
