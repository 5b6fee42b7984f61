#include "eri/lossy_frame_decoder.h"

#include <algorithm>
#include <cstring>

#include "eri/checked_size.h"
#include "eri/core/processor_features.h"

namespace eri {

namespace {

constexpr std::uint32_t kHeaderByte0 = 9;
constexpr std::uint32_t kHeaderByte3 = 8;

}  // namespace

void LossyFrameDecoder::release() {
    *this = LossyFrameDecoder();
}

int LossyFrameDecoder::fail(LoadError cause) {
    failure = cause;
    return 1;
}

int LossyFrameDecoder::failReading(const BitInput& input) {
    return fail(input.streamEnded() ? LoadError::dataEndedEarly : LoadError::damagedCodes);
}

int LossyFrameDecoder::initialize(const ImageInfo& info) {
    release();
    // The transform needs the cosine tables; the set-up runs once per process.
    initializeDecodingCore();
    if (info.architecture != kGammaArchitecture && info.architecture != kHuffmanArchitecture) {
        return fail(LoadError::unsupportedArchitecture);
    }
    if ((info.formatType & 0xFFFFFF) != kColourFormat || info.bitsPerPixel < 24) {
        return fail(LoadError::unsupportedFormat);
    }
    if (info.blockingDegree < 3 || info.blockingDegree > 5) {
        return fail(LoadError::unsupportedFormat);
    }
    const std::optional<PictureSize> size = checkedPictureSize(info.width, info.height);
    if (!size) {
        return fail(LoadError::tooLarge);
    }
    switch (info.samplingCode) {
        case kLossySampling444:
            colourBlocks = 12;
            samplingRoutine = placeBlocks444;
            break;
        case kLossySampling422:
            colourBlocks = 8;
            samplingRoutine = placeBlocks422;
            break;
        case kLossySampling411:
            colourBlocks = 6;
            samplingRoutine = placeBlocks411;
            break;
        default:
            return fail(LoadError::unsupportedFormat);
    }
    architecture = info.architecture;
    channels = (info.formatType & kAlphaFormatBit) != 0 ? 4 : 3;
    blocksPerMacro = colourBlocks + (channels == 4 ? 4 : 0);
    const auto d = static_cast<std::int32_t>(info.blockingDegree);
    blockingDegree = d;
    blockSide = 1 << d;
    blockArea = 1 << (2 * d);
    samplesPerBlock = 4 * blockArea * static_cast<std::int32_t>(channels);
    const auto macroDegree = static_cast<unsigned>(d + 1);
    const CheckedSize across = CheckedSize(size->width).piecesOf(macroDegree);
    const CheckedSize down = CheckedSize(size->height).piecesOf(macroDegree);
    const CheckedSize count = across * down;
    const CheckedSize area = CheckedSize(1).shiftedLeft(static_cast<unsigned>(2 * d));
    const CheckedSize perMacro = CheckedSize(static_cast<std::uint32_t>(blocksPerMacro));
    const CheckedSize codeBytes = count * 4;
    const CheckedSize dcBytes = count * perMacro * 4;
    // Spare values past the macroblock let the SIMD path read whole groups of blocks.
    const CheckedSize blockBytes = (area * perMacro + 16) * 4;
    const CheckedSize floatBytes = (area * 49 + CheckedSize(1).shiftedLeft(d)) * 4;
    if (!across.fitsInt32() || !down.fitsInt32() || !codeBytes.valid() || !dcBytes.valid() ||
        !blockBytes.valid() || !floatBytes.valid()) {
        release();
        return fail(LoadError::tooLarge);
    }
    blocksAcross = static_cast<std::int32_t>(across.value());
    blocksDown = static_cast<std::int32_t>(down.value());
    macroblocks = count.value();
    baseScale = 2.0f / static_cast<float>(blockSide);

    blockCodes = allocateBlockOf<std::uint8_t>(codeBytes.value());
    dcBuffer = allocateBlockOf<std::int32_t>(dcBytes.value() / 4);
    blockBuffer = allocateBlockOf<std::int32_t>(blockBytes.value() / 4);
    zigzag = allocateBlockOf<std::int32_t>(area.value());
    floatStorage = allocateBlockOf<float>(floatBytes.value() / 4);
    codeTree = allocateBlockOf<HuffmanTree>(1);
    if (!blockCodes || !dcBuffer || !blockBuffer || !zigzag || !floatStorage || !codeTree) {
        release();
        return fail(LoadError::outOfMemory);
    }
    const std::size_t planeArea = area.value();
    float* next = floatStorage.get();
    for (int i = 0; i < 16; ++i) {
        planeTable[i / 4][i % 4] = next + i * planeArea;
        coefficientBlocks[i] = next + (16 + i) * planeArea;
        sampleBlocks[i] = next + (32 + i) * planeArea;
    }
    std::fill(blockBuffer.get() + planeArea * perMacro.value(),
              blockBuffer.get() + blockBytes.value() / 4, 0);
    transformWork.block = next + 48 * planeArea;
    transformWork.scratch = transformWork.block + planeArea;
    buildZigzagTable(zigzag.get(), blockSide);
    return 0;
}

int LossyFrameDecoder::readHeader(BitInput& input, bool& inFront) {
    const std::uint32_t byte0 = input.readBits(8);
    const std::uint32_t byte1 = input.readBits(8);
    const std::uint32_t flags = input.readBits(8);
    const std::uint32_t byte3 = input.readBits(8);
    if (byte0 != kHeaderByte0 || byte1 != 0 || (flags & ~1u) != 0 || byte3 != kHeaderByte3) {
        return 1;
    }
    if (input.readBit() != 0) {
        return 1;
    }
    inFront = (flags & 1) != 0;
    // The scales are worked out in double and kept as floats.
    const double lumaCode = input.readBits(8);
    const double chromaCode = input.readBits(8);
    dcLumaScale = static_cast<float>(256.0 / (lumaCode + 1) * baseScale);
    dcChromaScale = static_cast<float>(256.0 / (chromaCode + 1) * baseScale);
    return 0;
}

// Quantisation codes from the code tree; the end of the data is damage.
bool LossyFrameDecoder::readCodes(BitInput& input, std::uint8_t* codes, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t symbol = input.decodeHuffmanSymbol(*codeTree);
        if (symbol == kHuffmanEnd) {
            return false;
        }
        codes[i] = static_cast<std::uint8_t>(symbol);
    }
    return true;
}

