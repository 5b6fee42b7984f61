// The bridge to Qt's image plug-ins: every file that is not ERI is decoded
// here, into a work image or a 32-bit packed DIB, and every output that is
// not TGA is encoded here from one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "imagefiles/dib_buffer.h"
#include "imagefiles/file_bytes.h"
#include "imagefiles/load_limits.h"
#include "imagefiles/load_reasons.h"
#include "workimage/work_image.h"

namespace tinta {

// Decodes the file (UTF-8 path) into a 32-bit packed DIB in buffer: header
// with resolutions 72, bottom row first, every pixel's blue, green, red and
// alpha exactly as the file holds them (no rotation, no colour management,
// no premultiplication). Files whose last extension is wmf or emf (see
// metafile_rule.h) are drawn at defaultWidth x defaultHeight instead, and
// fail when no reader for them is installed. A picture of more pixels than
// the limits allow fails before its pixels are decoded. On failure the
// buffer is untouched and the result says why. map is the way the file is
// mapped into memory (see file_bytes.h).
DibLoadResult LoadQtImage(const std::string& path, DibBuffer& buffer, const LoadLimits& limits,
                          int32_t defaultWidth, int32_t defaultHeight,
                          FileBytes::MapFunction map = FileBytes::MapWithQt);

// A picture decoded by Qt straight into a work image, or none with the
// reason; noWorkImage tells that the work image itself could not be had.
struct QtWorkImage {
    WorkImagePtr image;
    std::string reason;
    bool noWorkImage = false;
};

// The same picture as LoadQtImage gives, as a work image (top row first),
// without the DIB between: the plug-in writes into the work image's pixel
// block where it can, so the pixels are copied at most once.
QtWorkImage LoadQtWorkImage(const std::string& path, const LoadLimits& limits, int32_t defaultWidth,
                            int32_t defaultHeight,
                            FileBytes::MapFunction map = FileBytes::MapWithQt);

// Qt's name of the encoder that the path's extension selects (letter case
// ignored), or empty when Qt has none.
std::string FindQtEncoder(std::string_view path);

// Encodes a 32-bit packed DIB into the file (UTF-8 path) with the encoder
// the extension selects, alpha passed on as alpha. The file appears only
// when it was written completely; on any failure (no encoder, bad DIB,
// unwritable place, encoder error) nothing is left behind and the result is
// false.
bool SaveQtImage(const std::string& path, const uint8_t* dib, size_t dibSize);

// The same from a work image, whose rows the encoder reads in place.
bool SaveQtWorkImage(const std::string& path, const WorkImage& image);

}  // namespace tinta
