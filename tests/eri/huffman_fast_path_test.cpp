// The Huffman decoders switch between a prefix-table path over the buffered
// bytes and the exact bit-by-bit path. These streams push every case that
// moves between the two, and check every value and the final trees against
// the encoder's model.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

#include "bytes_bit_input.h"
#include "eriwriter/bit_writer.h"
#include "eriwriter/huffman_encoder.h"
#include "huffman_tree_check.h"

namespace {

using eritest::BytesBitInput;
using Values = std::vector<std::int32_t>;
using Bytes = std::vector<std::uint8_t>;

struct Encoded {
    Bytes bytes;
    eriwriter::HuffmanEncoder model;
};

Encoded encodeValues(const Values& values) {
    Encoded encoded;
    eriwriter::BitWriter bits;
    encoded.model.encodeValues(bits, values);
    encoded.bytes = bits.bytes();
    return encoded;
}

testing::AssertionResult sameTree(const eri::HuffmanTree& decoded,
                                  const eri::HuffmanTree& expected) {
    if (decoded.freeNode != expected.freeNode) {
        return testing::AssertionFailure() << "freeNode " << decoded.freeNode;
    }
    if (expected.isEmpty()) {
        return decoded.isEmpty() ? testing::AssertionSuccess()
                                 : testing::AssertionFailure() << "not empty";
    }
    for (int i = expected.freeNode; i <= eri::kHuffmanRoot; ++i) {
        const eri::HuffmanNode& a = decoded.nodes[i];
        const eri::HuffmanNode& b = expected.nodes[i];
        if (a.weight != b.weight || a.parent != b.parent || a.childOrLeaf != b.childOrLeaf) {
            return testing::AssertionFailure() << "node " << i;
        }
    }
    return testing::AssertionSuccess();
}

// Decodes `values` in requests of the given sizes (cycled) from an input with
// `capacity` bytes per refill, and compares every value and every tree.
void expectValuesDecode(const Values& values, std::uint32_t capacity,
                        const std::vector<std::uint32_t>& requests) {
    Encoded encoded = encodeValues(values);
    BytesBitInput input(encoded.bytes, capacity);
    ASSERT_TRUE(input.initHuffmanTrees());
    Values decoded(values.size(), 999);
    std::size_t done = 0;
    for (std::size_t r = 0; done < values.size(); ++r) {
        const auto want = static_cast<std::uint32_t>(
            std::min<std::size_t>(requests[r % requests.size()], values.size() - done));
        ASSERT_EQ(input.decodeHuffmanValues(decoded.data() + done, want), want)
            << "capacity " << capacity << " at " << done;
        done += want;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(decoded[i], values[i]) << "capacity " << capacity << " value " << i;
    }
    for (int t = 0; t <= 256; ++t) {
        ASSERT_TRUE(sameTree(*input.huffmanTree(t), encoded.model.tree(t)))
            << "capacity " << capacity << " tree " << t;
    }
}

// Residual-like values: small magnitudes, zero runs, the odd outlier.
Values residuals(std::uint32_t seed, std::size_t size) {
    std::mt19937 random(seed);
    std::geometric_distribution<int> magnitude(0.4);
    Values values;
    while (values.size() < size) {
        const std::uint32_t pick = random() % 100;
        if (pick < 25) {
            values.insert(values.end(), 1 + random() % (pick < 2 ? 300 : 6), 0);
        } else if (pick < 28) {
            values.push_back(static_cast<std::int8_t>(random()));
        } else {
            const int v = std::min(1 + magnitude(random), 127);
            values.push_back(random() % 2 != 0 ? v : -v);
        }
    }
    values.resize(size);
    return values;
}

// Every refill size from one word up, so that codes, escapes and run lengths
// straddle the end of the buffered bytes at every offset.
TEST(HuffmanDecodingPaths, EveryRefillSizeGivesTheSameValues) {
    const Values values = residuals(17, 6000);
    for (std::uint32_t capacity = 4; capacity <= 96; capacity += 4) {
        expectValuesDecode(values, capacity, {1, 7, 64, 0, 3, 192});
    }
    expectValuesDecode(values, 0x10000, {192});
}

// Long streams rescale the busiest trees many times; a few symbols that keep
// appearing for the first time force escapes and internal-node moves.
TEST(HuffmanDecodingPaths, RescalesEscapesAndNodeMovesStayExact) {
    std::mt19937 random(5);
    Values values;
    // One context (after 1) carries almost everything: its root passes 0x4000 often.
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t pick = random() % 1000;
        if (pick < 5) {
            values.push_back(static_cast<std::int8_t>(random()));  // new symbols now and then
        } else if (pick < 700) {
            values.push_back(1);
        } else {
            values.push_back(static_cast<std::int32_t>(2 + pick % 5));
        }
    }
    for (const std::uint32_t capacity : {4u, 12u, 4096u}) {
        expectValuesDecode(values, capacity, {1000, 1});
    }
}

