#include <gtest/gtest.h>

#include <random>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/huffman_encoder.h"
#include "huffman_tree_check.h"

namespace {

using eri::HuffmanTree;
using eritest::isSoundTree;

constexpr std::int32_t leaf(std::uint32_t symbol) {
    return static_cast<std::int32_t>(eri::kLeafFlag | symbol);
}

TEST(HuffmanTree, FirstSymbolOfAnEmptyTreeIsReadRaw) {
    eriwriter::BitWriter bits;
    bits.putBits(0x41, 8);  // raw first symbol, no tree bits
    bits.putBit(0);         // the symbol again, which then changes places with the escape
    bits.putBit(0);         // the escape, then a raw symbol
    bits.putBits(0x42, 8);
    eritest::BytesBitInput input(bits.bytes());
    HuffmanTree tree;
    tree.initializeTree();
    EXPECT_EQ(input.decodeHuffmanSymbol(tree), 0x41u);
    EXPECT_EQ(tree.freeNode, 510);
    EXPECT_EQ(tree.nodes[510].childOrLeaf, leaf(0x41));
    EXPECT_EQ(tree.nodes[510].weight, 1);
    EXPECT_EQ(tree.nodes[511].childOrLeaf, eri::kEscapeCode);
    EXPECT_EQ(tree.nodes[511].weight, 1);
    EXPECT_EQ(tree.nodes[512].weight, 2);
    EXPECT_EQ(tree.nodes[512].childOrLeaf, 510);
    EXPECT_EQ(input.decodeHuffmanSymbol(tree), 0x41u);
    EXPECT_EQ(input.decodeHuffmanSymbol(tree), 0x42u);
    EXPECT_TRUE(isSoundTree(tree));
    eritest::BytesBitInput empty({});
    EXPECT_EQ(empty.decodeHuffmanSymbol(tree), eri::kHuffmanEnd);
}

TEST(HuffmanTree, AddAndIncrementKeepTheSiblingOrder) {
    HuffmanTree tree;
    tree.initializeTree();
    tree.addSymbol('A');
    tree.addSymbol('B');
    // B at 508 and A at 509 under the node at 511; the escape moved up to 510.
    EXPECT_EQ(tree.nodes[508].childOrLeaf, leaf('B'));
    EXPECT_EQ(tree.nodes[509].childOrLeaf, leaf('A'));
    EXPECT_EQ(tree.nodes[510].childOrLeaf, eri::kEscapeCode);
    EXPECT_EQ(tree.nodes[511].childOrLeaf, 508);
    EXPECT_EQ(tree.nodes[511].weight, 2);
    EXPECT_EQ(tree.nodes[512].weight, 3);
    EXPECT_EQ(tree.escapeNode, 510);
    EXPECT_TRUE(isSoundTree(tree));

    // B reaches weight 2 and changes places with the escape at 510.
    tree.incrementLeaf(508);
    EXPECT_EQ(tree.nodes[510].childOrLeaf, leaf('B'));
    EXPECT_EQ(tree.nodes[510].weight, 2);
    EXPECT_EQ(tree.nodes[508].childOrLeaf, eri::kEscapeCode);
    EXPECT_EQ(tree.nodes[508].parent, 511);
    EXPECT_EQ(tree.nodes[512].weight, 4);
    EXPECT_TRUE(isSoundTree(tree));
}

TEST(HuffmanTree, SymbolAfterTheTwoHundredFiftySixthRelabelsTheLowestLeaf) {
    HuffmanTree tree;
    tree.initializeTree();
    for (std::uint32_t s = 1; s <= 256; ++s) {
        tree.addSymbol(s);
    }
    ASSERT_EQ(tree.freeNode, 0);
    ASSERT_TRUE(isSoundTree(tree));
    const int relabelled = tree.nodes[0].childOrLeaf == eri::kEscapeCode ? 1 : 0;
    const std::uint16_t weight = tree.nodes[relabelled].weight;
    tree.addSymbol(1000);
    EXPECT_EQ(tree.freeNode, 0);
    EXPECT_EQ(tree.nodes[relabelled].childOrLeaf, leaf(1000));
    EXPECT_EQ(tree.nodes[relabelled].weight, weight);
}

// The rescale check is "reached or passed": an escape's addSymbol can carry
// the root past 0x4000 without the check ever seeing 0x4000 itself.
TEST(HuffmanTree, RootPassingTheLimitThroughAddSymbolIsRescaled) {
    HuffmanTree encoderTree;
    encoderTree.initializeTree();
    eriwriter::BitWriter bits;
    eriwriter::HuffmanEncoder::encodeSymbol(bits, encoderTree, 'A');
    for (int i = 0; i < 0x3FFC; ++i) {
        eriwriter::HuffmanEncoder::encodeSymbol(bits, encoderTree, 'A');
    }
    eriwriter::HuffmanEncoder::encodeSymbol(bits, encoderTree, 'B');
    eriwriter::HuffmanEncoder::encodeSymbol(bits, encoderTree, 'A');
    eriwriter::HuffmanEncoder::encodeSymbol(bits, encoderTree, 'B');

    eritest::BytesBitInput input(bits.bytes());
    HuffmanTree tree;
    tree.initializeTree();
    for (int i = 0; i < 0x3FFD; ++i) {
        ASSERT_EQ(input.decodeHuffmanSymbol(tree), std::uint32_t{'A'});
    }
    EXPECT_EQ(tree.nodes[512].weight, 0x3FFE);
    EXPECT_EQ(input.decodeHuffmanSymbol(tree), std::uint32_t{'B'});
    EXPECT_EQ(tree.nodes[512].weight, 0x4000);
    EXPECT_EQ(input.decodeHuffmanSymbol(tree), std::uint32_t{'A'});
    EXPECT_LT(tree.nodes[512].weight, 0x2100);
    EXPECT_TRUE(isSoundTree(tree));
    EXPECT_EQ(input.decodeHuffmanSymbol(tree), std::uint32_t{'B'});
}

// The rebuild written plainly over a list: leaves (the escape too) in index
// order with weights halved rounding up; pair the two lightest into place,
// insert their parent below the first entry at least as heavy.
struct ListEntry {
    std::uint16_t weight;
    std::int32_t childOrLeaf;
};

std::vector<ListEntry> expectedRescale(const HuffmanTree& tree) {
    std::vector<ListEntry> list;
    for (int i = tree.freeNode; i < eri::kHuffmanRoot; ++i) {
        if (tree.nodes[i].childOrLeaf < 0) {
            list.push_back({static_cast<std::uint16_t>((tree.nodes[i].weight + 1) / 2),
                            tree.nodes[i].childOrLeaf});
        }
    }
    std::vector<ListEntry> nodes;
    int j = tree.freeNode;
    for (;;) {
        nodes.push_back(list[0]);
        nodes.push_back(list[1]);
        const auto sum = static_cast<std::uint16_t>(list[0].weight + list[1].weight);
        list.erase(list.begin(), list.begin() + 2);
        if (list.empty()) {
            nodes.push_back({sum, j});
            return nodes;
        }
        auto at = list.begin();
        while (at != list.end() && at->weight < sum) {
            ++at;
        }
        list.insert(at, {sum, j});
        j += 2;
    }
}

TEST(HuffmanTree, RescaleMatchesThePlainListRebuild) {
    std::mt19937 random(21);
    for (int trial = 0; trial < 60; ++trial) {
        HuffmanTree tree;
        tree.initializeTree();
        const std::uint32_t symbols = 1 + random() % 256;
        for (std::uint32_t s = 0; s < symbols; ++s) {
            tree.addSymbol(s);
            for (std::uint32_t k = random() % 30; k > 0; --k) {
                tree.incrementLeaf(tree.symbolNode[random() % (s + 1)]);
            }
        }
        const std::vector<ListEntry> expected = expectedRescale(tree);
        tree.rescaleTree();
        ASSERT_TRUE(isSoundTree(tree));
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const int node = tree.freeNode + static_cast<int>(k);
            ASSERT_EQ(tree.nodes[node].weight, expected[k].weight) << trial << " node " << node;
            ASSERT_EQ(tree.nodes[node].childOrLeaf, expected[k].childOrLeaf)
                << trial << " node " << node;
        }
    }
}

}  // namespace
