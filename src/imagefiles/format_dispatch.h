// Turns an image file into a work image and a work image back into a file,
// choosing the reader or writer by the file name's last extension. ERI
// pictures travel through one packed DIB in a DibBuffer that the caller
// keeps for a whole run; Qt's readers and writers work on the work image's
// rows directly.
#pragma once

#include <string>

#include "imagefiles/dib_buffer.h"
#include "imagefiles/load_limits.h"
#include "workimage/work_image.h"

namespace tinta {

// Default size at which metafiles are drawn.
constexpr int32_t kMetafileWidth = 720;
constexpr int32_t kMetafileHeight = 540;

// A loaded work image, or none with the reason (empty when no cause is known).
struct LoadedImage {
    WorkImagePtr image;
    std::string reason;

    explicit operator bool() const { return image != nullptr; }
};

// Reads the file (UTF-8 path): .eri through the ERI loader, anything else
// through Qt's plug-ins. Pictures of fewer than 32 bits are made opaque, and
// pictures of more pixels than the limits allow are refused from their
// header. Null after one trace line when the file cannot be loaded, with
// the reason for the report; buffer then keeps its previous DIB.
LoadedImage LoadWorkImage(const std::string& path, DibBuffer& buffer,
                          const LoadLimits& limits = {});

struct SaveResult {
    bool written = false;
    std::string reason;  // why nothing was written; empty when written

    explicit operator bool() const { return written; }
};

// Writes the image to the file (UTF-8 path): .tga through the TGA writer,
// run-length encoded; .eri not at all; anything else through the Qt encoder
// the extension selects. No writer needs the buffer today: it is the run's
// one DIB, handed to every step so that a writer may use it.
SaveResult SaveWorkImage(const WorkImage& image, const std::string& path, DibBuffer& buffer);

}  // namespace tinta
