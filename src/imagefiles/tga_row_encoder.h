// Run-length encoding of one TGA pixel row into raw and run packets. A packet
// is a header byte (bit 7 set for a run, bits 0-6 the pixel count - 1, count
// 1 to 128) followed by the raw pixels or the one pixel of the run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tinta {

// Most pixels one packet can stand for.
constexpr size_t kTgaMaxPacketPixels = 128;

// The pixel's bytes read as one big-endian number (first byte most
// significant). Two pixels are equal when their keys are equal. Pixel size 1
// to 4 bytes.
uint32_t PixelKey(const uint8_t* pixel, int pixelSize);

// How many pixels from the first one go into a raw packet: the number of
// neighbour comparisons that found the pixels different before the first one
// that found them equal, count - 1 when no neighbours are equal, 1 for a
// count of 1. 0 means the first two pixels are equal.
size_t CountRawPixels(const uint8_t* pixels, int pixelSize, size_t count);

// The number of pixels from the first one that equal the first pixel, at most
// count and at least 1 (0 only for a count of 0).
size_t CountRunPixels(const uint8_t* pixels, int pixelSize, size_t count);

// Encodes count pixels that lie one after another from pixels into out and
// returns the number of bytes placed there. out must hold count x
// (pixelSize + 1) bytes, the most one row can need. Pixel sizes outside 1 to
// 4 encode nothing.
size_t EncodeTgaRow(const uint8_t* pixels, uint8_t* out, size_t count, int pixelSize);

}  // namespace tinta
