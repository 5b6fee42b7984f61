// Lossless frames: a grid of square blocks, each coded as the differences of
// all its planes, with one operation code per block in front of the data or
// inline before each block.
#include <algorithm>

#include "eri/core/block_reconstruction.h"
#include "eri/core/lossless_reconstruction.h"
#include "eri/eri_image_decoder.h"

namespace eri {
namespace {

constexpr std::uint32_t kCodesInFront = 1;
constexpr std::uint32_t kHuffmanHeaderByte2 = 8;

}  // namespace

template <typename DecodeBlock>
int EriImageDecoder::walkLosslessBlocks(const ImageBuffer& buffer, BlockWriter writer,
                                        DecodeBlock decodeBlock) {
    std::fill_n(lineBuffer.get(),
                std::size_t{static_cast<std::uint32_t>(blocksAcross)} *
                    static_cast<std::uint32_t>(blockSide) * channels,
                0);
    const int rowCount = blockSide * static_cast<int>(channels);
    std::int32_t linesLeft = buffer.height;
    for (std::int32_t r = 0; r < blocksDown; ++r) {
        std::fill_n(rowCarries.get(), rowCount, 0);
        std::uint8_t* const rowAddress =
            buffer.pixels + static_cast<std::ptrdiff_t>(r) * buffer.stride * blockSide;
        const std::int32_t rowHeight = std::min(blockSide, linesLeft);
        std::int32_t columnsLeft = buffer.width;
        std::int32_t* lineCursor = lineBuffer.get();
        for (std::int32_t c = 0; c < blocksAcross; ++c) {
            if (const int failed = decodeBlock(lineCursor); failed != 0) {
                return failed;
            }
            (this->*writer)(rowAddress + static_cast<std::ptrdiff_t>(c) * bytesPerPixel * blockSide,
                            buffer.stride, std::min(blockSide, columnsLeft), rowHeight);
            if (const int stop = onBlockDecoded(r, c); stop != 0) {
                return stop;
            }
            columnsLeft -= blockSide;
        }
        linesLeft -= blockSide;
    }
    return 0;
}

int EriImageDecoder::decodeLosslessFrame(const ImageBuffer& buffer, BitInput& input) {
    const BlockWriter writer = selectLosslessWriter(buffer.formatType, buffer.bitsPerPixel);
    if (writer == nullptr || blockSide == 0) {
        return fail(LoadError::unsupportedFormat);
    }
    const std::uint32_t byte0 = input.readBits(8);
    const std::uint32_t byte1 = input.readBits(8);
    const std::uint32_t byte2 = input.readBits(8);
    if (byte0 != 0 || byte2 != 0) {
        return failReading(input);
    }
    const bool arithmetic = imageInfo.architecture == kArithmeticArchitecture;
    bool codesInFront = true;
    if (arithmetic) {
        if (byte1 < 1 || byte1 > 8) {
            return failReading(input);  // the models exist for symbol widths 1 to 8 only
        }
    } else if (imageInfo.architecture == kGammaArchitecture) {
        if ((byte1 & ~kCodesInFront) != 0) {
            return failReading(input);
        }
        codesInFront = (byte1 & kCodesInFront) != 0;
    } else {
        return fail(LoadError::unsupportedArchitecture);
    }
    const int codeWidth = variant != 0 ? 6 : 4;
    const int codeLimit = variant != 0 ? kOperationPairCount : kChannelOperationCount;
    const bool coloured = channels >= 3;
    std::uint8_t* const codes = blockCodes.get();
    if (codesInFront && coloured) {
        const std::size_t count = std::size_t{static_cast<std::uint32_t>(blocksAcross)} *
                                  static_cast<std::uint32_t>(blocksDown);
        for (std::size_t i = 0; i < count; ++i) {
            // A frame that ends among its codes is broken: stop at once rather
            // than read millions of codes past the end.
            const std::optional<std::uint32_t> code = input.tryReadBits(codeWidth);
            if (!code) {
                return fail(LoadError::dataEndedEarly);
            }
            codes[i] = static_cast<std::uint8_t>(*code);
        }
    }
    if (input.readBit() != 0) {
        return failReading(input);
    }
    if (arithmetic) {
        if (!input.initArithmetic(static_cast<int>(byte1))) {
            return fail(LoadError::outOfMemory);
        }
    } else if (codesInFront) {
        input.startRunCodes();
    }
    // The frame's own mode, whatever an earlier frame left in the slot.
    const BitInput::SymbolDecoder decode =
        arithmetic ? &BitInput::decodeArithmeticSymbols : &BitInput::decodeGammaRuns;

    const auto count = static_cast<std::uint32_t>(samplesPerBlock);
    const int planes = static_cast<int>(channels);
    const int rowCount = blockSide * planes;
    const std::uint8_t* nextCode = codes;
    return walkLosslessBlocks(buffer, writer, [&](std::int32_t*& lineCursor) {
        int code = 0;
        if (coloured) {
            code = codesInFront ? *nextCode++ : static_cast<int>(input.readBits(codeWidth));
            if (code >= codeLimit) {
                return failReading(input);  // 6-bit codes 50..63 name no operation
            }
        }
        if (!codesInFront) {
            input.startRunCodes();
        }
        int operation = code;
        const std::int32_t* differences = blockBuffer.get();
        if (variant == 0 || !coloured) {
            if ((input.*decode)(blockBuffer.get(), count) < count) {
                return failReading(input);
            }
        } else {
            if ((input.*decode)(symbolBuffer.get(), count) < count) {
                return failReading(input);
            }
            const OperationPair pair = operationPair(code);
            operation = pair.operation;
            if (pair.arrangement == 0) {
                differences = symbolBuffer.get();
            } else {
                const std::int32_t* table = arrangementTables[pair.arrangement - 1];
                for (int p = 0; p < planes; ++p) {
                    scatter(blockBuffer.get() + p * blockArea, symbolBuffer.get() + p * blockArea,
                            table, blockArea);
                }
            }
        }
        const BlockPass pass{differences, blockBuffer.get(), rowCarries.get(),
                             lineCursor,  blockSide,         planes};
        reconstructBlock(pass, coloured ? operation : 0, true);
        lineCursor += rowCount;
        return 0;
    });
}

int EriImageDecoder::decodeHuffmanLosslessFrame(const ImageBuffer& buffer, BitInput& input) {
    if (channels < 3 || variant != 2 || imageInfo.architecture != kHuffmanArchitecture ||
        blockSide == 0 || !codeTree) {
        return fail(LoadError::unsupportedFormat);
    }
    const BlockWriter writer = selectLosslessWriter(buffer.formatType, buffer.bitsPerPixel);
    if (writer == nullptr) {
        return fail(LoadError::unsupportedFormat);
    }
    const std::uint32_t byte0 = input.readBits(8);
    const std::uint32_t byte1 = input.readBits(8);
    const std::uint32_t byte2 = input.readBits(8);
    if (byte0 != 0 || (byte1 & ~kCodesInFront) != 0 || byte2 != kHuffmanHeaderByte2) {
        return failReading(input);
    }
    const bool codesInFront = (byte1 & kCodesInFront) != 0;
    HuffmanTree& tree = *codeTree;
    tree.initializeTree();
    std::uint8_t* const codes = blockCodes.get();
    if (codesInFront) {
        const std::size_t count = std::size_t{static_cast<std::uint32_t>(blocksAcross)} *
                                  static_cast<std::uint32_t>(blocksDown);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t code = input.decodeHuffmanSymbol(tree);
            if (code == kHuffmanEnd) {
                return fail(LoadError::dataEndedEarly);
            }
            codes[i] = static_cast<std::uint8_t>(code);
        }
    }
    if (input.readBit() != 0) {
        return failReading(input);
    }
    if (!input.initHuffmanTrees()) {
        return fail(LoadError::outOfMemory);
    }

    const auto count = static_cast<std::uint32_t>(samplesPerBlock);
    const LosslessBlock block{blockBuffer.get(), symbolBuffer.get(), rowCarries.get(),
                              arrangementTables, blockSide,          static_cast<int>(channels)};
    const std::uint8_t* nextCode = codes;
    return walkLosslessBlocks(buffer, writer, [&](std::int32_t*& lineCursor) {
        std::uint32_t code = 0;
        if (codesInFront) {
            code = *nextCode++;
        } else {
            code = input.decodeHuffmanSymbol(tree);
            if (code == kHuffmanEnd) {
                return fail(LoadError::dataEndedEarly);
            }
        }
        if (input.decodeHuffmanValues(symbolBuffer.get(), count) < count) {
            return failReading(input);
        }
        reconstructHuffmanBlock(block, code, lineCursor);
        return 0;
    });
}

}  // namespace eri
