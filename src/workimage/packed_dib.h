// The packed DIB that carries pixels between the readers, the work image and
// the writers: a 40-byte header, a 1,024-byte colour table at 8 bits per
// pixel, then the pixel rows bottom row first, each padded to 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tinta {

constexpr size_t kDibHeaderSize = 40;
constexpr size_t kDibColourTableSize = 1024;

struct DibHeader {
    int32_t width = 0;
    int32_t height = 0;  // positive: bottom row stored first
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 32;
    uint32_t compression = 0;
    uint32_t imageSize = 0;  // bytes of pixel rows
    int32_t xResolution = 0;
    int32_t yResolution = 0;
    uint32_t coloursUsed = 0;
    uint32_t importantColours = 0;
};

// Bytes of one stored row, padded to a multiple of 4, or -1 when the width
// or depth is not allowed.
int64_t DibRowStride(int32_t width, int bitsPerPixel);

// Offset of the first pixel row: after the header, and after the colour
// table at 8 bits per pixel.
size_t DibPixelOffset(int bitsPerPixel);

// Whole block size for a DIB of this size and depth, or -1 when the size is
// not allowed (below 1, above the work image limit, or not describable in the
// header's 32-bit image size field).
int64_t DibBlockSize(int32_t width, int32_t height, int bitsPerPixel);

// A header of a DIB of this size and depth with every other field as the
// system writes it (resolutions 0). The caller checks the size first.
DibHeader MakeDibHeader(int32_t width, int32_t height, int bitsPerPixel);

void WriteDibHeader(const DibHeader& header, uint8_t* block);

// The header of a packed DIB block of blockSize bytes, when it is one the
// system can convert: header size 40, positive size within the limits,
// 8/16/24/32 bits, uncompressed, and every pixel row inside the block.
std::optional<DibHeader> ReadDibHeader(const uint8_t* block, size_t blockSize);

}  // namespace tinta
