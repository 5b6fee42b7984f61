#include "eri/arrangement_tables.h"

#include <algorithm>

namespace eri {
namespace {

// Diagonal sums in coding order: 0, 2, .., 2S - 2, then 1, 3, .., 2S - 3.
template <typename Visit>
void forEachDiagonal(int side, Visit visit) {
    for (int k = 0; k <= 2 * side - 2; k += 2) {
        visit(k);
    }
    for (int k = 1; k <= 2 * side - 3; k += 2) {
        visit(k);
    }
}

}  // namespace

void buildPerPlaneTables(std::int32_t* tables, int side) {
    const int area = side * side;
    std::int32_t* byRows = tables;
    std::int32_t* byColumns = tables + area;
    std::int32_t* byAntiDiagonals = tables + 2 * area;
    std::int32_t* byDiagonals = tables + 3 * area;
    int i = 0;
    for (int parity = 0; parity < 2; ++parity) {
        for (int y = parity; y < side; y += 2) {
            for (int x = 0; x < side; ++x) {
                byRows[i++] = y * side + x;
            }
        }
    }
    i = 0;
    for (int parity = 0; parity < 2; ++parity) {
        for (int x = parity; x < side; x += 2) {
            for (int y = 0; y < side; ++y) {
                byColumns[i++] = y * side + x;
            }
        }
    }
    i = 0;
    forEachDiagonal(side, [&](int k) {
        for (int x = std::min(k, side - 1); x >= 0 && k - x < side; --x) {
            byAntiDiagonals[i++] = (k - x) * side + x;
        }
    });
    i = 0;
    forEachDiagonal(side, [&](int k) {
        for (int n = std::min(k, side - 1); n >= 0 && k - n < side; --n) {
            byDiagonals[i++] = (side - 1 - n) * side + (k - n);
        }
    });
}

void buildChannelSpanningTables(std::int32_t* tables, int side, int channels) {
    const int area = side * side;
    const int count = area * channels;
    std::int32_t* identity = tables;
    std::int32_t* planeColumns = tables + count;
    std::int32_t* positions = tables + 2 * count;
    std::int32_t* columnPositions = tables + 3 * count;
    for (int i = 0; i < count; ++i) {
        identity[i] = i;
    }
    int i = 0;
    for (int p = 0; p < channels; ++p) {
        for (int x = 0; x < side; ++x) {
            for (int y = 0; y < side; ++y) {
                planeColumns[i++] = p * area + y * side + x;
            }
        }
    }
    i = 0;
    for (int position = 0; position < area; ++position) {
        for (int p = 0; p < channels; ++p) {
            positions[i++] = p * area + position;
        }
    }
    i = 0;
    for (int x = 0; x < side; ++x) {
        for (int y = 0; y < side; ++y) {
            for (int p = 0; p < channels; ++p) {
                columnPositions[i++] = p * area + y * side + x;
            }
        }
    }
}

}  // namespace eri
