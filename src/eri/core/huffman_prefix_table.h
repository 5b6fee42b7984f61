// Lookup of the top of an adaptive Huffman tree by the next few code bits:
// where the code ends (or the node it reaches), after how many bits, and the
// positions on the way, so that the common weight update needs no parent walk.
#pragma once

#include <array>
#include <cstdint>

#include "eri/core/huffman_tree.h"

namespace eri {

constexpr int kPrefixBits = 5;

struct PrefixEntry {
    // Leaf reached by the bits, or the internal node after kPrefixBits of them.
    std::uint16_t node;
    std::uint8_t length;
    std::uint8_t reserved;
    // node, its parent, ... up to the root's child: `length` positions, the
    // last repeated to the end so that every entry has kPrefixBits of them.
    std::array<std::uint16_t, kPrefixBits> path;
    std::uint16_t padding;
};

static_assert(sizeof(PrefixEntry) == 16);

// Entries stay right while only leaves swap places: each holds positions, and
// the leaf's code is read from the tree. When an internal node moves to or
// from a position in the top kPrefixBits - 1 levels, or a new symbol splits a
// leaf there, the entries below that position change; a rescale needs a rebuild.
struct PrefixTable {
    std::array<PrefixEntry, std::size_t{1} << kPrefixBits> entries;

    // The tree must not be empty.
    void build(const HuffmanTree& tree);

    // Fills anew the entries below `node` when it stands in the top
    // kPrefixBits - 1 levels; does nothing for a deeper node.
    void refillBelow(const HuffmanTree& tree, int node);
};

}  // namespace eri
