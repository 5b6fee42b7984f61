// Writing one entry's output the way the plan says: the folders below the
// output folder are made first; under replace the output goes to its
// planned path; under skip and rename the final name is claimed first
// (see output_claim.h), so that a name that another process took since the
// plan was made is skipped, or the next free number is taken.
#pragma once

#include <functional>
#include <string>

#include "file_steps.h"
#include "imagefiles/format_dispatch.h"
#include "run_plan.h"

namespace tinta {

struct PlannedSave {
    SaveResult saved;
    bool skipped = false;  // under skip the name was taken meanwhile; nothing written
    std::string path;      // where the output went
};

// save writes the picture to the path it is given.
PlannedSave SavePlanned(const RunPlan& plan, const PlannedEntry& entry,
                        const std::function<SaveResult(const std::string& path)>& save);

// The save step of a planned entry: SavePlanned over steps.save. skipped is
// set when the entry's name was taken meanwhile under skip (the result is
// then kWritten with nothing written). Any thread may call it.
FileResult PlannedSaveStep(const RunPlan& plan, const PlannedEntry& entry, const WorkImage& image,
                           DibBuffer& buffer, const ImageFileSteps& steps, bool& skipped);

}  // namespace tinta
