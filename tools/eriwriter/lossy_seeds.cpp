#include "eriwriter/lossy_seeds.h"

#include <random>

#include "eriwriter/container_writer.h"
#include "eriwriter/lossy_encoding.h"
#include "eriwriter/lossy_frame_encoder.h"

namespace eriwriter {

std::vector<std::vector<std::uint8_t>> lossySeedFiles() {
    std::vector<std::vector<std::uint8_t>> files;
    std::mt19937 random(23);
    int round = 0;
    for (const std::uint32_t sampling : {kSampling444, kSampling422, kSampling411}) {
        for (const int channels : {3, 4}) {
            for (const std::int32_t architecture :
                 {eri::kGammaArchitecture, eri::kHuffmanArchitecture}) {
                for (const bool inFront : {true, false}) {
                    const int degree = 3 + round++ % 3;
                    LossyPicture picture{1 + static_cast<std::int32_t>(random() % 40),
                                         1 + static_cast<std::int32_t>(random() % 24),
                                         channels,
                                         {}};
                    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height *
                                          channels);
                    // Smooth ramps with a little noise keep the files small.
                    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
                        picture.pixels[i] =
                            static_cast<std::uint8_t>((i * 7) / (channels * 3) + random() % 9);
                    }
                    LossyQuality quality;
                    quality.bandCodes = {static_cast<std::uint8_t>(40 + random() % 200),
                                         static_cast<std::uint8_t>(20 + random() % 200), 30, 10};
                    quality.varyCodes = round % 2 == 0;
                    const bool huffman = architecture == eri::kHuffmanArchitecture;
                    const auto content =
                        quantisePicture(picture, degree, sampling, quality, huffman);
                    LossyFrameOptions options;
                    options.architecture = architecture;
                    options.inFront = inFront;
                    eri::ImageInfo info = lossyImageInfo(picture, architecture, degree, sampling,
                                                         channels == 4 ? 32 : 24 + 8 * (round % 2));
                    if (round % 3 == 0) {
                        info.height = -info.height;
                    }
                    files.push_back(eriFile(info, encodeLossyFrame(content, options)));
                }
            }
        }
    }
    return files;
}

}  // namespace eriwriter
