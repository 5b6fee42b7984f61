// The order in which a lossy frame stores a block's coefficients.
#pragma once

#include <cstdint>

namespace eri {

// Entry p: the natural position (row * side + column) of zigzag position p.
constexpr void buildZigzagTable(std::int32_t* table, std::int32_t side) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t p = 0;
    const std::int32_t area = side * side;
    table[p++] = 0;
    while (p < area) {
        // Step right (down at the right edge), then walk down-left.
        if (x + 1 < side) {
            ++x;
        } else {
            ++y;
        }
        table[p++] = y * side + x;
        while (x > 0 && y + 1 < side) {
            --x;
            ++y;
            table[p++] = y * side + x;
        }
        if (p >= area) {
            break;
        }
        // Step down (right at the bottom edge), then walk up-right.
        if (y + 1 < side) {
            ++y;
        } else {
            ++x;
        }
        table[p++] = y * side + x;
        while (y > 0 && x + 1 < side) {
            ++x;
            --y;
            table[p++] = y * side + x;
        }
    }
}

}  // namespace eri
