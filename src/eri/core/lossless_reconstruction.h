// Reconstruction of lossless blocks: the decoded differences are scattered
// into place, one colour plane is added to others, and the block is
// integrated along its rows (carried across the block row) and down its
// columns (carried down the picture). All sums wrap at 32 bits.
#pragma once

#include <cstdint>

namespace eri {

constexpr int kChannelOperationCount = 16;
constexpr int kOperationPairCount = 50;

// Per-block code of the 6-bit form: a channel operation and an arrangement
// (0 = as decoded, 1..4 = per-plane table).
struct OperationPair {
    int operation;
    int arrangement;
};

// Entry c of the 6-bit code table, for c in 0..49.
OperationPair operationPair(int code);

// Channel operation `index` (0..15) over planes 0..2 of `area` samples each;
// a fourth plane is never touched.
void applyChannelOperation(int index, std::int32_t* block, int area);

// values[i] goes to block[table[i]], for i < count.
void scatter(std::int32_t* block, const std::int32_t* values, const std::int32_t* table, int count);

// Horizontal step over rowCount rows of `side` samples: a running sum
// starting from each row's carry; the carry then takes the row's last value.
void integrateRows(std::int32_t* block, std::int32_t* rowCarries, int rowCount, int side);
// Rows left as they are; only the carries take each row's last value.
void carryRowEnds(const std::int32_t* block, std::int32_t* rowCarries, int rowCount, int side);

// Vertical step over `planes` planes of side x side samples: row 0 adds the
// plane's segment of the line buffer, each later row the row above; the
// segment then takes the last row. Segments follow one another, side each.
void integrateColumns(std::int32_t* block, std::int32_t* lineSegments, int planes, int side);

// Buffers and shape of one lossless block, shared by the reconstruction steps.
struct LosslessBlock {
    std::int32_t* samples;        // blockBuffer: planes one after another
    const std::int32_t* symbols;  // symbolBuffer: values in decoded order
    std::int32_t* rowCarries;
    const std::int32_t* const* tables;  // arrangement tables 1..4 at [0..3]
    int side;
    int channels;
};

// Huffman-mode block (code bits 0-3 operation, 4-5 channel-spanning table
// minus one, 6 horizontal step on). Advances lineCursor past the block's
// channels x side entries.
void reconstructHuffmanBlock(const LosslessBlock& block, std::uint32_t code,
                             std::int32_t*& lineCursor);

}  // namespace eri
