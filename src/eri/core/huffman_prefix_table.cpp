#include "eri/core/huffman_prefix_table.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace eri {
namespace {

// An entry while the table is built, as the two 64-bit halves of its
// little-endian image: node, length, path[0], path[1] | path[2..4], padding.
// Kept in registers, the path of a child comes from its parent's by a shift,
// with no parent links read and no entry read back from memory.
struct EntryBits {
    std::uint64_t low;
    std::uint64_t high;

    int node() const { return static_cast<int>(low & 0xFFFF); }
    int length() const { return static_cast<int>((low >> 16) & 0xFF); }

    // A child of the root: one bit, the path only the node.
    static EntryBits top(int node) {
        const std::uint64_t n = static_cast<std::uint64_t>(node);
        return {n | std::uint64_t{1} << 16 | n << 32 | n << 48, n | n << 16 | n << 32};
    }

    // One level down: the path gains `node` in front, and the repeated last
    // position moves up one place.
    EntryBits child(int node) const {
        const std::uint64_t n = static_cast<std::uint64_t>(node);
        const std::uint64_t path0 = (low >> 32) & 0xFFFF;
        const std::uint64_t path1 = low >> 48;
        const std::uint64_t next =
            n | static_cast<std::uint64_t>(length() + 1) << 16 | n << 32 | path0 << 48;
        return {next, ((high << 16) | path1) & 0xFFFF'FFFF'FFFF};
    }

    PrefixEntry entry() const {
        PrefixEntry entry{};
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&entry, &low, 8);
            std::memcpy(reinterpret_cast<unsigned char*>(&entry) + 8, &high, 8);
        } else {
            entry.node = static_cast<std::uint16_t>(node());
            entry.length = static_cast<std::uint8_t>(length());
            entry.path = {static_cast<std::uint16_t>(low >> 32),
                          static_cast<std::uint16_t>(low >> 48), static_cast<std::uint16_t>(high),
                          static_cast<std::uint16_t>(high >> 16),
                          static_cast<std::uint16_t>(high >> 32)};
        }
        return entry;
    }
};

static_assert(offsetof(PrefixEntry, path) == 4);

// Fills the entries whose bits start with the `length` bits of `prefix`,
// which lead from the root to the node of `bits`.
void fillBelow(const HuffmanTree& tree, PrefixEntry* entries, EntryBits bits,
               std::uint32_t prefix) {
    const int depth = bits.length();
    const std::int32_t code = tree.nodes[bits.node()].childOrLeaf;
    if (code < 0 || depth == kPrefixBits) {
        const PrefixEntry entry = bits.entry();
        const std::uint32_t first = prefix << (kPrefixBits - depth);
        const std::uint32_t span = std::uint32_t{1} << (kPrefixBits - depth);
        for (std::uint32_t i = 0; i < span; ++i) {
            entries[first + i] = entry;
        }
        return;
    }
    fillBelow(tree, entries, bits.child(code), prefix << 1);
    fillBelow(tree, entries, bits.child(code + 1), (prefix << 1) | 1);
}

}  // namespace

void PrefixTable::refillBelow(const HuffmanTree& tree, int node) {
    // Up to the root: the positions on the way and the bits that lead down.
    std::uint16_t path[kPrefixBits];
    std::uint32_t prefix = 0;
    int depth = 0;
    for (int at = node; at != kHuffmanRoot; ++depth) {
        if (depth == kPrefixBits - 1) {
            return;
        }
        path[depth] = static_cast<std::uint16_t>(at);
        const int parent = tree.nodes[at].parent;
        prefix |= static_cast<std::uint32_t>(at - tree.nodes[parent].childOrLeaf) << depth;
        at = parent;
    }
    EntryBits bits = EntryBits::top(path[depth - 1]);
    for (int level = depth - 2; level >= 0; --level) {
        bits = bits.child(path[level]);
    }
    fillBelow(tree, entries.data(), bits, prefix);
}

void PrefixTable::build(const HuffmanTree& tree) {
    const std::int32_t child = tree.nodes[kHuffmanRoot].childOrLeaf;
    fillBelow(tree, entries.data(), EntryBits::top(child), 0);
    fillBelow(tree, entries.data(), EntryBits::top(child + 1), 1);
}

}  // namespace eri
