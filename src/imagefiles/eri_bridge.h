// The seam to the ERI loader: decodes an ERI file into a packed DIB of 8, 16,
// 24 or 32 bits in buffer.
#pragma once

#include <string>

#include "imagefiles/dib_buffer.h"

namespace tinta {

// False (buffer untouched) when the file cannot be decoded.
bool LoadEriDib(const std::string& path, DibBuffer& buffer);

}  // namespace tinta
