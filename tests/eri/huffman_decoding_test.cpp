#include <gtest/gtest.h>

#include <vector>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/huffman_encoder.h"
#include "huffman_tree_check.h"

namespace {

using eritest::BytesBitInput;
using Values = std::vector<std::int32_t>;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::uint8_t> encodeValues(const Values& values) {
    eriwriter::HuffmanEncoder encoder;
    eriwriter::BitWriter bits;
    encoder.encodeValues(bits, values);
    return bits.bytes();
}

Values decodeValues(eri::BitInput& input, std::uint32_t count) {
    Values out(count, 999);
    out.resize(input.decodeHuffmanValues(out.data(), count));
    return out;
}

Bytes decodeBytes(eri::BitInput& input, std::uint32_t count) {
    Bytes out(count, 0xEE);
    out.resize(input.decodeHuffmanBytes(out.data(), count));
    return out;
}

TEST(HuffmanValues, ZeroRunsAreOwedAcrossCalls) {
    BytesBitInput input(encodeValues({5, 0, 9, 0, 0, 0, 0, 0, 4}));
    ASSERT_TRUE(input.initHuffmanTrees());
    // Run symbol 1: the single zero.
    EXPECT_EQ(decodeValues(input, 3), (Values{5, 0, 9}));
    // Run symbol 5 with two places left: three zeros are owed.
    EXPECT_EQ(decodeValues(input, 2), (Values{0, 0}));
    EXPECT_EQ(input.runLength, 3u);
    EXPECT_EQ(decodeValues(input, 4), (Values{0, 0, 0, 4}));
    EXPECT_EQ(input.runLength, 0u);
}

// Owed zeros and gamma-run values share one field: startRunCodes clears both.
TEST(HuffmanValues, StartRunCodesClearsOwedZeros) {
    BytesBitInput input(encodeValues({0, 0, 0, 0, 0}));
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_EQ(decodeValues(input, 1), (Values{0}));
    EXPECT_EQ(input.runLength, 4u);
    input.startRunCodes();
    EXPECT_EQ(input.runLength, 0u);
}

TEST(HuffmanValues, ContextIsTheLastValueAndTreeZeroAfterZeros) {
    BytesBitInput input(encodeValues({-1, 3, 7, 0, 2}));
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_EQ(decodeValues(input, 5), (Values{-1, 3, 7, 0, 2}));
    // -1 and 2 in tree 0 (start, after the zero), 3 in tree 255, 7 in tree 3, 0 in tree 7.
    const eri::HuffmanTree& tree0 = *input.huffmanTree(0);
    EXPECT_NE(tree0.symbolNode[0xFF], eri::kNoNode);
    EXPECT_NE(tree0.symbolNode[2], eri::kNoNode);
    EXPECT_NE(input.huffmanTree(255)->symbolNode[3], eri::kNoNode);
    EXPECT_NE(input.huffmanTree(3)->symbolNode[7], eri::kNoNode);
    EXPECT_NE(input.huffmanTree(7)->symbolNode[0], eri::kNoNode);
    EXPECT_EQ(input.valueTree(), input.huffmanTree(2));
    // initHuffmanTrees empties them all again.
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_TRUE(input.huffmanTree(255)->isEmpty());
    EXPECT_EQ(input.valueTree(), input.huffmanTree(0));
}

TEST(HuffmanValues, NeedTheTrees) {
    BytesBitInput input(encodeValues({1, 2}));
    EXPECT_EQ(decodeValues(input, 2).size(), 0u);
    EXPECT_EQ(decodeBytes(input, 2).size(), 0u);
}

// A second frame on the same input starts from fresh trees, including those
// only the first frame used.
TEST(HuffmanValues, InitialisingAgainForgetsEveryTree) {
    const Values first = {4, -7, 4, 9, 0, 0, 12, -7, 3};
    const Values second = {4, 1, 1, 2, 0, 5};
    // Each frame starts on a word of its own.
    Bytes bytes = encodeValues(first);
    bytes.resize((bytes.size() + 3) / 4 * 4);
    const Bytes secondBytes = encodeValues(second);
    bytes.insert(bytes.end(), secondBytes.begin(), secondBytes.end());
    BytesBitInput input(bytes, 8);
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_EQ(decodeValues(input, 9), first);
    input.bitCount = 0;
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_TRUE(input.huffmanTree(4)->isEmpty());
    EXPECT_EQ(decodeValues(input, 6), second);
}

// More than 256 distinct run lengths: the run tree relabels instead of growing.
TEST(HuffmanValues, ManyDistinctRunLengths) {
    Values values;
    for (int length = 1; length <= 400; ++length) {
        values.push_back(1);
        values.insert(values.end(), static_cast<std::size_t>(length), 0);
    }
    for (int length = 400; length >= 1; length -= 3) {
        values.push_back(-2);
        values.insert(values.end(), static_cast<std::size_t>(length), 0);
    }
    BytesBitInput input(encodeValues(values));
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_EQ(decodeValues(input, static_cast<std::uint32_t>(values.size())), values);
    EXPECT_EQ(input.huffmanTree(256)->freeNode, 0);
}

std::vector<std::uint8_t> encodeRows(const std::vector<Bytes>& rows) {
    eriwriter::HuffmanEncoder encoder;
    eriwriter::BitWriter bits;
    for (const Bytes& row : rows) {
        encoder.encodeBytes(bits, row);
    }
    return bits.bytes();
}

TEST(HuffmanBytes, EqualBytesAreAlwaysFollowedByARunSymbol) {
    BytesBitInput input(encodeRows({{4, 4, 5}}));
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_EQ(decodeBytes(input, 3), (Bytes{4, 4, 5}));
    const eri::HuffmanTree& runTree = *input.huffmanTree(256);
    EXPECT_EQ(runTree.nodes[runTree.freeNode].childOrLeaf,
              static_cast<std::int32_t>(eri::kLeafFlag | 1));
}

TEST(HuffmanBytes, RunLongerThanTheRowEndsItShort) {
    BytesBitInput input(encodeRows({{4, 4, 4, 4, 4}}));
    ASSERT_TRUE(input.initHuffmanTrees());
    EXPECT_EQ(decodeBytes(input, 3), (Bytes{4, 4}));
}

}  // namespace
