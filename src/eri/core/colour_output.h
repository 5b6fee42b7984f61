// The last steps of a lossy macroblock: spreading the transform outputs over
// the quadrant planes by sampling code, the colour conversion, and the writers
// that round, clamp and store bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace eri {

// planeTable[component][quadrant]: blockArea floats each, row stride blockSide.
// Components 0..2 enter as luminance and two colour differences, 3 is alpha.
// Quadrants: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
using PlaneTable = float* const (*)[4];

// Spreads `sampleBlocks` (the macroblock's blocks in coded order) over the
// planes of `channels` (3 or 4) components.
using SamplingRoutine = void (*)(PlaneTable planeTable, const float* const* sampleBlocks,
                                 int blockSide, int channels);

void placeBlocks444(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                    int channels);
void placeBlocks422(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                    int channels);
void placeBlocks411(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                    int channels);

// In place for all four quadrants: c0 = Y + 1.5 V, c1 = Y - 0.375 U - 0.75 V,
// c2 = Y + 1.75 U. Alpha is left alone.
void convertColourPlanes(PlaneTable planeTable, int blockSide);

// A float sample as a byte: nearest integer (ties to even), clamped to
// 0..255; values outside the 32-bit signed range (and NaN) give 0.
std::uint8_t sampleToByte(float value);

// Writes `height` rows of `width` pixels (both at most blockSide) from one
// quadrant's planes; `dest` is the quadrant's first pixel, rows `lineStep`
// bytes apart. writePixels3 stores bytes 0..2 of pixels `pixelStep` (3 or 4)
// bytes apart and leaves a fourth byte as it was; writePixels4 stores four
// bytes from four planes into 4-byte pixels whatever `pixelStep` says.
using LossyWriter = void (*)(std::uint8_t* dest, std::ptrdiff_t lineStep,
                             const float* const* planes, int blockSide, int width, int height,
                             int pixelStep);

void writePixels3(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                  int blockSide, int width, int height, int pixelStep);
void writePixels4(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                  int blockSide, int width, int height, int pixelStep);

}  // namespace eri
