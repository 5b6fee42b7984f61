// The order in which a lossy frame stores a block's coefficients.
#pragma once

#include <cstdint>

namespace eri {

// Entry p: the natural position (row * side + column) of zigzag position p.
// The order runs along the anti-diagonals, down-left on odd ones and up-right
// on even ones.
constexpr void buildZigzagTable(std::int32_t* table, std::int32_t side) {
    std::int32_t p = 0;
    for (std::int32_t diagonal = 0; diagonal < 2 * side - 1; ++diagonal) {
        const std::int32_t top = diagonal < side ? 0 : diagonal - side + 1;
        const std::int32_t bottom = diagonal < side ? diagonal : side - 1;
        for (std::int32_t i = 0; i <= bottom - top; ++i) {
            const std::int32_t row = diagonal % 2 == 0 ? bottom - i : top + i;
            table[p++] = row * side + (diagonal - row);
        }
    }
}

}  // namespace eri
