#include "eri/core/huffman_tree.h"

namespace eri {

void HuffmanTree::initializeTree() {
    for (std::int32_t& entry : symbolNode) {
        entry = kNoNode;
    }
    escapeNode = kNoNode;
    freeNode = kHuffmanRoot;
    nodes[kHuffmanRoot] = HuffmanNode{0, kNoNode, kEmptyRoot};
}

int HuffmanTree::insertLeaf(std::uint32_t symbol) {
    const std::int32_t code = static_cast<std::int32_t>(kLeafFlag | symbol);
    if (freeNode <= 0) {
        const int node = nodes[0].childOrLeaf == kEscapeCode ? 1 : 0;
        nodes[node].childOrLeaf = code;
        symbolNode[symbol & 0xFF] = node;
        return -1;
    }
    const int k = freeNode - 2;
    freeNode = k;
    nodes[k].weight = 1;
    nodes[k].childOrLeaf = code;
    symbolNode[symbol & 0xFF] = k;
    if (nodes[kHuffmanRoot].childOrLeaf == kEmptyRoot) {
        nodes[k].parent = kHuffmanRoot;
        nodes[k + 1] = HuffmanNode{1, kHuffmanRoot, kEscapeCode};
        escapeNode = k + 1;
        nodes[kHuffmanRoot].weight = 2;
        nodes[kHuffmanRoot].childOrLeaf = k;
        return -1;
    }
    // The lowest leaf moves down one place and its old position becomes the
    // parent of that leaf and the new one.
    nodes[k + 1] = nodes[k + 2];
    attachContent(k + 1);
    nodes[k + 2].weight = static_cast<std::uint16_t>(nodes[k].weight + nodes[k + 1].weight);
    nodes[k + 2].childOrLeaf = k;
    nodes[k].parent = static_cast<std::uint16_t>(k + 2);
    nodes[k + 1].parent = static_cast<std::uint16_t>(k + 2);
    return k + 2;
}

void HuffmanTree::rescaleTree() {
    // Leaves, halved, to the top positions in the order met (non-decreasing weight).
    int listStart = kHuffmanRoot + 1;
    for (int i = kHuffmanRoot - 1; i >= freeNode; --i) {
        if (nodes[i].childOrLeaf < 0) {
            HuffmanNode leaf = nodes[i];
            leaf.weight = static_cast<std::uint16_t>((leaf.weight + 1) / 2);
            nodes[--listStart] = leaf;
        }
    }
    // Pair the two lightest entries into place from the bottom up, inserting
    // each new parent into the list below entries of equal weight.
    int j = freeNode;
    std::uint16_t sum = 0;
    for (;;) {
        const HuffmanNode first = nodes[listStart];
        const HuffmanNode second = nodes[listStart + 1];
        nodes[j].weight = first.weight;
        nodes[j].childOrLeaf = first.childOrLeaf;
        nodes[j + 1].weight = second.weight;
        nodes[j + 1].childOrLeaf = second.childOrLeaf;
        attachContent(j);
        attachContent(j + 1);
        sum = static_cast<std::uint16_t>(first.weight + second.weight);
        if (listStart + 2 > kHuffmanRoot) {
            break;
        }
        int position = listStart + 2;
        while (position <= kHuffmanRoot && nodes[position].weight < sum) {
            nodes[position - 1] = nodes[position];
            ++position;
        }
        nodes[position - 1] = HuffmanNode{sum, kNoNode, j};
        ++listStart;
        j += 2;
    }
    nodes[kHuffmanRoot] = HuffmanNode{sum, kNoNode, j};
    nodes[j].parent = kHuffmanRoot;
    nodes[j + 1].parent = kHuffmanRoot;
}

}  // namespace eri
