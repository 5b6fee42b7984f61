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

namespace {

// The internal nodes a rescale has made and not yet paired, in the order
// made; their weights never decrease from one to the next. Of equal weights
// the newest is taken first, as each new node goes in below the entries that
// weigh as much. The run of the lightest weight is taken from its top, so the
// taken ones leave a gap up to the start of the next run.
class MadeNodes {
  public:
    bool empty() const { return top_ == runStart_; }
    std::uint16_t lightest() const { return nodes_[top_ - 1].weight; }

    HuffmanNode take() {
        const HuffmanNode node = nodes_[--top_];
        if (nextRun_ == count_) {
            // The lightest run is also the last: nothing lies above it.
            count_ = top_;
            nextRun_ = top_;
        }
        if (top_ == runStart_) {
            startNextRun();
        }
        return node;
    }

    void add(HuffmanNode node) {
        const bool joinsLightest = !empty() && nextRun_ == count_ && node.weight == lightest();
        nodes_[count_++] = node;
        if (empty()) {
            runStart_ = count_ - 1;
            top_ = count_;
            nextRun_ = count_;
        } else if (joinsLightest) {
            top_ = count_;
            nextRun_ = count_;
        }
    }

  private:
    void startNextRun() {
        runStart_ = nextRun_;
        int end = runStart_;
        while (end < count_ && nodes_[end].weight == nodes_[runStart_].weight) {
            ++end;
        }
        top_ = end;
        nextRun_ = end;
    }

    HuffmanNode nodes_[kHuffmanRoot / 2];
    int count_ = 0;
    int runStart_ = 0;  // the lightest run: runStart_ .. top_ - 1 not yet taken
    int top_ = 0;
    int nextRun_ = 0;
};

}  // namespace

void HuffmanTree::rescaleTree() {
    // The leaves halved (rounding up), lightest first: the tree keeps them in
    // non-decreasing weight from freeNode up.
    HuffmanNode leaves[kHuffmanRoot];
    int leafCount = 0;
    for (int i = freeNode; i < kHuffmanRoot; ++i) {
        if (nodes[i].childOrLeaf < 0) {
            HuffmanNode leaf = nodes[i];
            leaf.weight = static_cast<std::uint16_t>((leaf.weight + 1) / 2);
            leaves[leafCount++] = leaf;
        }
    }
    // Pairs the two lightest entries into place from the bottom up. The
    // entries are the leaves not yet paired and the nodes made so far, in
    // non-decreasing weight, a made node before a leaf of equal weight.
    MadeNodes made;
    int nextLeaf = 0;
    const auto takeLightest = [&] {
        if (!made.empty() &&
            (nextLeaf == leafCount || made.lightest() <= leaves[nextLeaf].weight)) {
            return made.take();
        }
        return leaves[nextLeaf++];
    };
    int j = freeNode;
    std::uint16_t sum = 0;
    for (;;) {
        const HuffmanNode first = takeLightest();
        const HuffmanNode second = takeLightest();
        nodes[j].weight = first.weight;
        nodes[j].childOrLeaf = first.childOrLeaf;
        nodes[j + 1].weight = second.weight;
        nodes[j + 1].childOrLeaf = second.childOrLeaf;
        attachContent(j);
        attachContent(j + 1);
        sum = static_cast<std::uint16_t>(first.weight + second.weight);
        if (made.empty() && nextLeaf == leafCount) {
            break;
        }
        made.add(HuffmanNode{sum, kNoNode, j});
        j += 2;
    }
    nodes[kHuffmanRoot] = HuffmanNode{sum, kNoNode, j};
    nodes[j].parent = kHuffmanRoot;
    nodes[j + 1].parent = kHuffmanRoot;
}

}  // namespace eri