// Frequencies that double from symbol to symbol grow a chain-like tree whose
// rare codes are far longer than the prefix table's reach; they drift over
// time, so deep leaves keep swapping with shallow ones.
TEST(HuffmanDecodingPaths, CodesLongerThanTheTableDecode) {
    std::mt19937 random(77);
    Values values;
    for (int phase = 0; phase < 6; ++phase) {
        for (int i = 0; i < 30000; ++i) {
            // Geometric with p = 1/2 over 1..18, the order rotated each phase.
            const int rank = std::min(std::countr_zero(random() | 0x40000u), 17);
            values.push_back(2 + (rank + 3 * phase) % 18);
            values.push_back(1);  // keep everything in tree 1 and tree 2..19
        }
    }
    expectValuesDecode(values, 8, {5000});
    expectValuesDecode(values, 4096, {5000, 3});

    // The tree after 1 really has codes beyond five bits.
    Encoded encoded = encodeValues(values);
    const eri::HuffmanTree& tree = encoded.model.tree(1);
    int deepest = 0;
    for (int node = tree.freeNode; node < eri::kHuffmanRoot; ++node) {
        int depth = 0;
        for (int n = node; n != eri::kHuffmanRoot; n = tree.nodes[n].parent) {
            ++depth;
        }
        deepest = std::max(deepest, depth);
    }
    EXPECT_GT(deepest, 10);
}

// The decoder keeps a tree's prefix table across the weight updates: leaf
// swaps leave it right, and where an internal node moves within its reach
// the entries below are filled anew. After every request each table it holds
// as current must equal a fresh build from its tree.
TEST(HuffmanDecodingPaths, PrefixTablesKeptAcrossUpdatesMatchAFreshBuild) {
    std::mt19937 random(41);
    Values values = residuals(43, 20000);
    // Drifting skewed contexts: leaves and subtrees near the top trade places.
    for (int phase = 0; phase < 8; ++phase) {
        for (int i = 0; i < 6000; ++i) {
            const int rank = std::min(std::countr_zero(random() | 0x800u), 11);
            values.push_back(1 + (rank + 5 * phase) % 12);
            if (random() % 4 == 0) {
                values.push_back(random() % 3 == 0 ? 0 : -1);
            }
        }
    }
    Encoded encoded = encodeValues(values);
    BytesBitInput input(encoded.bytes, 4096);
    ASSERT_TRUE(input.initHuffmanTrees());
    Values decoded(values.size());
    const std::uint32_t requests[] = {1, 2, 3, 5, 8};
    std::size_t checked = 0;
    for (std::size_t done = 0, r = 0; done < values.size(); ++r) {
        const auto want = static_cast<std::uint32_t>(
            std::min<std::size_t>(requests[r % 5], values.size() - done));
        ASSERT_EQ(input.decodeHuffmanValues(decoded.data() + done, want), want);
        done += want;
        for (int t = 0; t <= 256; ++t) {
            const eri::PrefixTable* kept = input.currentPrefixTable(t);
            if (kept == nullptr) {
                continue;
            }
            eri::PrefixTable fresh{};
            fresh.build(*input.usedTree(t));
            for (std::size_t e = 0; e < fresh.entries.size(); ++e) {
                const eri::PrefixEntry& a = kept->entries[e];
                const eri::PrefixEntry& b = fresh.entries[e];
                ASSERT_TRUE(a.node == b.node && a.length == b.length && a.path == b.path)
                    << "tree " << t << " entry " << e << " after value " << done;
            }
            ++checked;
        }
    }
    EXPECT_EQ(decoded, values);
    EXPECT_GT(checked, values.size());
}

