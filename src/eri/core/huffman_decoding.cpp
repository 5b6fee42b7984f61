#include <algorithm>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"

namespace eri {
namespace {

constexpr int kTreeCount = 257;
constexpr int kRunTree = 256;

// Escapes of value and byte trees carry the symbol as 8 raw bits.
inline bool readRawByte(detail::BitCursor& cursor, std::uint32_t& symbol) {
    return cursor.takeBits(8, symbol);
}

// Escapes of the run tree carry a gamma code. A length that would collide
// with the escape code (or lose its top bit in the leaf code) is damaged data.
inline bool readRawRun(detail::BitCursor& cursor, std::uint32_t& symbol) {
    return cursor.takeGamma(symbol) && symbol < kEscapeSymbol;
}

// One symbol from `tree`: walk, weight update and rescale check, escape.
// False at the end of the data.
template <typename ReadRaw>
inline bool decodeFromTree(detail::BitCursor& cursor, HuffmanTree& tree, ReadRaw readRaw,
                           std::uint32_t& symbol) {
    HuffmanNode* const nodes = tree.nodes;
    std::int32_t child = nodes[kHuffmanRoot].childOrLeaf;
    if (child != kEmptyRoot) {
        int node;
        std::int32_t code;
        for (;;) {
            if (cursor.count == 0 && !cursor.loadWord()) {
                return false;
            }
            node = child + static_cast<int>(cursor.reg >> 31);
            cursor.reg <<= 1;
            --cursor.count;
            code = nodes[node].childOrLeaf;
            if (code < 0) {
                break;
            }
            child = code;
        }
        tree.incrementLeaf(node);
        if (nodes[kHuffmanRoot].weight >= kRescaleWeight) {
            tree.rescaleTree();
        }
        symbol = static_cast<std::uint32_t>(code) & 0x7FFFFFFF;
        if (symbol != kEscapeSymbol) {
            return true;
        }
    }
    if (!readRaw(cursor, symbol)) {
        return false;
    }
    tree.addSymbol(symbol);
    return true;
}

}  // namespace

bool BitInput::initHuffmanTrees() {
    runLength = 0;
    if (!trees_) {
        trees_ = allocateBlockOf<HuffmanTree>(kTreeCount);
        if (!trees_) {
            valueTree_ = nullptr;
            return false;
        }
    }
    for (int t = 0; t < kTreeCount; ++t) {
        trees_.get()[t].initializeTree();
    }
    valueTree_ = trees_.get();
    return true;
}

std::uint32_t BitInput::decodeHuffmanSymbol(HuffmanTree& tree) {
    detail::BitCursor cursor(*this);
    std::uint32_t symbol = 0;
    const bool decoded = decodeFromTree(cursor, tree, readRawByte, symbol);
    cursor.save();
    return decoded ? symbol : kHuffmanEnd;
}

std::uint32_t BitInput::decodeHuffmanValues(std::int32_t* out, std::uint32_t count) {
    if (!trees_) {
        return 0;
    }
    std::uint32_t stored = std::min(runLength, count);
    std::fill(out, out + stored, 0);
    runLength -= stored;

    detail::BitCursor cursor(*this);
    HuffmanTree* const trees = trees_.get();
    HuffmanTree& runTree = trees[kRunTree];
    HuffmanTree* tree = valueTree_;
    std::uint32_t symbol = 0;
    while (stored < count) {
        if (!decodeFromTree(cursor, *tree, readRawByte, symbol)) {
            cursor.save();
            return stored;
        }
        const std::int32_t value = static_cast<std::int8_t>(symbol & 0xFF);
        out[stored++] = value;
        if (value != 0) {
            tree = trees + (value & 0xFF);
            continue;
        }
        if (!decodeFromTree(cursor, runTree, readRawRun, symbol)) {
            cursor.save();
            return stored;
        }
        if (symbol > 1) {
            const std::uint32_t zeros = std::min(symbol - 1, count - stored);
            std::fill(out + stored, out + stored + zeros, 0);
            stored += zeros;
            runLength = symbol - 1 - zeros;
        }
        tree = trees;
    }
    valueTree_ = tree;
    cursor.save();
    return stored;
}

std::uint32_t BitInput::decodeHuffmanBytes(std::uint8_t* out, std::uint32_t count) {
    if (!trees_) {
        return 0;
    }
    detail::BitCursor cursor(*this);
    HuffmanTree* const trees = trees_.get();
    HuffmanTree& runTree = trees[kRunTree];
    HuffmanTree* tree = valueTree_;
    std::uint32_t previous = kEscapeSymbol;
    std::uint32_t stored = 0;
    std::uint32_t symbol = 0;
    while (stored < count) {
        if (!decodeFromTree(cursor, *tree, readRawByte, symbol)) {
            cursor.save();
            return stored;
        }
        const std::uint32_t byte = symbol & 0xFF;
        out[stored++] = static_cast<std::uint8_t>(byte);
        if (byte == previous) {
            if (!decodeFromTree(cursor, runTree, readRawRun, symbol)) {
                cursor.save();
                return stored;
            }
            if (symbol > 1) {
                // A run past the end of the row is a broken image.
                if (symbol - 1 > count - stored) {
                    cursor.save();
                    return stored;
                }
                std::memset(out + stored, static_cast<int>(byte), symbol - 1);
                stored += symbol - 1;
            }
        }
        previous = byte;
        tree = trees + byte;
    }
    valueTree_ = tree;
    cursor.save();
    return stored;
}

}  // namespace eri
