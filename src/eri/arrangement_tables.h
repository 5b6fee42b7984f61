// Rearrangement tables of lossless blocks: entry i of a table is the place in
// the block of the i-th decoded value.
#pragma once

#include <cstdint>

namespace eri {

// Four per-plane tables of side x side entries each, one after another in
// `tables`: (1) rows, even rows first; (2) columns, even columns first;
// (3) anti-diagonals, even sums first, each from its highest column down;
// (4) diagonals parallel to the main one, even first.
void buildPerPlaneTables(std::int32_t* tables, int side);

// Four channel-spanning tables of side x side x channels entries each:
// (1) identity; (2) plane by plane, column by column; (3) position by
// position (row-major), all planes at each; (4) column by column, all
// planes at each position.
void buildChannelSpanningTables(std::int32_t* tables, int side, int channels);

}  // namespace eri