// The lossless driver reads a block code from its own tree between blocks of
// values; the value decoders must hand the bit position over at every split.
TEST(HuffmanDecodingPaths, OwnTreeSymbolsAndRawBitsBetweenValueBlocks) {
    std::mt19937 random(3);
    eriwriter::HuffmanEncoder encoder;
    eriwriter::BitWriter bits;
    eri::HuffmanTree codeTree;
    codeTree.initializeTree();
    std::vector<std::uint32_t> codes;
    std::vector<std::uint32_t> raws;
    std::vector<Values> blocks;
    for (int block = 0; block < 400; ++block) {
        codes.push_back(random() % 4 == 0 ? random() % 256 : 3);
        eriwriter::HuffmanEncoder::encodeSymbol(bits, codeTree, codes.back());
        raws.push_back(random() % 8);
        bits.putBits(raws.back(), 3);
        blocks.push_back(residuals(block, 1 + random() % 200));
        encoder.encodeValues(bits, blocks.back());
    }
    for (const std::uint32_t capacity : {4u, 20u, 256u, 0x10000u}) {
        BytesBitInput input(bits.bytes(), capacity);
        ASSERT_TRUE(input.initHuffmanTrees());
        eri::HuffmanTree tree;
        tree.initializeTree();
        for (std::size_t block = 0; block < blocks.size(); ++block) {
            ASSERT_EQ(input.decodeHuffmanSymbol(tree), codes[block]) << block;
            ASSERT_EQ(input.readBits(3), raws[block]) << block;
            Values decoded(blocks[block].size(), 999);
            const auto count = static_cast<std::uint32_t>(decoded.size());
            ASSERT_EQ(input.decodeHuffmanValues(decoded.data(), count), count);
            ASSERT_EQ(decoded, blocks[block]) << "capacity " << capacity << " block " << block;
        }
    }
}

// A stream cut at a word boundary (no zero padding) ends the call at the last
// whole value, and the fast path never reads behind the delivered bytes.
TEST(HuffmanDecodingPaths, CutStreamsStopAtTheLastWholeValue) {
    const Values values = residuals(99, 3000);
    const Bytes full = encodeValues(values).bytes;
    for (std::size_t cut = full.size() / 8 * 4; cut < full.size(); cut += 36) {
        BytesBitInput input(Bytes(full.begin(), full.begin() + static_cast<long>(cut)), 64);
        ASSERT_TRUE(input.initHuffmanTrees());
        Values decoded(values.size(), 999);
        const std::uint32_t got =
            input.decodeHuffmanValues(decoded.data(), static_cast<std::uint32_t>(values.size()));
        ASSERT_LT(got, values.size());
        for (std::uint32_t i = 0; i < got; ++i) {
            ASSERT_EQ(decoded[i], values[i]) << "cut " << cut << " value " << i;
        }
    }
}

