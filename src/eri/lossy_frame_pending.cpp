// Lossy frames (transformation 1) are not decoded yet: initialize and the
// frame loop refuse them, and there is no lossy writer. The lossy frame
// decoding replaces this file.
#include "eri/eri_image_decoder.h"

namespace eri {

int EriImageDecoder::initializeLossy() {
    return 1;
}

int EriImageDecoder::decodeLossyFrame(const ImageBuffer&, BitInput&) {
    return 1;
}

LossyBlockWriter EriImageDecoder::selectLossyWriter(std::uint32_t, std::int32_t) {
    return nullptr;
}

}  // namespace eri
