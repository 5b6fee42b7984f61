// The decoder's share for lossy frames (transformation 1): its fields and
// the lossy block writer type. Filled in by the lossy frame decoding.
#pragma once

#include <cstdint>

namespace eri {

class EriImageDecoder;

// Stores one quarter of a macroblock: destination, stride, the four
// component planes of that quarter, width and height in pixels.
using LossyBlockWriter = void (EriImageDecoder::*)(std::uint8_t* destination, std::int32_t stride,
                                                   const float* const* planes, std::int32_t width,
                                                   std::int32_t height);

// Macroblock layout, planes, transforms and scales of a lossy frame.
struct LossyFields {};

}  // namespace eri
