// The reconstruction kernels and the rearrangement tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <vector>

#include "eri/arrangement_tables.h"
#include "eri/core/lossless_reconstruction.h"

namespace {

using eri::LosslessBlock;

bool isPermutation(const std::int32_t* table, int count) {
    std::vector<std::int32_t> sorted(table, table + count);
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < count; ++i) {
        if (sorted[i] != i) {
            return false;
        }
    }
    return true;
}

TEST(ArrangementTables, EveryTableIsAPermutationOfTheBlock) {
    for (int side = 2; side <= 64; side *= 2) {
        const int area = side * side;
        std::vector<std::int32_t> perPlane(4 * area);
        eri::buildPerPlaneTables(perPlane.data(), side);
        for (int t = 0; t < 4; ++t) {
            EXPECT_TRUE(isPermutation(perPlane.data() + t * area, area)) << side << " " << t;
        }
        for (const int channels : {3, 4}) {
            std::vector<std::int32_t> spanning(4 * area * channels);
            eri::buildChannelSpanningTables(spanning.data(), side, channels);
            for (int t = 0; t < 4; ++t) {
                EXPECT_TRUE(isPermutation(spanning.data() + t * area * channels, area * channels));
            }
        }
    }
}

TEST(ArrangementTables, OrdersOfSideEight) {
    std::vector<std::int32_t> tables(4 * 64);
    eri::buildPerPlaneTables(tables.data(), 8);
    const std::vector<std::int32_t> rows(tables.begin(), tables.begin() + 10);
    EXPECT_EQ(rows, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 16, 17}));
    const std::vector<std::int32_t> columns(tables.begin() + 64, tables.begin() + 74);
    EXPECT_EQ(columns, (std::vector<std::int32_t>{0, 8, 16, 24, 32, 40, 48, 56, 2, 10}));
    const std::vector<std::int32_t> antiDiagonals(tables.begin() + 128, tables.begin() + 137);
    EXPECT_EQ(antiDiagonals, (std::vector<std::int32_t>{0, 2, 9, 16, 4, 11, 18, 25, 32}));
    // Diagonal k = 0 is the bottom-left corner; k = 2 runs from row 5 column 0 down.
    const std::vector<std::int32_t> diagonals(tables.begin() + 192, tables.begin() + 196);
    EXPECT_EQ(diagonals, (std::vector<std::int32_t>{56, 40, 49, 58}));

    std::vector<std::int32_t> spanning(4 * 64 * 3);
    eri::buildChannelSpanningTables(spanning.data(), 8, 3);
    EXPECT_EQ(spanning[192 + 1], 8);   // table 2: down the first column
    EXPECT_EQ(spanning[384 + 1], 64);  // table 3: all planes at position 0
    EXPECT_EQ(spanning[576 + 3], 8);   // table 4: then the next row of column 0
}

TEST(OperationPairs, SixBitCodesNameAnOperationAndATable) {
    EXPECT_EQ(eri::operationPair(0).operation, 0);
    EXPECT_EQ(eri::operationPair(11).operation, 5);
    EXPECT_EQ(eri::operationPair(11).arrangement, 1);
    EXPECT_EQ(eri::operationPair(15).operation, 10);
    EXPECT_EQ(eri::operationPair(15).arrangement, 1);
    EXPECT_EQ(eri::operationPair(49).operation, 15);
    EXPECT_EQ(eri::operationPair(49).arrangement, 4);
}

// Planes of one sample each: P0 = 1, P1 = 10, P2 = 100, P3 = 1000.
TEST(ChannelOperations, EachAddsItsSourcePlaneToItsTargets) {
    const std::int32_t expected[16][3] = {
        {1, 10, 100}, {1, 10, 100},   {1, 10, 100},  {1, 10, 100},   {1, 10, 100}, {1, 11, 100},
        {1, 10, 101}, {1, 11, 101},   {1, 10, 100},  {11, 10, 100},  {1, 10, 110}, {11, 10, 110},
        {1, 10, 100}, {101, 10, 100}, {1, 110, 100}, {101, 110, 100}};
    for (int op = 0; op < 16; ++op) {
        std::int32_t block[4] = {1, 10, 100, 1000};
        eri::applyChannelOperation(op, block, 1);
        EXPECT_EQ(block[0], expected[op][0]) << op;
        EXPECT_EQ(block[1], expected[op][1]) << op;
        EXPECT_EQ(block[2], expected[op][2]) << op;
        EXPECT_EQ(block[3], 1000) << op;
    }
}

