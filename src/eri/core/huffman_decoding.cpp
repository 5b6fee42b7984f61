#include <algorithm>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"

namespace eri {
namespace {

constexpr int kTreeCount = 257;
constexpr int kRunTree = 256;

// Escapes of value and byte trees carry the symbol as 8 raw bits.
struct ReadRawByte {
    bool operator()(detail::BitCursor& cursor, std::uint32_t& symbol) const {
        return cursor.takeBits(8, symbol);
    }
};

// Escapes of the run tree carry a gamma code. A length that would collide
// with the escape code (or lose its top bit in the leaf code) is damaged data.
struct ReadRawRun {
    bool operator()(detail::BitCursor& cursor, std::uint32_t& symbol) const {
        return cursor.takeGamma(symbol) && symbol < kEscapeSymbol;
    }
};

// Follows the code's bits from the root's children to a leaf: over the
// cursor's window while it lasts, then bit by bit. False at the end of the data.
[[gnu::always_inline]] inline bool walkToLeaf(detail::BitCursor& cursor, const HuffmanNode* nodes,
                                              std::int32_t child, int& node, std::int32_t& code) {
    int available = 0;
    std::uint64_t window = cursor.peekWindow(available);
    const int limit = available < 32 ? available : 32;
    for (int used = 1; used <= limit; ++used) {
        node = child + static_cast<int>(window >> 63);
        window <<= 1;
        code = nodes[node].childOrLeaf;
        if (code < 0) {
            cursor.skipBits(used);
            return true;
        }
        child = code;
    }
    cursor.skipBits(limit);
    for (;;) {
        const int bit = cursor.takeBit();
        if (bit < 0) {
            return false;
        }
        node = child + bit;
        code = nodes[node].childOrLeaf;
        if (code < 0) {
            return true;
        }
        child = code;
    }
}

// One symbol from `tree`: walk, weight update and rescale check, escape.
// False at the end of the data.
template <typename ReadRaw>
[[gnu::always_inline]] inline bool decodeFromTree(detail::BitCursor& cursor, HuffmanTree& tree,
                                                  ReadRaw readRaw, std::uint32_t& symbol) {
    HuffmanNode* const nodes = tree.nodes;
    std::int32_t child = nodes[kHuffmanRoot].childOrLeaf;
    if (child != kEmptyRoot) {
        int node = 0;
        std::int32_t code = 0;
        if (!walkToLeaf(cursor, nodes, child, node, code)) {
            return false;
        }
        if (tree.incrementLeaf(node) >= kRescaleWeight) {
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
    std::fill(std::begin(treesReady_), std::end(treesReady_), 0);
    valueTree_ = &readyTree(0);
    return true;
}

std::uint32_t BitInput::decodeHuffmanSymbol(HuffmanTree& tree) {
    detail::BitCursor cursor(*this);
    std::uint32_t symbol = 0;
    const bool decoded = decodeFromTree(cursor, tree, ReadRawByte{}, symbol);
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
    HuffmanTree& runTree = readyTree(kRunTree);
    HuffmanTree* tree = valueTree_;
    std::uint32_t symbol = 0;
    while (stored < count) {
        if (!decodeFromTree(cursor, *tree, ReadRawByte{}, symbol)) {
            cursor.save();
            return stored;
        }
        const std::int32_t value = static_cast<std::int8_t>(symbol & 0xFF);
        out[stored++] = value;
        if (value != 0) {
            tree = &readyTree(value & 0xFF);
            continue;
        }
        if (!decodeFromTree(cursor, runTree, ReadRawRun{}, symbol)) {
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
    HuffmanTree& runTree = readyTree(kRunTree);
    HuffmanTree* tree = valueTree_;
    std::uint32_t previous = kEscapeSymbol;
    std::uint32_t stored = 0;
    std::uint32_t symbol = 0;
    while (stored < count) {
        if (!decodeFromTree(cursor, *tree, ReadRawByte{}, symbol)) {
            cursor.save();
            return stored;
        }
        const std::uint32_t byte = symbol & 0xFF;
        out[stored++] = static_cast<std::uint8_t>(byte);
        if (byte == previous) {
            if (!decodeFromTree(cursor, runTree, ReadRawRun{}, symbol)) {
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
        tree = &readyTree(static_cast<int>(byte));
    }
    valueTree_ = tree;
    cursor.save();
    return stored;
}

}  // namespace eri
