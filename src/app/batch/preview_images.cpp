#include "preview_images.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "batch_texts.h"
#include "imagefiles/dib_buffer.h"
#include "output_path.h"
#include "workimage/transparent_edging.h"

namespace tinta {

namespace {

WorkImagePtr CopyOf(const WorkImage& image) {
    WorkImagePtr copy = AllocIpl(image.width, image.height, image.depth);
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy->pixels, image.pixels, image.RowBytes() * static_cast<size_t>(image.height));
    return copy;
}

bool IsFolder(const std::string& inputFolder, const std::string& entry) {
    std::error_code error;
    return IsFolderEntry(entry) &&
           !std::filesystem::is_regular_file(JoinPath(inputFolder, entry), error);
}

}  // namespace

PreviewImages MakePreviewImages(const std::string& inputFolder, const std::string& entry,
                                bool edging, FilterHost& host, ImageFileSteps steps,
                                const LoadLimits& limits) {
    PreviewImages preview;
    if (IsFolder(inputFolder, entry)) {
        preview.folder = true;
        preview.problem = kPreviewFolderMessage;
        return preview;
    }
    // The picture the filter receives is copied after the last step before
    // FilterProc: the load, or the edging when it is asked for.
    auto load = std::move(steps.load);
    steps.load = [&](const std::string& path, DibBuffer& buffer, const LoadLimits& limits) {
        LoadedImage loaded = load(path, buffer, limits);
        if (loaded) {
            preview.before = CopyOf(*loaded.image);
        }
        return loaded;
    };
    auto edge = std::move(steps.edge);
    steps.edge = [&](WorkImage& image, int reach) {
        const int result = edge ? edge(image, reach) : ApplyTransparentEdging(image, reach);
        preview.before = CopyOf(image);
        return result;
    };
    steps.save = [&](const WorkImage& image, const std::string&, DibBuffer&) {
        preview.after = CopyOf(image);
        return SaveResult{true, {}};
    };
    DibBuffer buffer;
    try {
        const FileResult result = ProcessFile(JoinPath(inputFolder, entry), std::string(), edging,
                                              limits, host, buffer, steps);
        preview.problem = result.reason;
    } catch (const std::bad_alloc&) {
        preview.problem = kOutOfMemoryReason;
    } catch (const std::exception& error) {
        preview.problem = error.what();
    }
    return preview;
}

}  // namespace tinta