TEST(Reconstruction, SumsWrapAtThirtyTwoBits) {
    std::int32_t block[4] = {INT32_MAX, 1, 0, 0};
    eri::applyChannelOperation(5, block, 1);
    EXPECT_EQ(block[1], INT32_MIN);
    std::int32_t row[2] = {INT32_MAX, 1};
    std::int32_t carry = 1;
    eri::integrateRows(row, &carry, 1, 2);
    EXPECT_EQ(row[0], INT32_MIN);
    EXPECT_EQ(row[1], INT32_MIN + 1);
    EXPECT_EQ(carry, INT32_MIN + 1);
}

// A Huffman-mode block of 3 planes, side 2, built around the given buffers.
struct HuffmanBlock {
    std::vector<std::int32_t> samples = std::vector<std::int32_t>(12);
    std::vector<std::int32_t> symbols = std::vector<std::int32_t>(12);
    std::vector<std::int32_t> carries = std::vector<std::int32_t>(6, 7);
    std::vector<std::int32_t> tables = std::vector<std::int32_t>(48);
    const std::int32_t* tablePointers[4];

    HuffmanBlock() {
        eri::buildChannelSpanningTables(tables.data(), 2, 3);
        for (int t = 0; t < 4; ++t) {
            tablePointers[t] = tables.data() + 12 * t;
        }
    }
    LosslessBlock view() {
        return LosslessBlock{samples.data(), symbols.data(), carries.data(), tablePointers, 2, 3};
    }
};

TEST(HuffmanBlockReconstruction, ZeroBlockWithoutHorizontalStepRepeatsTheRowAbove) {
    HuffmanBlock block;
    std::vector<std::int32_t> line = {1, 2, 3, 4, 5, 6};
    std::int32_t* cursor = line.data();
    eri::reconstructHuffmanBlock(block.view(), 0x00, cursor);
    EXPECT_EQ(block.samples, (std::vector<std::int32_t>{1, 2, 1, 2, 3, 4, 3, 4, 5, 6, 5, 6}));
    EXPECT_EQ(block.carries, std::vector<std::int32_t>(6, 0));
    EXPECT_EQ(cursor, line.data() + 6);
}

TEST(HuffmanBlockReconstruction, Code47AddsPlaneZeroThenIntegrates) {
    HuffmanBlock block;
    block.carries.assign(6, 0);
    block.symbols = {1, 0, 0, 0, 10, 0, 0, 0, 100, 0, 0, 0};
    std::vector<std::int32_t> line(6, 0);
    std::int32_t* cursor = line.data();
    eri::reconstructHuffmanBlock(block.view(), 0x47, cursor);
    EXPECT_EQ(block.samples,
              (std::vector<std::int32_t>{1, 1, 1, 1, 11, 11, 11, 11, 101, 101, 101, 101}));
    EXPECT_EQ(line, (std::vector<std::int32_t>{1, 1, 11, 11, 101, 101}));
}

TEST(HuffmanBlockReconstruction, Code05WithoutHorizontalStepStillCarriesRowEnds) {
    HuffmanBlock block;
    block.symbols = {1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::int32_t> line(6, 0);
    std::int32_t* cursor = line.data();
    eri::reconstructHuffmanBlock(block.view(), 0x05, cursor);
    // P1 += P0; rows keep their values and hand their last ones on.
    EXPECT_EQ(block.carries, (std::vector<std::int32_t>{2, 4, 2, 4, 0, 0}));
    EXPECT_EQ(block.samples, (std::vector<std::int32_t>{1, 2, 4, 6, 1, 2, 4, 6, 0, 0, 0, 0}));
}

}  // namespace
