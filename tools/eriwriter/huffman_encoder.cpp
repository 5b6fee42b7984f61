#include "eriwriter/huffman_encoder.h"

#include <cassert>

namespace eriwriter {
namespace {

constexpr int kRunTree = 256;

int findLeaf(const eri::HuffmanTree& tree, std::uint32_t symbol) {
    const auto code = static_cast<std::int32_t>(eri::kLeafFlag | symbol);
    // Byte symbols have their own map entry; run lengths share entries by low byte.
    const std::int32_t mapped = tree.symbolNode[symbol & 0xFF];
    if (mapped != eri::kNoNode && tree.nodes[mapped].childOrLeaf == code) {
        return mapped;
    }
    for (int node = tree.freeNode; node < eri::kHuffmanRoot; ++node) {
        if (tree.nodes[node].childOrLeaf == code) {
            return node;
        }
    }
    return -1;
}

// The bits of the path from the root to `leaf`, first bit first.
void putPath(BitWriter& out, const eri::HuffmanTree& tree, int leaf) {
    std::uint8_t path[eri::kHuffmanRoot + 1];
    int length = 0;
    for (int node = leaf; node != eri::kHuffmanRoot;) {
        const int parent = tree.nodes[node].parent;
        path[length++] = static_cast<std::uint8_t>(node - tree.nodes[parent].childOrLeaf);
        node = parent;
    }
    while (length > 0) {
        out.putBit(path[--length]);
    }
}

// Mirrors the decoder: a known symbol is its path; an unknown one is the
// escape's path (none in an empty tree), then the raw form.
template <typename PutRaw>
void encodeInTree(BitWriter& out, eri::HuffmanTree& tree, std::uint32_t symbol, PutRaw putRaw) {
    if (!tree.isEmpty()) {
        const int leaf = findLeaf(tree, symbol);
        const int coded = leaf >= 0 ? leaf : tree.escapeNode;
        putPath(out, tree, coded);
        tree.incrementLeaf(coded);
        if (tree.nodes[eri::kHuffmanRoot].weight >= eri::kRescaleWeight) {
            tree.rescaleTree();
        }
        if (leaf >= 0) {
            return;
        }
    }
    putRaw(symbol);
    tree.addSymbol(symbol);
}

}  // namespace

HuffmanEncoder::HuffmanEncoder() : trees_(257) {
    for (eri::HuffmanTree& tree : trees_) {
        tree.initializeTree();
    }
}

void HuffmanEncoder::encodeSymbol(BitWriter& out, eri::HuffmanTree& tree, std::uint32_t symbol) {
    encodeInTree(out, tree, symbol & 0xFF, [&out](std::uint32_t raw) { out.putBits(raw, 8); });
}

void HuffmanEncoder::encodeRun(BitWriter& out, eri::HuffmanTree& tree, std::uint32_t length) {
    assert(length >= 1 && length < eri::kEscapeSymbol);
    encodeInTree(out, tree, length, [&out](std::uint32_t raw) { out.putGamma(raw); });
}

void HuffmanEncoder::encodeValues(BitWriter& out, std::span<const std::int32_t> values) {
    std::size_t p = 0;
    while (p < values.size()) {
        const std::int32_t value = values[p];
        encodeSymbol(out, trees_[valueTree_], static_cast<std::uint32_t>(value) & 0xFF);
        ++p;
        if (value != 0) {
            valueTree_ = value & 0xFF;
            continue;
        }
        std::size_t zeros = 1;
        while (p < values.size() && values[p] == 0) {
            ++zeros;
            ++p;
        }
        encodeRun(out, trees_[kRunTree], static_cast<std::uint32_t>(zeros));
        valueTree_ = 0;
    }
}

void HuffmanEncoder::encodeBytes(BitWriter& out, std::span<const std::uint8_t> row) {
    int previous = -1;
    std::size_t p = 0;
    while (p < row.size()) {
        const std::uint8_t byte = row[p];
        encodeSymbol(out, trees_[valueTree_], byte);
        ++p;
        if (byte == previous) {
            std::size_t repeats = 0;
            while (p + repeats < row.size() && row[p + repeats] == byte) {
                ++repeats;
            }
            encodeRun(out, trees_[kRunTree], static_cast<std::uint32_t>(repeats + 1));
            p += repeats;
        }
        previous = byte;
        valueTree_ = byte;
    }
}

}  // namespace eriwriter