// DC values are differences from the block at the same position in the
// macroblock to the left; the sums wrap as 32-bit integers.
void LossyFrameDecoder::predictDc() {
    std::int32_t* dc = blockBuffer.get();
    for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
        dcAccumulators[b] = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(dcAccumulators[b]) + static_cast<std::uint32_t>(dc[b]));
        dc[b] = dcAccumulators[b];
    }
}

// The DC, low band and high band scale of every block, zero past the last
// block. Luminance and alpha blocks share the luminance scales.
void LossyFrameDecoder::bandScales(const std::uint8_t* codes, float* dc, float* low,
                                   float* high) const {
    const auto bandScale = [this](std::uint8_t code) {
        return static_cast<float>(static_cast<double>(baseScale) * 256.0 / (code + 1.0));
    };
    const float lumaLow = bandScale(codes[0]);
    const float chromaLow = bandScale(codes[1]);
    const float lumaHigh = bandScale(codes[2]);
    const float chromaHigh = bandScale(codes[3]);
    for (std::int32_t b = 0; b < 16; ++b) {
        const bool chroma = b >= 4 && b < colourBlocks;
        const bool real = b < blocksPerMacro;
        dc[b] = real ? (chroma ? dcChromaScale : dcLumaScale) : 0.0f;
        low[b] = real ? (chroma ? chromaLow : lumaLow) : 0.0f;
        high[b] = real ? (chroma ? chromaHigh : lumaHigh) : 0.0f;
    }
}

// Scales each coefficient by its block's band scale and puts it at its
// natural position. Notes which blocks have any AC coefficient at all.
void LossyFrameDecoder::dequantise(const std::uint8_t* codes, bool* hasAc) {
    float dc[16];
    float low[16];
    float high[16];
    bandScales(codes, dc, low, high);
    std::int32_t any[16];
    const std::int32_t* values = blockBuffer.get();
    for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
        coefficientBlocks[b][0] = static_cast<float>(values[b]) * dc[b];
        any[b] = 0;
    }
    // Most high positions are zero in every block: clear all, then store the
    // positions that carry a value.
    for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
        std::fill(coefficientBlocks[b] + 1, coefficientBlocks[b] + blockArea, 0.0f);
    }
    const std::int32_t lowEnd = (blockSide - 1) * blockSide / 2;
    const std::int32_t* order = zigzag.get();
    for (std::int32_t p = 1; p < blockArea; ++p) {
        const std::int32_t* row = values + p * blocksPerMacro;
        std::int32_t rowBits = 0;
        for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
            rowBits |= row[b];
        }
        if (rowBits == 0) {
            continue;
        }
        const float* scale = p < lowEnd ? low : high;
        const std::int32_t at = order[p];
        for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
            coefficientBlocks[b][at] = static_cast<float>(row[b]) * scale[b];
            any[b] |= row[b];
        }
    }
    for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
        hasAc[b] = any[b] != 0;
    }
}

