// A strict reader of the 32-bit TGA files our writer makes, so that tests can
// check run-length encoded output (Qt reads only uncompressed TGA).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tinta::test {

struct TgaPicture {
    int imageType = 0;  // 2 raw, 10 run-length encoded
    int width = 0;
    int height = 0;
    int descriptor = 0;
    // Blue, green, red, alpha per pixel, top row first whatever the file's
    // row order.
    std::vector<uint8_t> pixels;
    size_t pixelDataBytes = 0;  // bytes between the header and the rest
};

std::vector<uint8_t> ReadFileBytes(const std::string& path);

// The picture in the bytes of a 32-bit true-colour TGA file of type 2 or 10
// without ID field or colour map, stored left to right, or nothing when the
// bytes are not one.
// Run-length encoded data must keep every packet inside its row.
std::optional<TgaPicture> ReadTga(const std::vector<uint8_t>& bytes);

}  // namespace tinta::test
