// Decoding of lossy frames (transformation 1): macroblocks of 2 x 2 blocks
// whose DC values, quantisation codes and AC coefficients come from gamma
// runs or adaptive Huffman values, dequantised, transformed, spread over the
// component planes, converted to colour and stored a quarter at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "eri/core/bit_input.h"
#include "eri/core/block_allocator.h"
#include "eri/core/colour_output.h"
#include "eri/core/huffman_tree.h"
#include "eri/core/inverse_transform.h"
#include "eri/core/zigzag_order.h"
#include "eri/image_info.h"
#include "eri/load_error.h"

namespace eri {

constexpr std::uint32_t kLossySampling444 = 0x00040404;
constexpr std::uint32_t kLossySampling422 = 0x00040202;
constexpr std::uint32_t kLossySampling411 = 0x00040101;

// The pixels a lossy frame is stored into: the address of decoded line 0,
// the signed step from one decoded line to the next, bytes per pixel.
struct LossyTarget {
    std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t lineStep = 0;
    std::int32_t bytesPerPixel = 0;
};

class LossyFrameDecoder {
  public:
    // Called after every stored macroblock; a non-zero result stops the decode.
    using MacroblockHook = std::function<int(std::int32_t row, std::int32_t column)>;

    // Checks the image information and sizes every buffer: 0 ready, 1 not
    // supported, sizes out of range or out of memory. Releases first.
    int initialize(const ImageInfo& info);
    void release();

    // Decodes one frame from `input` (standing at the frame header) into
    // `target` through `writer`: 0 done, 1 damaged or unsupported data, or
    // the hook's non-zero result.
    int decode(BitInput& input, const LossyTarget& target, LossyWriter writer,
               const MacroblockHook& onMacroblock);

    // Why the last initialize or decode returned 1.
    LoadError failure = LoadError::none;

    std::int32_t architecture = 0;
    std::int32_t blockingDegree = 0;
    std::int32_t blockSide = 0;
    std::int32_t blockArea = 0;
    std::int32_t samplesPerBlock = 0;
    std::uint32_t channels = 0;
    std::int32_t blocksAcross = 0;  // macroblocks
    std::int32_t blocksDown = 0;
    std::uint32_t macroblocks = 0;
    std::int32_t blocksPerMacro = 0;
    std::int32_t colourBlocks = 0;  // blocks before the alpha blocks: 12, 8 or 6
    SamplingRoutine samplingRoutine = nullptr;

    BlockPtr<std::uint8_t> blockCodes;   // four quantisation codes per macroblock
    BlockPtr<std::int32_t> dcBuffer;     // all DC values when they stand in front
    BlockPtr<std::int32_t> blockBuffer;  // one macroblock as decoded, position-major, 16 spare
    BlockPtr<std::int32_t> zigzag;       // natural position of each zigzag position
    BlockPtr<HuffmanTree> codeTree;
    BlockPtr<float> floatStorage;  // planes, coefficient blocks, sample blocks, transform work
    float* planeTable[4][4] = {};
    float* coefficientBlocks[16] = {};
    float* sampleBlocks[16] = {};
    TransformWork transformWork;
    std::int32_t dcAccumulators[16] = {};

    float baseScale = 0;
    float dcLumaScale = 0;
    float dcChromaScale = 0;

  private:
    // The block scales of the last codes the SIMD path saw, kept while the
    // codes repeat from one macroblock to the next.
    float scaleCache[3][16] = {};
    std::uint32_t cachedCodes = 0;
    bool scaleCacheValid = false;

    int fail(LoadError cause);
    // A short read: the data ended, or codes that cannot be picture data.
    int failReading(const BitInput& input);
    int readHeader(BitInput& input, bool& inFront);
    bool readCodes(BitInput& input, std::uint8_t* codes, std::uint32_t count);
    void predictDc();
    void bandScales(const std::uint8_t* codes, float* dc, float* low, float* high) const;
    void dequantise(const std::uint8_t* codes, bool* hasAc);
    void decodeStepByStep(const std::uint8_t* codes);
    void reconstructSamples(const std::uint8_t* codes);
    static bool takesFusedPath(const LossyTarget& target, LossyWriter writer);
    void storeMacroblockFused(const LossyTarget& target, LossyWriter writer, std::int32_t row,
                              std::int32_t column);
    void storeMacroblock(const LossyTarget& target, LossyWriter writer, std::int32_t row,
                         std::int32_t column);
};

// The writer for a picture's format type and depth: writePixels4 for colour
// with alpha at 32 bits, writePixels3 for colour at 24 or 32 bits; none
// otherwise (in particular not alpha at 24 bits, whose 4-byte pixels would
// not fit a 3-byte-per-pixel buffer).
LossyWriter lossyWriterFor(std::uint32_t formatType, std::uint32_t bitsPerPixel);

}  // namespace eri
