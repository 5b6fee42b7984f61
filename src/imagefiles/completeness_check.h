// Some of Qt's decoders hand back a picture from a file that ends too early
// (JPEG, BMP), filling the missing part with grey or leftovers, or do not
// notice a lost end (PNG). A damaged file
// must fail instead, so the bytes are checked before they are decoded.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tinta {

// False when the bytes start like a JPEG whose segments do not lead to an
// end-of-image marker after its scans, like a PNG without a whole end chunk, or like a BMP whose
// pixel rows reach past the end. Other data passes: their decoders report damage themselves.
bool LooksComplete(const uint8_t* data, size_t size);

}  // namespace tinta
