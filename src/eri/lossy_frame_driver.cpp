// The lossy parts of the decoding driver: set-up and frame loop are the
// lossy frame decoder's; the driver shares its layout fields and hook.
#include "eri/eri_image_decoder.h"

namespace eri {

int EriImageDecoder::initializeLossy() {
    if (lossy.initialize(imageInfo) != 0) {
        return fail(lossy.failure);
    }
    blockSide = lossy.blockSide;
    blockArea = lossy.blockArea;
    samplesPerBlock = lossy.samplesPerBlock;
    channels = lossy.channels;
    blocksAcross = lossy.blocksAcross;
    blocksDown = lossy.blocksDown;
    return 0;
}

int EriImageDecoder::decodeLossyFrame(const ImageBuffer& buffer, BitInput& input) {
    if (channels < 3 || (imageInfo.architecture != kGammaArchitecture &&
                         imageInfo.architecture != kHuffmanArchitecture)) {
        return fail(LoadError::unsupportedArchitecture);
    }
    const LossyBlockWriter writer = selectLossyWriter(buffer.formatType, buffer.bitsPerPixel);
    if (writer == nullptr) {
        return fail(LoadError::unsupportedFormat);
    }
    const LossyTarget target{buffer.pixels, buffer.width, buffer.height, buffer.stride,
                             bytesPerPixel};
    const int result = lossy.decode(
        input, target, writer,
        [this](std::int32_t row, std::int32_t column) { return onBlockDecoded(row, column); });
    if (result == 1) {
        failure = lossy.failure;
    }
    return result;
}

LossyWriter lossyWriterFor(std::uint32_t formatType, std::uint32_t bitsPerPixel) {
    const bool alpha = (formatType & kAlphaFormatBit) != 0;
    if (bitsPerPixel == 32) {
        return alpha ? writePixels4 : writePixels3;
    }
    if (bitsPerPixel == 24 && !alpha) {
        return writePixels3;
    }
    return nullptr;
}

LossyBlockWriter EriImageDecoder::selectLossyWriter(std::uint32_t formatType,
                                                    std::int32_t bitsPerPixel) {
    bytesPerPixel = bitsPerPixel >> 3;
    if (bitsPerPixel < 0) {
        return nullptr;
    }
    return lossyWriterFor(formatType, static_cast<std::uint32_t>(bitsPerPixel));
}

}  // namespace eri
