// The lossy parts of the decoding driver: set-up and frame loop are the
// lossy frame decoder's; the driver shares its layout fields and hook.
#include "eri/eri_image_decoder.h"

namespace eri {

int EriImageDecoder::initializeLossy() {
    if (lossy.initialize(imageInfo) != 0) {
        return 1;
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
        return 1;
    }
    const LossyBlockWriter writer = selectLossyWriter(buffer.formatType, buffer.bitsPerPixel);
    if (writer == nullptr) {
        return 1;
    }
    const LossyTarget target{buffer.pixels, buffer.width, buffer.height, buffer.stride,
                             bytesPerPixel};
    return lossy.decode(input, target, writer, [this](std::int32_t row, std::int32_t column) {
        return onBlockDecoded(row, column);
    });
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
