// One list entry through the steps of a run, kept in memory instead of being
// saved: the picture as the filter receives it and as the filter leaves it.
#pragma once

#include <string>

#include "app/batch/batch_run.h"
#include "filterhost/filter_host.h"
#include "workimage/work_image.h"

namespace tinta {

inline constexpr const char* kPreviewFolderMessage = "フォルダーはプレビューできません";

struct PreviewImages {
    WorkImagePtr before;  // loaded, and edged when asked; null when not loaded
    WorkImagePtr after;   // after FilterProc; null when it did not run
    std::string problem;  // why a picture is missing; empty when both are there
    bool folder = false;  // the entry is a "[name]" folder entry
};

// Loads entry of inputFolder, edges it when asked and calls the host's
// FilterProc exactly as a run does (ProcessFile), on the calling thread,
// with the run's load limits. Nothing is written: the save step only keeps
// a copy of the result.
PreviewImages MakePreviewImages(const std::string& inputFolder, const std::string& entry,
                                bool edging, FilterHost& host, ImageFileSteps steps = {},
                                const LoadLimits& limits = {});

}  // namespace tinta
