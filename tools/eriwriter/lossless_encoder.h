// Lossless ERI frames: for each block an operation code (chosen at random from
// a seed, or given), the differences that the decoder's reconstruction turns
// back into the picture's samples, coded with the frame's entropy coder.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "eri/image_info.h"

namespace eriwriter {

// Samples of a picture in decoded line order: plane p, line y, column x at
// planes[p][y * width + x]. Plane 0 lands in the first byte of a pixel.
struct PlanePicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::vector<std::int32_t>> planes;
};

struct LosslessFrameOptions {
    std::uint32_t frameCode = 1;  // 1, 4 or 8
    std::uint32_t codingVersion = 0x00020200;
    std::int32_t architecture = -1;  // -1 gamma, 32 arithmetic, -4 Huffman
    std::uint32_t blockingDegree = 3;
    bool codesInFront = true;  // always so with arithmetic coding
    int symbolBits = 8;        // arithmetic coding
    // Bits of each sample that the pixels keep (8, or 5 for 16-bit colour):
    // differences are reduced modulo 2^sampleBits.
    int sampleBits = 8;
    std::uint32_t seed = 1;
    // Operation codes per block in coding order; when shorter than the block
    // count the rest are drawn from the seed.
    std::vector<std::uint32_t> codes;
};

// The image information of a lossless picture.
eri::ImageInfo losslessImageInfo(std::uint32_t version, std::int32_t architecture,
                                 std::uint32_t formatType, std::uint32_t bitsPerPixel,
                                 std::int32_t width, std::int32_t height, std::uint32_t degree);

// Channels of a lossless picture, as the decoder counts them.
int losslessChannels(std::uint32_t formatType, std::uint32_t bitsPerPixel);

// The frame (from the frame code on). Null when a difference does not fit
// the arithmetic symbol width.
std::optional<std::vector<std::uint8_t>> encodeLosslessFrame(const PlanePicture& picture,
                                                             const LosslessFrameOptions& options);

// An 8-bit picture coded line by line (frame code 2), lines in decoded order.
std::vector<std::uint8_t> encodeLineImageFrame(std::int32_t architecture, std::int32_t width,
                                               const std::vector<std::uint8_t>& lines);

}  // namespace eriwriter
