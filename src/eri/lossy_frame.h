// The decoder's share for lossy frames (transformation 1): its fields are
// those of the lossy frame decoder, and lossy writers are the kernels'.
#pragma once

#include "eri/core/colour_output.h"
#include "eri/lossy_frame_decoder.h"

namespace eri {

// Stores one quarter of a macroblock: destination, line step, the four
// component planes of that quarter, their row stride, width and height in
// pixels, and the bytes per pixel.
using LossyBlockWriter = LossyWriter;

// Macroblock layout, planes, transforms and scales of a lossy frame.
using LossyFields = LossyFrameDecoder;

}  // namespace eri
