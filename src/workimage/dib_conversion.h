// Conversions between a packed DIB (bottom row first) and a work image (top
// row first). The picture stays upright: the DIB's last stored row is row 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "work_image.h"

namespace tinta {

// Fills image, which must have the DIB's width and height, from the packed
// DIB block. 32-bit pixels are copied with their fourth byte as alpha; 24-,
// 16- and 8-bit pixels set blue, green and red only (the caller then fills
// alpha). 5-bit fields widen as (v << 3) | (v >> 2). False, with the image
// untouched, when the block is no convertible DIB of the image's size.
bool ConvertFromDib(const uint8_t* dib, size_t dibSize, WorkImage& image);

// Writes the image's pixels into a 32-bit packed DIB whose header the caller
// has prepared with the image's width and height. False when the block does
// not hold such a DIB.
bool ConvertToDib(const WorkImage& image, uint8_t* dib, size_t dibSize);

}  // namespace tinta
