// The run with worker threads: workers load (read, decode, edge) and save
// (encode, write) files while the calling thread calls FilterProc on one
// picture after the other in list order.
#pragma once

#include <string>
#include <vector>

#include "batch_run.h"

namespace tinta {

// BatchRun for options.jobs of 2 and more. Pictures loaded or waiting never
// number more than jobs + 2, and new loads wait while those held take more
// than the memory budget (one picture is always allowed).
BatchReport PipelinedRun(const RunPlan& plan, const BatchSettings& settings, FilterHost& host,
                         BatchObserver& observer, const ImageFileSteps& steps,
                         const RunOptions& options);

}  // namespace tinta
