// The steps of one file in a run, split where the filter call sits: loading
// (read, decode, work image, edging) and saving may run on any thread; the
// filter step runs only on the thread that owns the filter host.
#pragma once

#include <functional>
#include <string>

#include "filterhost/filter_host.h"
#include "imagefiles/dib_buffer.h"
#include "imagefiles/format_dispatch.h"
#include "workimage/work_image.h"

namespace tinta {

// Reach of the transparent edging step in a run.
constexpr int kEdgingReach = 4;

enum class FileStatus {
    kWritten,
    kNotLoaded,
    kNotEdged,  // the edging step could not run
    kNoFilter,  // no module loaded, or it has no FilterProc
    kNotWritten,
};

struct FileResult {
    FileStatus status = FileStatus::kWritten;
    std::string reason;  // empty when written
};

// The steps of a file that touch files and memory. The run uses the real
// ones; tests replace them to provoke failures. They may be called from
// several threads at once.
struct ImageFileSteps {
    std::function<LoadedImage(const std::string&, DibBuffer&, const LoadLimits&)> load =
        LoadWorkImage;
    std::function<SaveResult(const WorkImage&, const std::string&, DibBuffer&)> save =
        SaveWorkImage;
    std::function<int(WorkImage&, int)> edge;  // empty: ApplyTransparentEdging
};

// A loaded and, when asked, edged picture, or the reason there is none.
struct PreparedImage {
    WorkImagePtr image;
    FileResult failure;  // meaningful when image is null
};

// Load and edging. A file whose edging cannot run fails: a picture that
// was asked to be edged is never written unedged.
PreparedImage LoadStep(const std::string& inputPath, bool edging, const LoadLimits& limits,
                       DibBuffer& buffer, const ImageFileSteps& steps);

// FilterProc of the host's module over the image, on the calling thread.
// kNoFilter when the host has no FilterProc.
FileResult FilterStep(WorkImage& image, FilterHost& host);

FileResult SaveStep(const WorkImage& image, const std::string& outputPath, DibBuffer& buffer,
                    const ImageFileSteps& steps);

// One file: load, edging when asked, FilterProc of the host's module, save.
// Nothing is written when the file cannot be loaded or edged or there is no
// FilterProc. std::bad_alloc passes through to the caller.
FileResult ProcessFile(const std::string& inputPath, const std::string& outputPath, bool edging,
                       const LoadLimits& limits, FilterHost& host, DibBuffer& buffer,
                       const ImageFileSteps& steps = {});

}  // namespace tinta
