#include "support/tga_reader.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace tinta::test {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr size_t kPixelSize = 4;

unsigned ReadLittleEndian16(const uint8_t* at) {
    return at[0] | unsigned{at[1]} << 8;
}

// Decodes one row of run-length packets starting at offset; false when the
// data ends early or a packet crosses the end of the row.
bool DecodeRow(const std::vector<uint8_t>& bytes, size_t& offset, uint8_t* row, size_t width) {
    size_t filled = 0;
    while (filled < width) {
        if (offset >= bytes.size()) {
            return false;
        }
        const uint8_t packet = bytes[offset++];
        const size_t count = (packet & 0x7F) + 1u;
        if (count > width - filled) {
            return false;
        }
        const bool run = (packet & 0x80) != 0;
        const size_t dataBytes = run ? kPixelSize : count * kPixelSize;
        if (bytes.size() - offset < dataBytes) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            const size_t source = offset + (run ? 0 : i * kPixelSize);
            std::memcpy(row + (filled + i) * kPixelSize, &bytes[source], kPixelSize);
        }
        offset += dataBytes;
        filled += count;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::optional<TgaPicture> ReadTga(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < kHeaderSize) {
        return std::nullopt;
    }
    TgaPicture picture;
    picture.imageType = bytes[2];
    picture.width = static_cast<int>(ReadLittleEndian16(&bytes[12]));
    picture.height = static_cast<int>(ReadLittleEndian16(&bytes[14]));
    picture.descriptor = bytes[17];
    const bool known = bytes[0] == 0 && bytes[1] == 0 && bytes[16] == 32 &&
                       (picture.imageType == 2 || picture.imageType == 10);
    // Our writer never stores rows right to left; such a file is refused.
    if (!known || picture.width == 0 || picture.height == 0 || (picture.descriptor & 0x10) != 0) {
        return std::nullopt;
    }
    const auto width = static_cast<size_t>(picture.width);
    const auto height = static_cast<size_t>(picture.height);
    const size_t rowBytes = width * kPixelSize;
    picture.pixels.resize(rowBytes * height);
    const bool topRowFirst = (picture.descriptor & 0x20) != 0;
    size_t offset = kHeaderSize;
    for (size_t stored = 0; stored < height; ++stored) {
        const size_t y = topRowFirst ? stored : height - 1 - stored;
        uint8_t* row = &picture.pixels[y * rowBytes];
        if (picture.imageType == 10) {
            if (!DecodeRow(bytes, offset, row, width)) {
                return std::nullopt;
            }
            continue;
        }
        if (bytes.size() - offset < rowBytes) {
            return std::nullopt;
        }
        std::memcpy(row, &bytes[offset], rowBytes);
        offset += rowBytes;
    }
    picture.pixelDataBytes = offset - kHeaderSize;
    return picture;
}

}  // namespace tinta::test