TEST(HuffmanDecodingPaths, ByteRowsAtEveryRefillSize) {
    std::mt19937 random(8);
    std::vector<Bytes> rows;
    for (int r = 0; r < 120; ++r) {
        // From rows of a few colours to rows of many.
        std::geometric_distribution<int> colour(0.02 + 0.05 * (r % 10));
        Bytes row(1 + random() % 700);
        for (std::size_t i = 0; i < row.size(); ++i) {
            row[i] =
                i > 0 && random() % 4 == 0 ? row[i - 1] : static_cast<std::uint8_t>(colour(random));
        }
        rows.push_back(row);
    }
    eriwriter::HuffmanEncoder encoder;
    eriwriter::BitWriter bits;
    for (const Bytes& row : rows) {
        encoder.encodeBytes(bits, row);
    }
    for (std::uint32_t capacity = 4; capacity <= 64; capacity += 4) {
        BytesBitInput input(bits.bytes(), capacity);
        ASSERT_TRUE(input.initHuffmanTrees());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            Bytes decoded(rows[r].size(), 0xEE);
            const auto count = static_cast<std::uint32_t>(decoded.size());
            ASSERT_EQ(input.decodeHuffmanBytes(decoded.data(), count), count);
            ASSERT_EQ(decoded, rows[r]) << "capacity " << capacity << " row " << r;
        }
        for (int t = 0; t <= 256; ++t) {
            ASSERT_TRUE(sameTree(*input.huffmanTree(t), encoder.tree(t))) << t;
        }
    }
}

// A lossy macroblock's head (run kind, gamma-coded DC values, four codes of
// the driver's own tree) read in one pass must give what the separate calls
// give: the same values, codes, run state, tree and place in the stream.
// Random bits are a valid stream for these codes; the streams' ends fall
// anywhere, and small refills move the reads off the window at every offset.
TEST(HuffmanDecodingPaths, MacroblockHeadsReadAsTheirSeparateCalls) {
    std::mt19937 random(17);
    for (int trial = 0; trial < 12; ++trial) {
        Bytes bytes(1 + random() % 40000);
        std::generate(bytes.begin(), bytes.end(),
                      [&] { return static_cast<std::uint8_t>(random()); });
        const std::uint32_t dcCount = trial % 2 == 0 ? 6 : 16;
        for (const std::uint32_t capacity : {4u, 20u, 0x10000u}) {
            BytesBitInput fused(bytes, capacity);
            BytesBitInput separate(bytes, capacity);
            eri::HuffmanTree fusedTree;
            eri::HuffmanTree separateTree;
            fusedTree.initializeTree();
            separateTree.initializeTree();
            for (int block = 0;; ++block) {
                Values dc(dcCount, 999);
                Values expectedDc(dcCount, 999);
                std::uint8_t codes[4] = {};
                std::uint8_t expectedCodes[4] = {};
                const bool read =
                    fused.decodeMacroblockHead(dc.data(), dcCount, fusedTree, codes, 4);
                separate.startRunCodes();
                bool expected = separate.decodeGammaRuns(expectedDc.data(), dcCount) == dcCount;
                for (int i = 0; expected && i < 4; ++i) {
                    const std::uint32_t symbol = separate.decodeHuffmanSymbol(separateTree);
                    expected = symbol != eri::kHuffmanEnd;
                    expectedCodes[i] = static_cast<std::uint8_t>(symbol);
                }
                const auto where = [&] {
                    return testing::Message()
                           << "trial " << trial << " capacity " << capacity << " block " << block;
                };
                ASSERT_EQ(read, expected) << where();
                if (!read) {
                    break;
                }
                ASSERT_EQ(dc, expectedDc) << where();
                ASSERT_TRUE(std::equal(codes, codes + 4, expectedCodes)) << where();
                ASSERT_EQ(fused.runLength, separate.runLength) << where();
                ASSERT_EQ(fused.runIsNonZero, separate.runIsNonZero) << where();
                ASSERT_TRUE(sameTree(fusedTree, separateTree)) << where();
                if (block % 7 == 0) {
                    ASSERT_EQ(fused.tryReadBits(5), separate.tryReadBits(5)) << where();
                }
            }
        }
    }
}

}  // namespace
