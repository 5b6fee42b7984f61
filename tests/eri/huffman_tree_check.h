// Structural check of an adaptive Huffman tree: sibling order, parent links,
// sums, and the leaf maps.
#pragma once

#include <gtest/gtest.h>

#include "eri/core/huffman_tree.h"

namespace eritest {

// The symbol map is indexed by the low 8 bits, so it only tells for trees of
// byte symbols; pass false for the run tree.
inline testing::AssertionResult isSoundTree(const eri::HuffmanTree& tree, bool byteSymbols = true) {
    if (tree.isEmpty()) {
        return testing::AssertionSuccess();
    }
    for (int i = tree.freeNode; i <= eri::kHuffmanRoot; ++i) {
        const eri::HuffmanNode& node = tree.nodes[i];
        if (i < eri::kHuffmanRoot && node.weight > tree.nodes[i + 1].weight) {
            return testing::AssertionFailure() << "weight order broken at " << i;
        }
        if (node.weight == 0) {
            return testing::AssertionFailure() << "weight 0 at " << i;
        }
        const std::int32_t code = node.childOrLeaf;
        if (code >= 0) {
            if (code < tree.freeNode || code + 1 >= i) {
                return testing::AssertionFailure() << "children of " << i << " not below it";
            }
            if (tree.nodes[code].parent != i || tree.nodes[code + 1].parent != i) {
                return testing::AssertionFailure() << "parent links of " << i;
            }
            if (node.weight != tree.nodes[code].weight + tree.nodes[code + 1].weight) {
                return testing::AssertionFailure()
                       << "weight of " << i << " is not its children's sum";
            }
        } else if (code == eri::kEscapeCode) {
            if (tree.escapeNode != i) {
                return testing::AssertionFailure()
                       << "escapeNode " << tree.escapeNode << " != " << i;
            }
        } else if (byteSymbols && tree.symbolNode[code & 0xFF] != i) {
            return testing::AssertionFailure() << "symbolNode of " << (code & 0x7FFFFFFF);
        }
    }
    if (tree.nodes[eri::kHuffmanRoot].parent != eri::kNoNode) {
        return testing::AssertionFailure() << "root has a parent";
    }
    return testing::AssertionSuccess();
}

}  // namespace eritest
