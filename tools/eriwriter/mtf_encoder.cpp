#include "eriwriter/mtf_encoder.h"

#include <algorithm>
#include <cstring>

namespace eriwriter {

MtfEncoder::MtfEncoder() : tables_(257 * 256) {
    for (std::size_t t = 0; t < 257; ++t) {
        for (int i = 0; i < 256; ++i) {
            tables_[t * 256 + i] = static_cast<std::uint8_t>(i);
        }
    }
}

void MtfEncoder::encodeRow(BitWriter& out, std::span<const std::uint8_t> row) {
    std::uint8_t* table = tables_.data() + 256 * 256;
    int previous = -1;
    std::size_t p = 0;
    while (p < row.size()) {
        const std::uint8_t byte = row[p];
        const auto index = static_cast<std::size_t>(std::find(table, table + 256, byte) - table);
        out.putGamma(static_cast<std::uint32_t>(index + 1));
        std::memmove(table + 1, table, index);
        table[0] = byte;
        ++p;
        if (byte == previous) {
            std::size_t repeats = 0;
            while (p + repeats < row.size() && row[p + repeats] == byte) {
                ++repeats;
            }
            out.putGamma(static_cast<std::uint32_t>(repeats + 1));
            p += repeats;
        } else {
            table = tables_.data() + std::size_t{byte} * 256;
            previous = byte;
        }
    }
}

}  // namespace eriwriter
