// The exact way through an adaptive Huffman tree over the bit cursor: the
// walk from the root, the weight update, the rescale and the escape. The
// decoders' fast paths fall back on it for everything rare.
#pragma once

#include <cstdint>

#include "eri/core/bit_cursor.h"
#include "eri/core/huffman_tree.h"

namespace eri::detail {

// Escapes of value and byte trees carry the symbol as 8 raw bits.
struct ReadRawByte {
    bool operator()(BitCursor& cursor, std::uint32_t& symbol) const {
        return cursor.takeBits(8, symbol);
    }
};

// Escapes of the run tree carry a gamma code. A length that would collide
// with the escape code (or lose its top bit in the leaf code) is damaged data.
struct ReadRawRun {
    bool operator()(BitCursor& cursor, std::uint32_t& symbol) const {
        return cursor.takeGamma(symbol) && symbol < kEscapeSymbol;
    }
};

// Follows the code's bits from the root's children to a leaf: over the
// cursor's window while it lasts, then bit by bit. False at the end of the data.
[[gnu::always_inline]] inline bool walkToLeaf(BitCursor& cursor, const HuffmanNode* nodes,
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
// `onShapeChange` hears of the moves of the update and of the new symbol's
// insertion; `rescaled` tells whether the tree was rebuilt. False at the end
// of the data.
template <typename ReadRaw, typename OnShapeChange>
[[gnu::always_inline]] inline bool decodeFromTree(BitCursor& cursor, HuffmanTree& tree,
                                                  ReadRaw readRaw, OnShapeChange onShapeChange,
                                                  bool& rescaled, std::uint32_t& symbol) {
    HuffmanNode* const nodes = tree.nodes;
    std::int32_t child = nodes[kHuffmanRoot].childOrLeaf;
    if (child != kEmptyRoot) {
        int node = 0;
        std::int32_t code = 0;
        if (!walkToLeaf(cursor, nodes, child, node, code)) {
            return false;
        }
        if (tree.incrementLeaf(node, onShapeChange) >= kRescaleWeight) {
            tree.rescaleTree();
            rescaled = true;
        }
        symbol = static_cast<std::uint32_t>(code) & 0x7FFFFFFF;
        if (symbol != kEscapeSymbol) {
            return true;
        }
    }
    if (!readRaw(cursor, symbol)) {
        return false;
    }
    tree.addSymbol(symbol, onShapeChange);
    return true;
}

}  // namespace eri::detail
