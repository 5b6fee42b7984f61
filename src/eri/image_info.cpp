#include "eri/image_info.h"

#include <cstring>

namespace eri {

std::uint32_t readLittleEndian32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

ImageInfo ImageInfo::fromBytes(const std::uint8_t (&record)[kImageInfoSize]) {
    ImageInfo info;
    std::memcpy(info.bytes, record, kImageInfoSize);
    info.codingVersion = readLittleEndian32(record + 0);
    info.transformation = readLittleEndian32(record + 4);
    info.architecture = static_cast<std::int32_t>(readLittleEndian32(record + 8));
    info.formatType = readLittleEndian32(record + 12);
    info.width = static_cast<std::int32_t>(readLittleEndian32(record + 16));
    info.height = static_cast<std::int32_t>(readLittleEndian32(record + 20));
    info.bitsPerPixel = readLittleEndian32(record + 24);
    info.samplingCode = readLittleEndian32(record + 32);
    info.blockingDegree = readLittleEndian32(record + 52);
    return info;
}

}  // namespace eri
