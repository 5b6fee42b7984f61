// Lossy ERI frames: a picture quantised into macroblocks, and the frame
// bytes for either architecture and either data layout.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "eri/image_info.h"

namespace eriwriter {

// Pixels as the decoder stores them: `channels` bytes per pixel (blue,
// green, red, and alpha when 4), line 0 first.
struct LossyPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int channels = 3;
    std::vector<std::uint8_t> pixels;
};

struct LossyQuality {
    std::uint8_t dcLuma = 255;
    std::uint8_t dcChroma = 255;
    // c0..c3 of every macroblock: low band luminance, low band chrominance,
    // high band luminance, high band chrominance.
    std::array<std::uint8_t, 4> bandCodes = {255, 255, 255, 255};
    // Lowers the band codes a little from one macroblock to the next, so the
    // code tree sees several symbols.
    bool varyCodes = false;
};

// A frame's contents before entropy coding: per macroblock its four codes
// and its values in decoded order (entry p * blocksPerMacro + b is zigzag
// position p of block b), with the DC values absolute.
struct LossyFrameContent {
    std::int32_t blockingDegree = 3;
    std::uint32_t samplingCode = 0x00040404;
    int channels = 3;
    std::int32_t blocksAcross = 0;
    std::int32_t blocksDown = 0;
    int blocksPerMacro = 0;
    std::uint8_t dcLuma = 255;
    std::uint8_t dcChroma = 255;
    std::vector<std::array<std::uint8_t, 4>> codes;
    std::vector<std::vector<std::int32_t>> values;
};

// Transform, quantisation and zigzag of a whole picture (edges repeated
// into the padding of partial macroblocks). With `huffmanRange` each band
// code is lowered, where needed, to the finest one whose AC levels fit the
// signed 8-bit values of the Huffman architecture (and they are clamped to it).
LossyFrameContent quantisePicture(const LossyPicture& picture, std::int32_t blockingDegree,
                                  std::uint32_t samplingCode, const LossyQuality& quality,
                                  bool huffmanRange);

struct LossyFrameOptions {
    std::int32_t architecture = eri::kGammaArchitecture;
    bool inFront = true;
    // The four header bytes and the reserved bit; byte 2's bit 0 is set from
    // `inFront` unless `rawFlags` is set.
    std::array<std::uint8_t, 4> header = {9, 0, 0, 8};
    bool rawFlags = false;
    std::uint32_t reservedBit = 0;
    // Huffman frames with the data in front: the DC values' last run is coded
    // this much longer; the AC values then start with that many fewer zeros,
    // which the decoder owes from the left-over run.
    std::uint32_t dcRunOverhang = 0;
};

// The frame bytes. With dcRunOverhang the first AC values must be zeros.
std::vector<std::uint8_t> encodeLossyFrame(const LossyFrameContent& content,
                                           const LossyFrameOptions& options);

// The image information of a lossy picture.
eri::ImageInfo lossyImageInfo(const LossyPicture& picture, std::int32_t architecture,
                              std::int32_t blockingDegree, std::uint32_t samplingCode,
                              std::uint32_t bitsPerPixel);

}  // namespace eriwriter
