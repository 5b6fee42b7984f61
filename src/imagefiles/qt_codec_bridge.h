// The bridge to Qt's image plug-ins: every file that is not ERI is decoded
// here into a 32-bit packed DIB, and every output that is not TGA is encoded
// here from one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "imagefiles/dib_buffer.h"

namespace tinta {

// Decodes the file (UTF-8 path) into a 32-bit packed DIB in buffer: header
// with resolutions 72, bottom row first, every pixel's blue, green, red and
// alpha exactly as the file holds them (no rotation, no colour management,
// no premultiplication). Metafile paths (see metafile_rule.h) are drawn at
// defaultWidth x defaultHeight instead. False when the file cannot be
// decoded or is too large; buffer is then untouched.
bool LoadQtImage(const std::string& path, DibBuffer& buffer, int32_t defaultWidth,
                 int32_t defaultHeight);

// Qt's name of the encoder that the path's extension selects (letter case
// ignored), or empty when Qt has none.
std::string FindQtEncoder(std::string_view path);

// Encodes a 32-bit packed DIB into the file (UTF-8 path) with the encoder
// the extension selects, alpha passed on as alpha. The file appears only
// when it was written completely; on any failure (no encoder, bad DIB,
// unwritable place, encoder error) nothing is left behind and the result is
// false.
bool SaveQtImage(const std::string& path, const uint8_t* dib, size_t dibSize);

}  // namespace tinta
