// Adaptive Huffman tree: 513 nodes kept in sibling order (weights never
// decrease with rising index, children stand below their parent), root at 512.
#pragma once

#include <cstdint>

namespace eri {

struct HuffmanNode {
    std::uint16_t weight;
    std::uint16_t parent;      // kNoNode for the root
    std::int32_t childOrLeaf;  // >= 0: first of two adjacent children; < 0: leaf code
};

constexpr int kHuffmanRoot = 512;
constexpr std::uint16_t kNoNode = 0x8000;
constexpr std::int32_t kEmptyRoot = 0x8000;
constexpr std::int32_t kEscapeCode = -1;
constexpr std::uint32_t kEscapeSymbol = 0x7FFFFFFF;
constexpr std::uint32_t kLeafFlag = 0x80000000u;
constexpr std::uint16_t kRescaleWeight = 0x4000;

struct HuffmanTree {
    HuffmanNode nodes[513];
    std::int32_t symbolNode[256];
    std::int32_t escapeNode;
    std::int32_t freeNode;

    void initializeTree();
    bool isEmpty() const { return nodes[kHuffmanRoot].childOrLeaf == kEmptyRoot; }

    // Inserts a leaf of weight 1; once 256 symbols are present it relabels the
    // lowest leaf that is not the escape instead.
    void addSymbol(std::uint32_t symbol) {
        addSymbol(symbol, [](int, int) {});
    }

    // As above; `onShapeChange` hears of the leaf position that becomes the
    // new leaf's parent, then of the exchanges of the update that follows.
    template <typename OnShapeChange>
    void addSymbol(std::uint32_t symbol, OnShapeChange onShapeChange) {
        const int parent = insertLeaf(symbol);
        if (parent >= 0) {
            onShapeChange(parent, parent);
            updateWeights(parent, onShapeChange);
        }
    }

    // Halves the leaf weights (rounding up) and rebuilds the tree.
    void rescaleTree();

    // Raises the leaf's weight by one and restores the order up to the root.
    // Returns the root's new weight.
    inline std::uint16_t incrementLeaf(int node) {
        return incrementLeaf(node, [](int, int) {});
    }

    // As above, with updateWeights' `onShapeChange`.
    template <typename OnShapeChange>
    inline std::uint16_t incrementLeaf(int node, OnShapeChange onShapeChange) {
        ++nodes[node].weight;
        return updateWeights(node, onShapeChange);
    }

    // Restores the order from `node`, whose weight was just raised, to the
    // root, adding one to every ancestor on the way. Returns the root's weight.
    inline std::uint16_t updateWeights(int node) {
        return updateWeights(node, [](int, int) {});
    }

    // As above; `onShapeChange(a, b)` hears of every exchange that moves an
    // internal node, before it is made.
    template <typename OnShapeChange>
    inline std::uint16_t updateWeights(int node, OnShapeChange onShapeChange) {
        std::uint16_t w = nodes[node].weight;
        while (node < kHuffmanRoot) {
            if (nodes[node + 1].weight < w) {
                int m = node + 1;
                while (nodes[m + 1].weight < w) {
                    ++m;
                }
                if ((nodes[node].childOrLeaf & nodes[m].childOrLeaf) >= 0) {
                    onShapeChange(node, m);
                }
                exchangeNodes(node, m);
                node = nodes[m].parent;
            } else {
                node = nodes[node].parent;
            }
            w = ++nodes[node].weight;
        }
        return w;
    }

    // Swaps weight and contents of two positions; each keeps its parent.
    inline void exchangeNodes(int a, int b) {
        const HuffmanNode nodeA = nodes[a];
        nodes[a].weight = nodes[b].weight;
        nodes[a].childOrLeaf = nodes[b].childOrLeaf;
        nodes[b].weight = nodeA.weight;
        nodes[b].childOrLeaf = nodeA.childOrLeaf;
        attachContent(a);
        attachContent(b);
    }

    // addSymbol's change of the nodes: the position whose weights have yet to
    // be carried up to the root, or -1 when no update is due.
    int insertLeaf(std::uint32_t symbol);

    // Points the children or the leaf maps at the content now standing at `node`.
    inline void attachContent(int node) {
        const std::int32_t code = nodes[node].childOrLeaf;
        if (code >= 0) {
            nodes[code].parent = static_cast<std::uint16_t>(node);
            nodes[code + 1].parent = static_cast<std::uint16_t>(node);
        } else if (code == kEscapeCode) {
            escapeNode = node;
        } else {
            symbolNode[code & 0xFF] = node;
        }
    }
};

static_assert(sizeof(HuffmanNode) == 8);
static_assert(sizeof(HuffmanTree) == 5136);

}  // namespace eri
