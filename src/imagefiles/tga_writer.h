// Writes a work image as a 32-bit true-colour TGA file with an 8-bit alpha
// channel: header, pixel rows bottom row first (run-length encoded or raw),
// the 495-byte extension area and the 26-byte footer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "workimage/work_image.h"

namespace tinta {

// Results of WriteTga.
constexpr int kTgaWritten = 0;
constexpr int kTgaNotRgba = -1;
constexpr int kTgaNotBgra = -2;
constexpr int kTgaNoPixels = -3;
constexpr int kTgaTooLarge = -4;  // wider or taller than the header's 16 bits
constexpr int kTgaFileNotFound = -100;
constexpr int kTgaBadPath = -101;
constexpr int kTgaHardwareError = -102;
constexpr int kTgaOtherFileError = -103;

int WriteTga(const WorkImage& image, const std::string& path, bool encode);

}  // namespace tinta
