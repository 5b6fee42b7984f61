#pragma once

#include <cstdint>
#include <string>

namespace eri {

// UTF-8 text of `unitCount` little-endian UTF-16 code units, up to the first
// zero unit. Unpaired surrogates become U+FFFD.
std::string utf16LittleEndianToUtf8(const std::uint8_t* bytes, std::size_t unitCount);

}  // namespace eri
