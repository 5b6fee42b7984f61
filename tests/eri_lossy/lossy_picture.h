// Pictures and decoding helpers shared by the lossy frame tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "eri/bytes_bit_input.h"
#include "eri/lossy_frame_decoder.h"
#include "eri_lossy/scoped_features.h"
#include "eriwriter/lossy_encoding.h"
#include "eriwriter/lossy_frame_encoder.h"

namespace lossytest {

// Smooth gradients and slow waves, with a soft alpha ramp when asked.
inline eriwriter::LossyPicture smoothPicture(int width, int height, int channels) {
    eriwriter::LossyPicture picture{width, height, channels, {}};
    picture.pixels.resize(static_cast<std::size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &picture.pixels[(static_cast<std::size_t>(y) * width + x) * channels];
            p[0] = static_cast<std::uint8_t>(128 + 90 * std::sin(x * 0.05 + y * 0.03));
            p[1] = static_cast<std::uint8_t>(40 + (150 * x) / std::max(1, width - 1));
            p[2] = static_cast<std::uint8_t>(200 - (120 * y) / std::max(1, height - 1));
            if (channels > 3) {
                p[3] =
                    static_cast<std::uint8_t>(255 - (200 * (x + y)) / std::max(1, width + height));
            }
        }
    }
    return picture;
}

// A smooth picture quantised at the finest codes and its frame's layout.
struct Frame {
    eriwriter::LossyPicture picture;
    eri::ImageInfo info;
    eriwriter::LossyFrameContent content;
    eriwriter::LossyFrameOptions options;
    std::vector<std::uint8_t> bytes() const {
        return eriwriter::encodeLossyFrame(content, options);
    }
};

inline Frame smoothFrame(int width, int height, int degree, std::int32_t architecture, bool inFront,
                         int channels = 3, std::uint32_t sampling = eriwriter::kSampling444,
                         std::uint32_t depth = 24) {
    Frame frame;
    frame.picture = smoothPicture(width, height, channels);
    frame.info = eriwriter::lossyImageInfo(frame.picture, architecture, degree, sampling, depth);
    frame.content = eriwriter::quantisePicture(frame.picture, degree, sampling, {},
                                               architecture == eri::kHuffmanArchitecture);
    frame.options.architecture = architecture;
    frame.options.inFront = inFront;
    return frame;
}

struct Decoded {
    int result = -1;
    int bytesPerPixel = 0;
    std::ptrdiff_t stride = 0;
    std::vector<std::uint8_t> pixels;
};

// Decodes a frame into a buffer of the picture's size, `fill` in every byte
// beforehand; rows are `stride` bytes (0: width * bytes per pixel).
inline Decoded decodeFrame(const eri::ImageInfo& info, const std::vector<std::uint8_t>& frame,
                           bool simd, std::uint8_t fill = 0, std::ptrdiff_t stride = 0,
                           eri::LossyFrameDecoder::MacroblockHook hook = {}) {
    ScopedFloatSimd path(simd);
    Decoded decoded;
    decoded.bytesPerPixel = static_cast<int>(info.bitsPerPixel / 8);
    const int height = std::abs(info.height);
    decoded.stride =
        stride != 0 ? stride : static_cast<std::ptrdiff_t>(info.width) * decoded.bytesPerPixel;
    decoded.pixels.assign(static_cast<std::size_t>(decoded.stride) * height, fill);
    eri::LossyFrameDecoder decoder;
    if (decoder.initialize(info) != 0) {
        decoded.result = 100;
        return decoded;
    }
    eritest::BytesBitInput input(frame, 256);
    const eri::LossyTarget target{decoded.pixels.data(), info.width, height, decoded.stride,
                                  decoded.bytesPerPixel};
    decoded.result = decoder.decode(input, target,
                                    eri::lossyWriterFor(info.formatType, info.bitsPerPixel), hook);
    return decoded;
}

// Peak signal-to-noise ratio over the picture's channels, in dB.
inline double psnr(const eriwriter::LossyPicture& picture, const Decoded& decoded) {
    double squares = 0;
    long count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            for (int k = 0; k < picture.channels; ++k) {
                const int want = picture.pixels[(static_cast<std::size_t>(y) * picture.width + x) *
                                                    picture.channels +
                                                k];
                const int got = decoded.pixels[y * decoded.stride + x * decoded.bytesPerPixel + k];
                squares += (want - got) * (want - got);
                ++count;
            }
        }
    }
    if (squares == 0) {
        return 99.0;
    }
    return 10 * std::log10(255.0 * 255.0 * count / squares);
}

}  // namespace lossytest
