// A lossless block's channel operation, horizontal step and vertical step in
// one pass, row by row: the same results as applyChannelOperation, then
// integrateRows (or carryRowEnds), then integrateColumns, without going over
// the block three times.
#pragma once

#include <cstdint>

namespace eri {

struct BlockPass {
    const std::int32_t* differences;  // planes one after another, side x side each
    std::int32_t* samples;            // the finished block, same layout; may be `differences`
    std::int32_t* rowCarries;         // side x planes
    std::int32_t* lineSegments;       // side x planes: the bottom rows of the block above
    int side;
    int planes;  // 1 to 4
};

// `operation` is a channel operation index (0..15); without `horizontalStep`
// the rows keep their values and only hand their last ones on as carries.
void reconstructBlock(const BlockPass& pass, int operation, bool horizontalStep);

// The scalar form, which reconstructBlock uses where no vector form applies
// (sides below 4, builds without SSE2).
void reconstructBlockPlain(const BlockPass& pass, int operation, bool horizontalStep);

}  // namespace eri
