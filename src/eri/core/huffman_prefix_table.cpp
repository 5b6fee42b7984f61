#include "eri/core/huffman_prefix_table.h"

namespace eri {
namespace {

PrefixEntry entryFor(const HuffmanTree& tree, int node, int length) {
    PrefixEntry entry{};
    entry.node = static_cast<std::uint16_t>(node);
    entry.length = static_cast<std::uint8_t>(length);
    for (int i = 0; i < length; ++i) {
        entry.path[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(node);
        node = tree.nodes[node].parent;
    }
    for (int i = length; i < kPrefixBits; ++i) {
        entry.path[static_cast<std::size_t>(i)] = entry.path[static_cast<std::size_t>(length - 1)];
    }
    return entry;
}

// Fills the entries whose bits start with the `depth` bits of `prefix`, which
// lead from the root to `node`.
void fillBelow(const HuffmanTree& tree, PrefixEntry* entries, int node, int depth,
               std::uint32_t prefix) {
    const std::int32_t code = tree.nodes[node].childOrLeaf;
    if (code < 0 || depth == kPrefixBits) {
        const PrefixEntry entry = entryFor(tree, node, depth);
        const std::uint32_t first = prefix << (kPrefixBits - depth);
        const std::uint32_t span = std::uint32_t{1} << (kPrefixBits - depth);
        for (std::uint32_t i = 0; i < span; ++i) {
            entries[first + i] = entry;
        }
        return;
    }
    fillBelow(tree, entries, code, depth + 1, prefix << 1);
    fillBelow(tree, entries, code + 1, depth + 1, (prefix << 1) | 1);
}

}  // namespace

void PrefixTable::build(const HuffmanTree& tree) {
    const std::int32_t child = tree.nodes[kHuffmanRoot].childOrLeaf;
    fillBelow(tree, entries.data(), child, 1, 0);
    fillBelow(tree, entries.data(), child + 1, 1, 1);
}

}  // namespace eri
