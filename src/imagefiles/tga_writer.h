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
constexpr int kTgaNoPixels = -3;  // no pixel block, or no pixels (width or height below 1)
// Wider or taller than the header's 16 bits, or pixel data too long for the
// footer's 32-bit extension area offset. No file is left behind.
constexpr int kTgaTooLarge = -4;
constexpr int kTgaNoMemory = -5;  // no row buffer; no file is created
constexpr int kTgaFileNotFound = -100;
constexpr int kTgaBadPath = -101;
constexpr int kTgaHardwareError = -102;
constexpr int kTgaOtherFileError = -103;

// Writes image to path, creating or replacing the file; encode chooses
// run-length encoded rows (image type 10) over raw rows (type 2). Returns
// kTgaWritten or one of the negative codes above. The -1 to -5 checks create
// no file; when the open fails the code comes from its errno (ENOENT -100;
// ENOTDIR, EINVAL, ENAMETOOLONG, EISDIR -101; EIO -102; else -103), and when
// a later write fails the partly written file is removed before the code of
// that write's errno is returned.
int WriteTga(const WorkImage& image, const std::string& path, bool encode);

// Why a write ended with code, as a short Japanese text for the report.
const char* TgaErrorText(int code);

}  // namespace tinta