// The four quarters of the finished macroblock, clipped at the right and
// bottom edges of the target.
void LossyFrameDecoder::storeMacroblock(const LossyTarget& target, LossyWriter writer,
                                        std::int32_t row, std::int32_t column) {
    const std::int64_t macroSide = 2 * static_cast<std::int64_t>(blockSide);
    const std::int64_t linesLeft = target.height - row * macroSide;
    const std::int64_t columnsLeft = target.width - column * macroSide;
    if (linesLeft <= 0 || columnsLeft <= 0) {
        return;
    }
    const auto upper = static_cast<std::int32_t>(std::min<std::int64_t>(linesLeft, blockSide));
    const auto lower =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(linesLeft - blockSide, 0, blockSide));
    const auto left = static_cast<std::int32_t>(std::min<std::int64_t>(columnsLeft, blockSide));
    const auto right =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(columnsLeft - blockSide, 0, blockSide));
    const std::ptrdiff_t pixelStep = target.bytesPerPixel;
    std::uint8_t* const corner =
        target.pixels + row * macroSide * target.lineStep + column * macroSide * pixelStep;
    const std::int32_t widths[4] = {left, right, left, right};
    const std::int32_t heights[4] = {upper, upper, lower, lower};
    for (int q = 0; q < 4; ++q) {
        if (widths[q] == 0 || heights[q] == 0) {
            continue;
        }
        std::uint8_t* at = corner + (q % 2) * blockSide * pixelStep +
                           (q / 2) * static_cast<std::ptrdiff_t>(blockSide) * target.lineStep;
        const float* planes[4] = {planeTable[0][q], planeTable[1][q], planeTable[2][q],
                                  planeTable[3][q]};
        writer(at, target.lineStep, planes, blockSide, widths[q], heights[q], target.bytesPerPixel);
    }
}

int LossyFrameDecoder::decode(BitInput& input, const LossyTarget& target, LossyWriter writer,
                              const MacroblockHook& onMacroblock) {
    failure = LoadError::none;
    if (!floatStorage || channels < 3 || writer == nullptr) {
        return fail(LoadError::unsupportedFormat);
    }
    if (architecture != kGammaArchitecture && architecture != kHuffmanArchitecture) {
        return fail(LoadError::unsupportedArchitecture);
    }
    const bool huffman = architecture == kHuffmanArchitecture;
    if (huffman && !input.initHuffmanTrees()) {
        return fail(LoadError::outOfMemory);
    }
    bool inFront = false;
    if (readHeader(input, inFront) != 0) {
        return failReading(input);
    }
    scaleCacheValid = false;  // the DC scales are the frame's
    codeTree->initializeTree();
    const auto perMacro = static_cast<std::uint32_t>(blocksPerMacro);
    if (inFront) {
        input.startRunCodes();
        const std::uint32_t dcCount = macroblocks * perMacro;
        if (input.decodeGammaRuns(dcBuffer.get(), dcCount) < dcCount ||
            !readCodes(input, blockCodes.get(), macroblocks * 4)) {
            return failReading(input);
        }
        if (!huffman) {
            input.startRunCodes();
        }
    }
    const std::uint32_t acCount = (static_cast<std::uint32_t>(blockArea) - 1) * perMacro;
    std::int32_t* const values = blockBuffer.get();
    const bool fused = takesFusedPath(target, writer);
    for (std::int32_t r = 0; r < blocksDown; ++r) {
        std::fill(std::begin(dcAccumulators), std::end(dcAccumulators), 0);
        for (std::int32_t c = 0; c < blocksAcross; ++c) {
            const std::uint32_t index = static_cast<std::uint32_t>(r * blocksAcross + c);
            std::uint8_t* const codes = blockCodes.get() + index * 4;
            if (inFront) {
                std::memcpy(values, dcBuffer.get() + index * perMacro, perMacro * 4);
            } else if (!input.decodeMacroblockHead(values, perMacro, *codeTree, codes, 4)) {
                return failReading(input);
            }
            std::uint32_t decoded = 0;
            if (huffman) {
                decoded = input.decodeHuffmanValues(values + perMacro, acCount);
            } else {
                if (!inFront) {
                    input.startRunCodes();
                }
                decoded = input.decodeGammaRuns(values + perMacro, acCount);
            }
            if (decoded < acCount) {
                return failReading(input);
            }
            predictDc();
            if (fused) {
                reconstructSamples(codes);
                storeMacroblockFused(target, writer, r, c);
            } else {
                decodeStepByStep(codes);
                storeMacroblock(target, writer, r, c);
            }
            if (onMacroblock) {
                if (const int stop = onMacroblock(r, c); stop != 0) {
                    return stop;
                }
            }
        }
    }
    return 0;
}

// Dequantisation, transform, placement and colour conversion one block and
// one plane at a time, leaving the macroblock in the planes for the writer.
void LossyFrameDecoder::decodeStepByStep(const std::uint8_t* codes) {
    const int d = blockingDegree;
    bool hasAc[16];
    dequantise(codes, hasAc);
    for (std::int32_t b = 0; b < blocksPerMacro; ++b) {
        if (hasAc[b]) {
            inverseTransformBlock(sampleBlocks[b], coefficientBlocks[b], d, transformWork);
        } else {
            // The transform of a lone DC value is that value in every sample, exactly.
            std::fill(sampleBlocks[b], sampleBlocks[b] + blockArea, coefficientBlocks[b][0]);
        }
    }
    samplingRoutine(planeTable, sampleBlocks, blockSide, static_cast<int>(channels));
    convertColourPlanes(planeTable, blockSide);
}

}  // namespace eri
