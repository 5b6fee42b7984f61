#include "eri/eri_image_decoder.h"

#include "eri/arrangement_tables.h"
#include "eri/checked_size.h"

namespace eri {
namespace {

constexpr std::uint32_t kCodingVersion1 = 0x00020100;
constexpr std::uint32_t kCodingVersion2 = 0x00020200;

constexpr std::uint32_t kFrameLossless = 1;
constexpr std::uint32_t kFrameLineImage = 2;
constexpr std::uint32_t kFrameLosslessPaired = 4;
constexpr std::uint32_t kFrameHuffmanLossless = 8;

}  // namespace

EriImageDecoder::~EriImageDecoder() {
    release();
}

void EriImageDecoder::release() {
    blockSide = 0;
    blockArea = 0;
    samplesPerBlock = 0;
    channels = 0;
    blocksAcross = 0;
    blocksDown = 0;
    bytesPerPixel = 0;
    blockCodes.reset();
    rowCarries.reset();
    lineBuffer.reset();
    blockBuffer.reset();
    symbolBuffer.reset();
    variant = 0;
    arrangementBlock.reset();
    for (const std::int32_t*& table : arrangementTables) {
        table = nullptr;
    }
    codeTree.reset();
    lossy = LossyFields{};
}

int EriImageDecoder::initialize(const ImageInfo& info) {
    release();
    imageInfo = info;
    failure = LoadError::none;
    // Every buffer below is sized from these; nothing is allocated for a
    // picture beyond the limit.
    if (!checkedPictureSize(info.width, info.height)) {
        return fail(LoadError::tooLarge);
    }
    if (info.transformation == kLosslessTransformation) {
        return initializeLossless();
    }
    if (info.transformation == kLossyTransformation) {
        return initializeLossy();
    }
    return fail(LoadError::unsupportedTransformation);
}

int EriImageDecoder::initializeLossless() {
    const ImageInfo& info = imageInfo;
    if (info.architecture != kGammaArchitecture && info.architecture != kHuffmanArchitecture &&
        info.architecture != kArithmeticArchitecture) {
        return fail(LoadError::unsupportedArchitecture);
    }
    if ((info.formatType & 0xFFFFFF) == kColourFormat) {
        channels = info.bitsPerPixel <= 8 ? 1 : (info.formatType & kAlphaFormatBit) != 0 ? 4 : 3;
    } else {
        channels = 1;
    }
    if (info.codingVersion == kCodingVersion1) {
        variant = 0;
    } else if (info.codingVersion == kCodingVersion2) {
        variant = info.architecture == kHuffmanArchitecture ? 2 : 1;
    } else {
        return fail(LoadError::unsupportedFormat);
    }

    const std::uint32_t d = info.blockingDegree;
    if (d > kMaxLosslessDegree) {
        return fail(LoadError::unsupportedFormat);
    }
    if (d == 0) {
        return 0;  // line images only
    }
    const PictureSize size = *checkedPictureSize(info.width, info.height);
    const CheckedSize across = CheckedSize(size.width).piecesOf(d);
    const CheckedSize down = CheckedSize(size.height).piecesOf(d);
    const CheckedSize side = CheckedSize(1).shiftedLeft(d);
    const CheckedSize area = side * side;
    const CheckedSize samples = area * channels;
    const CheckedSize codeBytes = across * down;
    const CheckedSize lineEntries = across.shiftedLeft(d) * channels;
    const CheckedSize tableEntries = (variant == 2 ? samples : area) * 4;
    if (!across.fitsInt32() || !down.fitsInt32() || !samples.fitsInt32() ||
        !codeBytes.fitsInt32() || !(lineEntries * 4).fitsInt32() ||
        !(tableEntries * 4).fitsInt32()) {
        return fail(LoadError::tooLarge);
    }
    blockSide = static_cast<std::int32_t>(side.value());
    blockArea = static_cast<std::int32_t>(area.value());
    samplesPerBlock = static_cast<std::int32_t>(samples.value());
    blocksAcross = static_cast<std::int32_t>(across.value());
    blocksDown = static_cast<std::int32_t>(down.value());

    blockCodes = allocateBlockOf<std::uint8_t>(codeBytes.value());
    rowCarries = allocateBlockOf<std::int32_t>(std::size_t{side.value()} * channels);
    lineBuffer = allocateBlockOf<std::int32_t>(lineEntries.value());
    blockBuffer = allocateBlockOf<std::int32_t>(samples.value());
    symbolBuffer = allocateBlockOf<std::int32_t>(samples.value());
    if (!blockCodes || !rowCarries || !lineBuffer || !blockBuffer || !symbolBuffer) {
        release();
        return fail(LoadError::outOfMemory);
    }
    if (variant == 0) {
        return 0;
    }
    arrangementBlock = allocateBlockOf<std::int32_t>(tableEntries.value());
    if (!arrangementBlock) {
        release();
        return fail(LoadError::outOfMemory);
    }
    const std::size_t tableSize = tableEntries.value() / 4;
    for (std::size_t t = 0; t < 4; ++t) {
        arrangementTables[t] = arrangementBlock.get() + t * tableSize;
    }
    if (variant == 1) {
        buildPerPlaneTables(arrangementBlock.get(), blockSide);
        return 0;
    }
    buildChannelSpanningTables(arrangementBlock.get(), blockSide, static_cast<int>(channels));
    codeTree = allocateBlockOf<HuffmanTree>(1);
    if (!codeTree) {
        release();
        return fail(LoadError::outOfMemory);
    }
    return 0;
}

int EriImageDecoder::decodeImage(const ImageBuffer& buffer, BitInput& input, bool flip) {
    const std::optional<PictureSize> size = checkedPictureSize(imageInfo.width, imageInfo.height);
    if (!size || buffer.pixels == nullptr || buffer.width != imageInfo.width ||
        buffer.height != static_cast<std::int32_t>(size->height)) {
        return fail(LoadError::unsupportedFormat);
    }
    ImageBuffer target = buffer;
    if (imageInfo.height < 0) {
        flip = !flip;
    }
    if (flip) {
        target.pixels += static_cast<std::ptrdiff_t>(target.height - 1) * target.stride;
        target.stride = -target.stride;
    }
    if (imageInfo.transformation == kLossyTransformation) {
        // The lossy frame loop reads its header straight away: no reset,
        // no frame code.
        return decodeLossyFrame(target, input);
    }
    if (imageInfo.transformation != kLosslessTransformation) {
        return fail(LoadError::unsupportedTransformation);
    }
    input.resetBits();
    const std::optional<std::uint32_t> frameCode = input.tryReadBits(8);
    if (!frameCode) {
        return fail(LoadError::dataEndedEarly);
    }
    switch (*frameCode) {
        case kFrameLossless:
            return decodeLosslessFrame(target, input);
        case kFrameLosslessPaired:
            return variant == 1 ? decodeLosslessFrame(target, input)
                                : fail(LoadError::unsupportedFormat);
        case kFrameHuffmanLossless:
            return decodeHuffmanLosslessFrame(target, input);
        case kFrameLineImage:
            return decodeLineImage(target, input);
        default:
            return fail(LoadError::damagedCodes);
    }
}

int EriImageDecoder::decodeLineImage(const ImageBuffer& buffer, BitInput& input) {
    if (buffer.bitsPerPixel != 8) {
        return fail(LoadError::unsupportedFormat);
    }
    if (input.readBits(24) != 0) {
        return fail(LoadError::damagedCodes);
    }
    const auto width = static_cast<std::uint32_t>(buffer.width);
    BlockPtr<std::int32_t> symbols;
    switch (imageInfo.architecture) {
        case kArithmeticArchitecture:
            symbols = allocateBlockOf<std::int32_t>(width);
            if (!symbols || !input.initArithmetic(8)) {
                return fail(LoadError::outOfMemory);
            }
            break;
        case kGammaArchitecture:
            if (!input.initMoveToFront()) {
                return fail(LoadError::outOfMemory);
            }
            break;
        case kHuffmanArchitecture:
            if (!input.initHuffmanTrees()) {
                return fail(LoadError::outOfMemory);
            }
            break;
        default:
            return fail(LoadError::unsupportedArchitecture);
    }
    for (std::int32_t i = 0; i < buffer.height; ++i) {
        std::uint8_t* line = buffer.pixels + static_cast<std::ptrdiff_t>(i) * buffer.stride;
        switch (imageInfo.architecture) {
            case kArithmeticArchitecture:
                if (input.decodeArithmeticSymbols(symbols.get(), width) < width) {
                    return failReading(input);
                }
                for (std::uint32_t x = 0; x < width; ++x) {
                    line[x] = static_cast<std::uint8_t>(symbols.get()[x]);
                }
                break;
            case kGammaArchitecture:
                if (input.decodeMtfBytes(line, width) < width) {
                    return failReading(input);
                }
                break;
            default:
                if (input.decodeHuffmanBytes(line, width) < width) {
                    return failReading(input);
                }
                break;
        }
        if (const int stop = onLineDecoded(i); stop != 0) {
            return stop;
        }
    }
    return 0;
}

int EriImageDecoder::onBlockDecoded(std::int32_t, std::int32_t) {
    return 0;
}

int EriImageDecoder::onLineDecoded(std::int32_t) {
    return 0;
}

}  // namespace eri
