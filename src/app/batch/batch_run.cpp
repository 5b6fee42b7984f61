#include "batch_run.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "batch_texts.h"
#include "filterhost/filter_call.h"
#include "output_path.h"
#include "workimage/trace.h"
#include "workimage/transparent_edging.h"

namespace tinta {

namespace {

std::string NotLoadedReason(const std::string& inputPath) {
    std::error_code error;
    return std::filesystem::exists(inputPath, error) ? kNotLoadedReason : kNoSuchFileReason;
}

// A "[name]" entry that names a folder, not a file whose name has brackets.
bool PassedOverAsFolder(const std::string& entry, const std::string& inputFolder) {
    std::error_code error;
    return IsFolderEntry(entry) &&
           !std::filesystem::is_regular_file(JoinPath(inputFolder, entry), error);
}

}  // namespace

FileResult ProcessFile(const std::string& inputPath, const std::string& outputPath, bool edging,
                       const LoadLimits& limits, FilterHost& host, DibBuffer& buffer,
                       const ImageFileSteps& steps) {
    LoadedImage loaded = steps.load(inputPath, buffer, limits);
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

BatchReport BatchRun(const std::vector<std::string>& names, const BatchSettings& settings,
                     FilterHost& host, BatchObserver& observer, const ImageFileSteps& steps) {
    BatchReport report;
    const int count = static_cast<int>(names.size());
    report.entries = count;
    observer.Progress(0, count);
    DibBuffer buffer;
    for (int i = 0; i < count; ++i) {
        const std::string& name = names[static_cast<size_t>(i)];
        observer.FileStarting(i, count, name);
        if (PassedOverAsFolder(name, settings.inputFolder)) {
            ++report.folders;
        } else {
            FileResult result;
            try {
                const std::string inputPath = JoinPath(settings.inputFolder, name);
                const std::string outputPath =
                    JoinPath(settings.outputFolder, OutputFileName(name, settings.formatText));
                result = ProcessFile(inputPath, outputPath, settings.edging, settings.loadLimits,
                                     host, buffer, steps);
            } catch (const std::bad_alloc&) {
                observer.OutOfMemory();
                report.outOfMemory = true;
                report.failures.push_back({name, kOutOfMemoryReason});
                report.notProcessed = count - i - 1;
                break;
            } catch (const std::exception& error) {
                result = {FileStatus::kNotWritten, NotWrittenReason(error.what())};
            }
            if (result.status == FileStatus::kWritten) {
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
    if (report.folders > 0) {
        line += "、フォルダー " + std::to_string(report.folders) + " 件";
    }
    if (report.notProcessed > 0) {
        line += "、未処理 " + std::to_string(report.notProcessed) + " 件";
    }
    return line;
}

}  // namespace tinta
