#include "file_steps.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "batch_texts.h"
#include "filterhost/filter_call.h"
#include "workimage/trace.h"
#include "workimage/transparent_edging.h"

namespace tinta {

namespace {

std::string NotLoadedReason(const std::string& inputPath) {
    std::error_code error;
    return std::filesystem::exists(inputPath, error) ? kNotLoadedReason : kNoSuchFileReason;
}

}  // namespace

PreparedImage LoadStep(const std::string& inputPath, bool edging, const LoadLimits& limits,
                       DibBuffer& buffer, const ImageFileSteps& steps) {
    LoadedImage loaded = steps.load(inputPath, buffer, limits);
    if (!loaded) {
        return {nullptr,
                {FileStatus::kNotLoaded,
                 loaded.reason.empty() ? NotLoadedReason(inputPath) : loaded.reason}};
    }
    if (edging) {
        const int edged = steps.edge ? steps.edge(*loaded.image, kEdgingReach)
                                     : ApplyTransparentEdging(*loaded.image, kEdgingReach);
        if (edged != kEdgingDone) {
            TraceLine("ApplyTransparentEdging: " + std::to_string(edged) + " " + inputPath);
            return {nullptr, {FileStatus::kNotEdged, EdgingFailedReason(edged)}};
        }
    }
    return {std::move(loaded.image), {}};
}

FileResult FilterStep(WorkImage& image, FilterHost& host) {
    const FilterProcEntry proc = host.FilterProc();
    if (proc == nullptr) {
        return {FileStatus::kNoFilter, kNoFilterReason};
    }
    CallFilterProc(proc, image, host.PluginFolder());
    return {};
}

FileResult SaveStep(const WorkImage& image, const std::string& outputPath, DibBuffer& buffer,
                    const ImageFileSteps& steps) {
    const SaveResult saved = steps.save(image, outputPath, buffer);
    if (!saved) {
        return {FileStatus::kNotWritten, NotWrittenReason(saved.reason)};
    }
    return {};
}

FileResult ProcessFile(const std::string& inputPath, const std::string& outputPath, bool edging,
                       const LoadLimits& limits, FilterHost& host, DibBuffer& buffer,
                       const ImageFileSteps& steps) {
    PreparedImage prepared = LoadStep(inputPath, edging, limits, buffer, steps);
    if (!prepared.image) {
        return prepared.failure;
    }
    if (FileResult filtered = FilterStep(*prepared.image, host);
        filtered.status != FileStatus::kWritten) {
        return filtered;
    }
    return SaveStep(*prepared.image, outputPath, buffer, steps);
}

}  // namespace tinta
