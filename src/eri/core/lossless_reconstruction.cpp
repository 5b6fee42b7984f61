#include "eri/core/lossless_reconstruction.h"

#include <cstring>

#include "eri/core/block_reconstruction.h"

namespace eri {
namespace {

constexpr int kPairOperations[10] = {0, 5, 6, 7, 9, 10, 11, 13, 14, 15};

// Wrapping 32-bit addition without signed overflow.
inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void addPlane(std::int32_t* target, const std::int32_t* source, int area) {
    for (int i = 0; i < area; ++i) {
        target[i] = wrappingAdd(target[i], source[i]);
    }
}

void addTwoPlanes(std::int32_t* first, std::int32_t* second, const std::int32_t* source, int area) {
    for (int i = 0; i < area; ++i) {
        first[i] = wrappingAdd(first[i], source[i]);
        second[i] = wrappingAdd(second[i], source[i]);
    }
}

}  // namespace

OperationPair operationPair(int code) {
    return OperationPair{kPairOperations[code % 10], code / 10};
}

void applyChannelOperation(int index, std::int32_t* block, int area) {
    // Bits 2-3 name the source plane (1..3 = P0..P2), bits 0-1 the targets
    // among the other two planes (1 the first, 2 the second, 3 both).
    const int source = (index >> 2) & 3;
    const int targets = index & 3;
    if (source == 0 || targets == 0) {
        return;
    }
    std::int32_t* planes[3] = {block, block + area, block + 2 * area};
    std::int32_t* const from = planes[source - 1];
    std::int32_t* others[2];
    int n = 0;
    for (int p = 0; p < 3; ++p) {
        if (p != source - 1) {
            others[n++] = planes[p];
        }
    }
    if (targets == 3) {
        addTwoPlanes(others[0], others[1], from, area);
    } else {
        addPlane(others[targets - 1], from, area);
    }
}

void scatter(std::int32_t* block, const std::int32_t* values, const std::int32_t* table,
             int count) {
    for (int i = 0; i < count; ++i) {
        block[table[i]] = values[i];
    }
}

void integrateRows(std::int32_t* block, std::int32_t* rowCarries, int rowCount, int side) {
    for (int r = 0; r < rowCount; ++r) {
        std::int32_t* row = block + r * side;
        std::int32_t sum = rowCarries[r];
        for (int x = 0; x < side; ++x) {
            sum = wrappingAdd(sum, row[x]);
            row[x] = sum;
        }
        rowCarries[r] = sum;
    }
}

void carryRowEnds(const std::int32_t* block, std::int32_t* rowCarries, int rowCount, int side) {
    for (int r = 0; r < rowCount; ++r) {
        rowCarries[r] = block[r * side + side - 1];
    }
}

void integrateColumns(std::int32_t* block, std::int32_t* lineSegments, int planes, int side) {
    for (int p = 0; p < planes; ++p) {
        std::int32_t* plane = block + p * side * side;
        std::int32_t* segment = lineSegments + p * side;
        for (int x = 0; x < side; ++x) {
            plane[x] = wrappingAdd(plane[x], segment[x]);
        }
        for (int y = 1; y < side; ++y) {
            std::int32_t* row = plane + y * side;
            const std::int32_t* above = row - side;
            for (int x = 0; x < side; ++x) {
                row[x] = wrappingAdd(row[x], above[x]);
            }
        }
        std::memcpy(segment, plane + (side - 1) * side, sizeof(std::int32_t) * side);
    }
}

void reconstructHuffmanBlock(const LosslessBlock& block, std::uint32_t code,
                             std::int32_t*& lineCursor) {
    const int count = block.side * block.side * block.channels;
    const int tableIndex = static_cast<int>((code >> 4) & 3);
    // Table 1 is the identity: the values are the block as they stand.
    const std::int32_t* differences = block.symbols;
    if (tableIndex != 0) {
        scatter(block.samples, block.symbols, block.tables[tableIndex], count);
        differences = block.samples;
    }
    const BlockPass pass{differences, block.samples, block.rowCarries,
                         lineCursor,  block.side,    block.channels};
    reconstructBlock(pass, static_cast<int>(code & 15), (code & 0x40) != 0);
    lineCursor += block.side * block.channels;
}

}  // namespace eri
