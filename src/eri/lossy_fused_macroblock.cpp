// The SIMD way through a lossy macroblock: the blocks are dequantised and
// transformed several at a time, and placement, colour conversion and the
// writer run as one pass from the sample blocks to the target's bytes.
// The bytes are those of the step-by-step SIMD path.
#include <algorithm>
#include <cstring>

#include "eri/core/lossy_simd_kernels.h"
#include "eri/core/processor_features.h"
#include "eri/lossy_frame_decoder.h"

namespace eri {

bool LossyFrameDecoder::takesFusedPath(const LossyTarget& target, LossyWriter writer) {
#ifdef ERI_FLOAT_SIMD
    if ((processorFeatures & kFloatSimd) == 0) {
        return false;
    }
    if (writer == writePixels3) {
        return target.bytesPerPixel == 3 || target.bytesPerPixel == 4;
    }
    return writer == writePixels4 && target.bytesPerPixel == 4;
#else
    (void)target;
    (void)writer;
    return false;
#endif
}

// Sample blocks from the macroblock in blockBuffer; the coefficient blocks'
// storage serves as the kernels' work area.
void LossyFrameDecoder::reconstructSamples(const std::uint8_t* codes) {
#ifdef ERI_FLOAT_SIMD
    std::uint32_t codeWord = 0;
    std::memcpy(&codeWord, codes, 4);
    if (!scaleCacheValid || codeWord != cachedCodes) {
        bandScales(codes, scaleCache[0], scaleCache[1], scaleCache[2]);
        cachedCodes = codeWord;
        scaleCacheValid = true;
    }
    detail::QuantisedMacroblock block;
    block.values = blockBuffer.get();
    block.blocks = blocksPerMacro;
    block.side = blockSide;
    block.zigzag = zigzag.get();
    block.dcScales = scaleCache[0];
    block.lowScales = scaleCache[1];
    block.highScales = scaleCache[2];
    detail::reconstructBlocksSimd(block, sampleBlocks, coefficientBlocks[0]);
#else
    (void)codes;
#endif
}

void LossyFrameDecoder::storeMacroblockFused(const LossyTarget& target, LossyWriter writer,
                                             std::int32_t row, std::int32_t column) {
#ifdef ERI_FLOAT_SIMD
    const std::int64_t macroSide = 2 * static_cast<std::int64_t>(blockSide);
    const std::int64_t linesLeft = target.height - row * macroSide;
    const std::int64_t columnsLeft = target.width - column * macroSide;
    if (linesLeft <= 0 || columnsLeft <= 0) {
        return;
    }
    detail::MacroblockTarget pixels;
    pixels.corner = target.pixels + row * macroSide * target.lineStep +
                    column * macroSide * target.bytesPerPixel;
    pixels.lineStep = target.lineStep;
    pixels.pixelStep = target.bytesPerPixel;
    pixels.planeCount = writer == writePixels4 ? 4 : 3;
    pixels.width = static_cast<int>(std::min(columnsLeft, macroSide));
    pixels.height = static_cast<int>(std::min(linesLeft, macroSide));
    detail::MacroblockSamples samples;
    samples.blocks = sampleBlocks;
    samples.samplingCode = colourBlocks == 12  ? kLossySampling444
                           : colourBlocks == 8 ? kLossySampling422
                                               : kLossySampling411;
    samples.side = blockSide;
    samples.colourBlocks = colourBlocks;
    detail::writeMacroblockSimd(samples, pixels);
#else
    (void)target;
    (void)writer;
    (void)row;
    (void)column;
#endif
}

}  // namespace eri
