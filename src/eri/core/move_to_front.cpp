#include <algorithm>
#include <cstring>

#include "eri/core/bit_cursor.h"
#include "eri/core/bit_input.h"

namespace eri {
namespace {

constexpr std::size_t kTableCount = 257;
constexpr std::size_t kStartTable = 256;

}  // namespace

bool BitInput::initMoveToFront() {
    if (!mtfTables_) {
        mtfTables_ = allocateBlockOf<std::uint8_t>(kTableCount * 256);
        if (!mtfTables_) {
            return false;
        }
    }
    for (std::size_t t = 0; t < kTableCount; ++t) {
        for (int i = 0; i < 256; ++i) {
            mtfTables_.get()[t * 256 + i] = static_cast<std::uint8_t>(i);
        }
    }
    return true;
}

std::uint32_t BitInput::decodeMtfBytes(std::uint8_t* out, std::uint32_t count) {
    if (!mtfTables_) {
        return 0;
    }
    detail::BitCursor cursor(*this);
    std::uint8_t* const tables = mtfTables_.get();
    std::uint8_t* table = tables + kStartTable * 256;
    int previous = -1;
    std::uint32_t stored = 0;
    std::uint32_t gamma = 0;
    while (stored < count) {
        if (!cursor.takeGamma(gamma) || gamma > 256) {
            break;
        }
        const std::uint32_t index = gamma - 1;
        const std::uint8_t byte = table[index];
        std::memmove(table + 1, table, index);
        table[0] = byte;
        out[stored++] = byte;
        if (byte == previous) {
            if (!cursor.takeGamma(gamma)) {
                break;
            }
            const std::uint32_t repeats = std::min(gamma - 1, count - stored);
            std::memset(out + stored, byte, repeats);
            stored += repeats;
        } else {
            table = tables + std::size_t{byte} * 256;
            previous = byte;
        }
    }
    cursor.save();
    return stored;
}

}  // namespace eri
