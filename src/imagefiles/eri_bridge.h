// The seam to the ERI loader: decodes an ERI file into a packed DIB of 8, 16,
// 24 or 32 bits in buffer.
#pragma once

#include <string>

#include "imagefiles/dib_buffer.h"
#include "imagefiles/load_limits.h"
#include "imagefiles/load_reasons.h"

namespace tinta {

// On failure the buffer is untouched and the result carries the loader's
// own cause; a picture above the limits fails before it is decoded.
DibLoadResult LoadEriDib(const std::string& path, DibBuffer& buffer, const LoadLimits& limits);

}  // namespace tinta
