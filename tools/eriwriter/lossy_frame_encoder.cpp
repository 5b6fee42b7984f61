#include "eriwriter/lossy_frame_encoder.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "eri/core/huffman_tree.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/gamma_run_encoder.h"
#include "eriwriter/huffman_encoder.h"
#include "eriwriter/lossy_encoding.h"

namespace eriwriter {

namespace {

// Components Y, U, V (and alpha) of the macroblock at (row, column), edges repeated.
std::array<std::vector<double>, 4> macroblockPlanes(const LossyPicture& picture, int row,
                                                    int column, int blockSide) {
    const int side = 2 * blockSide;
    std::array<std::vector<double>, 4> planes;
    for (auto& plane : planes) {
        plane.resize(side * side);
    }
    for (int y = 0; y < side; ++y) {
        const int py = std::min(row * side + y, picture.height - 1);
        for (int x = 0; x < side; ++x) {
            const int px = std::min(column * side + x, picture.width - 1);
            const std::uint8_t* pixel =
                &picture.pixels[(static_cast<std::size_t>(py) * picture.width + px) *
                                picture.channels];
            const LumaChroma yuv = toLumaChroma(pixel[0], pixel[1], pixel[2]);
            planes[0][y * side + x] = yuv.y;
            planes[1][y * side + x] = yuv.u;
            planes[2][y * side + x] = yuv.v;
            planes[3][y * side + x] = picture.channels > 3 ? pixel[3] : 0;
        }
    }
    return planes;
}

std::array<std::uint8_t, 4> macroblockCodes(const LossyQuality& quality, std::size_t index) {
    std::array<std::uint8_t, 4> codes = quality.bandCodes;
    if (quality.varyCodes) {
        for (int k = 0; k < 4; ++k) {
            codes[k] = static_cast<std::uint8_t>(codes[k] - (index + k) % 3);
        }
    }
    return codes;
}

std::int32_t quantise(double coefficient, double scale, bool clampToByte) {
    const double level = std::nearbyint(coefficient / scale);
    const double limit = clampToByte ? 127.0 : 1e9;
    return static_cast<std::int32_t>(std::clamp(level, clampToByte ? -128.0 : -limit, limit));
}

}  // namespace

LossyFrameContent quantisePicture(const LossyPicture& picture, std::int32_t blockingDegree,
                                  std::uint32_t samplingCode, const LossyQuality& quality,
                                  bool huffmanRange) {
    const int n = 1 << blockingDegree;
    LossyFrameContent content;
    content.blockingDegree = blockingDegree;
    content.samplingCode = samplingCode;
    content.channels = picture.channels;
    content.blocksAcross = (picture.width + 2 * n - 1) / (2 * n);
    content.blocksDown = (picture.height + 2 * n - 1) / (2 * n);
    const int colourBlocks = colourBlocksFor(samplingCode);
    content.blocksPerMacro = colourBlocks + (picture.channels > 3 ? 4 : 0);
    content.dcLuma = quality.dcLuma;
    content.dcChroma = quality.dcChroma;
    const std::vector<int> order = zigzagOrder(n);
    const int lowEnd = lowBandEnd(n);
    const int perMacro = content.blocksPerMacro;
    for (int r = 0; r < content.blocksDown; ++r) {
        for (int c = 0; c < content.blocksAcross; ++c) {
            auto codes = macroblockCodes(quality, content.codes.size());
            const auto blocks = macroblockBlocks(macroblockPlanes(picture, r, c, n), n,
                                                 samplingCode, picture.channels);
            std::vector<std::vector<double>> coefficients;
            for (int b = 0; b < perMacro; ++b) {
                coefficients.push_back(forwardTransform(blocks[b], n));
            }
            if (huffmanRange) {
                // The finest code of each band whose levels stay within 127.
                std::array<double, 4> largest = {};
                for (int b = 0; b < perMacro; ++b) {
                    const int chroma = b >= 4 && b < colourBlocks ? 1 : 0;
                    for (int p = 1; p < n * n; ++p) {
                        double& band = largest[(p < lowEnd ? 0 : 2) + chroma];
                        band = std::max(band, std::fabs(coefficients[b][order[p]]));
                    }
                }
                for (int k = 0; k < 4; ++k) {
                    const double fit = std::floor(127.0 * 512.0 / (largest[k] * n + 1e-9)) - 1;
                    codes[k] = static_cast<std::uint8_t>(
                        std::clamp(fit, 0.0, static_cast<double>(codes[k])));
                }
            }
            std::vector<std::int32_t> values(static_cast<std::size_t>(n * n) * perMacro);
            for (int b = 0; b < perMacro; ++b) {
                const int chroma = b >= 4 && b < colourBlocks ? 1 : 0;
                const double dcScale =
                    quantisationScale(chroma != 0 ? quality.dcChroma : quality.dcLuma, n);
                values[b] = quantise(coefficients[b][0], dcScale, false);
                for (int p = 1; p < n * n; ++p) {
                    const int code = codes[(p < lowEnd ? 0 : 2) + chroma];
                    values[p * perMacro + b] = quantise(coefficients[b][order[p]],
                                                        quantisationScale(code, n), huffmanRange);
                }
            }
            content.codes.push_back(codes);
            content.values.push_back(std::move(values));
        }
    }
    return content;
}

namespace {

// DC values as differences from the macroblock to the left, per macroblock row.
std::vector<std::vector<std::int32_t>> dcDifferences(const LossyFrameContent& content) {
    std::vector<std::vector<std::int32_t>> differences;
    const int perMacro = content.blocksPerMacro;
    for (int r = 0; r < content.blocksDown; ++r) {
        std::vector<std::int32_t> previous(perMacro, 0);
        for (int c = 0; c < content.blocksAcross; ++c) {
            const auto& values = content.values[r * content.blocksAcross + c];
            std::vector<std::int32_t> dc(perMacro);
            for (int b = 0; b < perMacro; ++b) {
                dc[b] = static_cast<std::int32_t>(static_cast<std::uint32_t>(values[b]) -
                                                  static_cast<std::uint32_t>(previous[b]));
                previous[b] = values[b];
            }
            differences.push_back(std::move(dc));
        }
    }
    return differences;
}

// Gamma runs whose last run is `overhang` longer than the values.
void encodeRunsWithOverhang(BitWriter& out, const std::vector<std::int32_t>& values,
                            std::uint32_t overhang) {
    if (overhang == 0 || values.empty()) {
        encodeGammaRuns(out, values);
        return;
    }
    out.putBit(!values.empty() && values[0] != 0 ? 1 : 0);
    std::size_t i = 0;
    while (i < values.size()) {
        const bool runZeros = values[i] == 0;
        std::size_t end = i;
        while (end < values.size() && (values[end] == 0) == runZeros) {
            ++end;
        }
        const std::uint32_t extra = end == values.size() ? overhang : 0;
        out.putGamma(static_cast<std::uint32_t>(end - i) + extra);
        if (!runZeros) {
            for (std::size_t k = i; k < end; ++k) {
                const std::int32_t v = values[k];
                out.putBit(v < 0 ? 1 : 0);
                out.putGamma(v < 0 ? 0u - static_cast<std::uint32_t>(v)
                                   : static_cast<std::uint32_t>(v));
            }
        }
        i = end;
    }
}

}  // namespace

std::vector<std::uint8_t> encodeLossyFrame(const LossyFrameContent& content,
                                           const LossyFrameOptions& options) {
    BitWriter out;
    std::array<std::uint8_t, 4> header = options.header;
    if (!options.rawFlags) {
        header[2] = static_cast<std::uint8_t>((header[2] & ~1) | (options.inFront ? 1 : 0));
    }
    for (std::uint8_t byte : header) {
        out.putBits(byte, 8);
    }
    out.putBits(options.reservedBit, 1);
    out.putBits(content.dcLuma, 8);
    out.putBits(content.dcChroma, 8);

    const bool huffman = options.architecture == eri::kHuffmanArchitecture;
    const int perMacro = content.blocksPerMacro;
    const std::vector<std::vector<std::int32_t>> dc = dcDifferences(content);
    eri::HuffmanTree codeTree;
    codeTree.initializeTree();
    HuffmanEncoder values;
    std::uint32_t owedZeros = 0;
    auto acOf = [&](std::size_t index) {
        const auto& all = content.values[index];
        return std::vector<std::int32_t>(all.begin() + perMacro, all.end());
    };
    if (options.inFront) {
        std::vector<std::int32_t> allDc;
        for (const auto& block : dc) {
            allDc.insert(allDc.end(), block.begin(), block.end());
        }
        encodeRunsWithOverhang(out, allDc, huffman ? options.dcRunOverhang : 0);
        owedZeros = huffman ? options.dcRunOverhang : 0;
        for (const auto& codes : content.codes) {
            for (std::uint8_t code : codes) {
                HuffmanEncoder::encodeSymbol(out, codeTree, code);
            }
        }
        std::vector<std::int32_t> allAc;
        for (std::size_t i = 0; i < content.values.size(); ++i) {
            const auto ac = acOf(i);
            allAc.insert(allAc.end(), ac.begin(), ac.end());
        }
        if (huffman) {
            assert(std::all_of(allAc.begin(), allAc.begin() + owedZeros,
                               [](std::int32_t v) { return v == 0; }));
            values.encodeValues(out, std::span(allAc).subspan(owedZeros));
        } else {
            encodeGammaRuns(out, allAc);
        }
    } else {
        for (std::size_t i = 0; i < content.values.size(); ++i) {
            encodeGammaRuns(out, dc[i]);
            for (std::uint8_t code : content.codes[i]) {
                HuffmanEncoder::encodeSymbol(out, codeTree, code);
            }
            const auto ac = acOf(i);
            if (huffman) {
                values.encodeValues(out, ac);
            } else {
                encodeGammaRuns(out, ac);
            }
        }
    }
    return out.bytes();
}

eri::ImageInfo lossyImageInfo(const LossyPicture& picture, std::int32_t architecture,
                              std::int32_t blockingDegree, std::uint32_t samplingCode,
                              std::uint32_t bitsPerPixel) {
    eri::ImageInfo info;
    info.codingVersion = 0x00020100;
    info.transformation = eri::kLossyTransformation;
    info.architecture = architecture;
    info.formatType = eri::kColourFormat | (picture.channels > 3 ? eri::kAlphaFormatBit : 0);
    info.width = picture.width;
    info.height = picture.height;
    info.bitsPerPixel = bitsPerPixel;
    info.samplingCode = samplingCode;
    info.blockingDegree = static_cast<std::uint32_t>(blockingDegree);
    return info;
}

}  // namespace eriwriter
