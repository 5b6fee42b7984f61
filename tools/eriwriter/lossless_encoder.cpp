#include "eriwriter/lossless_encoder.h"

#include <algorithm>
#include <cassert>
#include <random>

#include "eri/arrangement_tables.h"
#include "eri/core/huffman_tree.h"
#include "eri/core/lossless_reconstruction.h"
#include "eriwriter/arithmetic_encoder.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/gamma_run_encoder.h"
#include "eriwriter/huffman_encoder.h"
#include "eriwriter/mtf_encoder.h"

namespace eriwriter {
namespace {

std::int32_t minus(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// a reduced modulo 2^bits into -2^(bits-1) .. 2^(bits-1) - 1.
std::int32_t reduce(std::int32_t a, int bits) {
    const std::uint32_t mask = (1u << bits) - 1;
    const std::uint32_t low = static_cast<std::uint32_t>(a) & mask;
    return low >= (1u << (bits - 1)) ? static_cast<std::int32_t>(low) - (1 << bits)
                                     : static_cast<std::int32_t>(low);
}

void appendBytes(BitWriter& out, const std::vector<std::uint8_t>& bytes) {
    for (const std::uint8_t byte : bytes) {
        out.putBits(byte, 8);
    }
}

// What a block code asks of the reconstruction.
struct BlockSteps {
    int operation = 0;
    const std::int32_t* table = nullptr;  // none: values stand as decoded
    bool perPlane = false;
    bool horizontal = true;
};

class LosslessFrameEncoder {
  public:
    LosslessFrameEncoder(const PlanePicture& picture, const LosslessFrameOptions& options)
        : picture_(picture), options_(options), random_(options.seed) {
        channels_ = static_cast<int>(picture.planes.size());
        side_ = 1 << options.blockingDegree;
        area_ = side_ * side_;
        across_ = (picture.width + side_ - 1) / side_;
        down_ = (picture.height + side_ - 1) / side_;
        if (options.codingVersion == 0x00020100) {
            variant_ = 0;
        } else {
            variant_ = options.architecture == -4 ? 2 : 1;
        }
        line_.assign(static_cast<std::size_t>(across_) * side_ * channels_, 0);
        carries_.assign(static_cast<std::size_t>(side_) * channels_, 0);
        if (variant_ == 1) {
            tables_.resize(4 * static_cast<std::size_t>(area_));
            eri::buildPerPlaneTables(tables_.data(), side_);
        } else if (variant_ == 2) {
            tables_.resize(4 * static_cast<std::size_t>(area_) * channels_);
            eri::buildChannelSpanningTables(tables_.data(), side_, channels_);
        }
    }

    std::optional<std::vector<std::uint8_t>> encode();

  private:
    bool coloured() const { return channels_ >= 3; }
    std::uint32_t chooseCode(std::size_t index);
    BlockSteps stepsOf(std::uint32_t code) const;
    // The values of block (r, c) in decoded order; updates the carries as
    // the decoder will.
    std::vector<std::int32_t> blockValues(int r, int c, std::uint32_t code);

    const PlanePicture& picture_;
    const LosslessFrameOptions& options_;
    std::mt19937 random_;
    int channels_ = 0;
    int side_ = 0;
    int area_ = 0;
    int across_ = 0;
    int down_ = 0;
    int variant_ = 0;
    std::vector<std::int32_t> line_;
    std::vector<std::int32_t> carries_;
    std::vector<std::int32_t> tables_;
};

std::uint32_t LosslessFrameEncoder::chooseCode(std::size_t index) {
    if (index < options_.codes.size()) {
        return options_.codes[index];
    }
    switch (variant_) {
        case 0:
            return random_() % 16;
        case 1:
            return random_() % 50;
        default:
            return random_() % 256;  // bit 7 is not used: set at random as well
    }
}

BlockSteps LosslessFrameEncoder::stepsOf(std::uint32_t code) const {
    BlockSteps steps;
    if (!coloured()) {
        return steps;
    }
    if (variant_ == 0) {
        steps.operation = static_cast<int>(code);
    } else if (variant_ == 1) {
        const eri::OperationPair pair = eri::operationPair(static_cast<int>(code));
        steps.operation = pair.operation;
        if (pair.arrangement != 0) {
            steps.table = tables_.data() + (pair.arrangement - 1) * area_;
            steps.perPlane = true;
        }
    } else {
        steps.operation = static_cast<int>(code & 15);
        steps.table = tables_.data() + ((code >> 4) & 3) * area_ * channels_;
        steps.horizontal = (code & 0x40) != 0;
    }
    return steps;
}

std::vector<std::int32_t> LosslessFrameEncoder::blockValues(int r, int c, std::uint32_t code) {
    const BlockSteps steps = stepsOf(code);
    const int count = area_ * channels_;
    std::int32_t* const segments = line_.data() + static_cast<std::size_t>(c) * side_ * channels_;

    // The samples the block must end with; the padding of partial blocks
    // repeats the picture's edge.
    std::vector<std::int32_t> target(count);
    for (int p = 0; p < channels_; ++p) {
        for (int y = 0; y < side_; ++y) {
            const int line = std::min(r * side_ + y, picture_.height - 1);
            for (int x = 0; x < side_; ++x) {
                const int column = std::min(c * side_ + x, picture_.width - 1);
                target[p * area_ + y * side_ + x] =
                    picture_.planes[p][static_cast<std::size_t>(line) * picture_.width + column];
            }
        }
    }
    // Undo the vertical step, then the horizontal one, then the channel operation.
    std::vector<std::int32_t> rows(count);
    for (int p = 0; p < channels_; ++p) {
        for (int y = 0; y < side_; ++y) {
            for (int x = 0; x < side_; ++x) {
                const int i = p * area_ + y * side_ + x;
                const std::int32_t above = y == 0 ? segments[p * side_ + x] : target[i - side_];
                rows[i] = minus(target[i], above);
            }
        }
    }
    std::vector<std::int32_t> block(rows);
    if (steps.horizontal) {
        for (int row = 0; row < side_ * channels_; ++row) {
            for (int x = 0; x < side_; ++x) {
                const int i = row * side_ + x;
                block[i] = minus(rows[i], x == 0 ? carries_[row] : rows[i - 1]);
            }
        }
    }
    if (coloured()) {
        const int source = (steps.operation >> 2) & 3;
        const int targets = steps.operation & 3;
        if (source != 0 && targets != 0) {
            int others[2];
            int n = 0;
            for (int p = 0; p < 3; ++p) {
                if (p != source - 1) {
                    others[n++] = p;
                }
            }
            for (int k = 0; k < 2; ++k) {
                if ((targets & (1 << k)) == 0) {
                    continue;
                }
                for (int i = 0; i < area_; ++i) {
                    block[others[k] * area_ + i] =
                        minus(block[others[k] * area_ + i], block[(source - 1) * area_ + i]);
                }
            }
        }
    }
    // Decoded order, reduced to the bits the pixels keep.
    std::vector<std::int32_t> values(count);
    for (int i = 0; i < count; ++i) {
        int place = i;
        if (steps.table != nullptr) {
            place = steps.perPlane ? (i / area_) * area_ + steps.table[i % area_] : steps.table[i];
        }
        values[i] = reduce(block[place], options_.sampleBits);
    }
    // Run the decoder's steps on the reduced values to follow its carries.
    std::vector<std::int32_t> decoded(count);
    if (steps.table == nullptr) {
        decoded = values;
    } else if (steps.perPlane) {
        for (int p = 0; p < channels_; ++p) {
            eri::scatter(decoded.data() + p * area_, values.data() + p * area_, steps.table, area_);
        }
    } else {
        eri::scatter(decoded.data(), values.data(), steps.table, count);
    }
    if (coloured()) {
        eri::applyChannelOperation(steps.operation, decoded.data(), area_);
    }
    if (steps.horizontal) {
        eri::integrateRows(decoded.data(), carries_.data(), side_ * channels_, side_);
    } else {
        eri::carryRowEnds(decoded.data(), carries_.data(), side_ * channels_, side_);
    }
    eri::integrateColumns(decoded.data(), segments, channels_, side_);
    for (int i = 0; i < count; ++i) {
        assert(reduce(minus(decoded[i], target[i]), options_.sampleBits) == 0);
    }
    return values;
}

std::optional<std::vector<std::uint8_t>> LosslessFrameEncoder::encode() {
    const bool huffman = options_.frameCode == 8;
    const bool arithmetic = options_.architecture == 32;
    const bool inFront = arithmetic || options_.codesInFront;
    const int codeWidth = variant_ != 0 ? 6 : 4;
    const std::size_t blockCount = static_cast<std::size_t>(across_) * down_;

    std::vector<std::uint32_t> codes(blockCount, 0);
    std::vector<std::vector<std::int32_t>> values(blockCount);
    std::size_t b = 0;
    for (int r = 0; r < down_; ++r) {
        std::fill(carries_.begin(), carries_.end(), 0);
        for (int c = 0; c < across_; ++c, ++b) {
            codes[b] = coloured() ? chooseCode(b) : 0;
            values[b] = blockValues(r, c, codes[b]);
        }
    }

    BitWriter out;
    out.putBits(options_.frameCode, 8);
    out.putBits(0, 8);
    out.putBits(arithmetic ? static_cast<std::uint32_t>(options_.symbolBits) : inFront ? 1 : 0, 8);
    out.putBits(huffman ? 8 : 0, 8);
    eri::HuffmanTree codeTree;
    codeTree.initializeTree();
    if (inFront && coloured()) {
        for (const std::uint32_t code : codes) {
            if (huffman) {
                HuffmanEncoder::encodeSymbol(out, codeTree, code);
            } else {
                out.putBits(code, codeWidth);
            }
        }
    }
    out.putBit(0);

    if (arithmetic) {
        const std::int32_t high = (1 << (options_.symbolBits - 1)) - 1;
        ArithmeticEncoder encoder(options_.symbolBits);
        for (const auto& block : values) {
            for (const std::int32_t v : block) {
                if (v > high || v < -high - 1) {
                    return std::nullopt;
                }
                encoder.encode(v);
            }
        }
        appendBytes(out, encoder.finish({}));
    } else if (huffman) {
        HuffmanEncoder encoder;
        for (b = 0; b < blockCount; ++b) {
            if (!inFront) {
                HuffmanEncoder::encodeSymbol(out, codeTree, codes[b]);
            }
            encoder.encodeValues(out, values[b]);
        }
    } else if (inFront) {
        std::vector<std::int32_t> all;
        for (const auto& block : values) {
            all.insert(all.end(), block.begin(), block.end());
        }
        encodeGammaRuns(out, all);
    } else {
        for (b = 0; b < blockCount; ++b) {
            if (coloured()) {
                out.putBits(codes[b], codeWidth);
            }
            encodeGammaRuns(out, values[b]);
        }
    }
    return out.bytes();
}

}  // namespace

eri::ImageInfo losslessImageInfo(std::uint32_t version, std::int32_t architecture,
                                 std::uint32_t formatType, std::uint32_t bitsPerPixel,
                                 std::int32_t width, std::int32_t height, std::uint32_t degree) {
    eri::ImageInfo info;
    info.codingVersion = version;
    info.transformation = eri::kLosslessTransformation;
    info.architecture = architecture;
    info.formatType = formatType;
    info.width = width;
    info.height = height;
    info.bitsPerPixel = bitsPerPixel;
    info.blockingDegree = degree;
    return info;
}

int losslessChannels(std::uint32_t formatType, std::uint32_t bitsPerPixel) {
    if ((formatType & 0xFFFFFF) != 1 || bitsPerPixel <= 8) {
        return 1;
    }
    return (formatType & 0x04000000) != 0 ? 4 : 3;
}

std::optional<std::vector<std::uint8_t>> encodeLosslessFrame(const PlanePicture& picture,
                                                             const LosslessFrameOptions& options) {
    LosslessFrameEncoder encoder(picture, options);
    return encoder.encode();
}

std::vector<std::uint8_t> encodeLineImageFrame(std::int32_t architecture, std::int32_t width,
                                               const std::vector<std::uint8_t>& lines) {
    BitWriter out;
    out.putBits(2, 8);
    out.putBits(0, 24);
    const std::size_t lineCount = lines.size() / static_cast<std::size_t>(width);
    if (architecture == 32) {
        ArithmeticEncoder encoder(8);
        for (const std::uint8_t byte : lines) {
            encoder.encode(static_cast<std::int8_t>(byte));
        }
        appendBytes(out, encoder.finish({}));
    } else if (architecture == -1) {
        MtfEncoder encoder;
        for (std::size_t i = 0; i < lineCount; ++i) {
            encoder.encodeRow(out, std::span(lines).subspan(i * width, width));
        }
    } else {
        HuffmanEncoder encoder;
        for (std::size_t i = 0; i < lineCount; ++i) {
            encoder.encodeBytes(out, std::span(lines).subspan(i * width, width));
        }
    }
    return out.bytes();
}

}  // namespace eriwriter
