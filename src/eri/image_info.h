// The 68-byte "ImageInf" record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace eri {

constexpr std::size_t kImageInfoSize = 68;

constexpr std::uint32_t kLosslessTransformation = 0x03020000;
constexpr std::uint32_t kLossyTransformation = 0x00000001;
constexpr std::int32_t kGammaArchitecture = -1;
constexpr std::int32_t kHuffmanArchitecture = -4;
constexpr std::int32_t kArithmeticArchitecture = 32;
constexpr std::uint32_t kColourFormat = 1;
constexpr std::uint32_t kGreyFormat = 2;
constexpr std::uint32_t kAlphaFormatBit = 0x04000000;

struct ImageInfo {
    std::uint32_t codingVersion = 0;
    std::uint32_t transformation = 0;
    std::int32_t architecture = 0;
    std::uint32_t formatType = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t samplingCode = 0;
    std::uint32_t blockingDegree = 0;
    // The record as stored, fields not interpreted included.
    std::uint8_t bytes[kImageInfoSize] = {};

    static ImageInfo fromBytes(const std::uint8_t (&record)[kImageInfoSize]);
};

std::uint32_t readLittleEndian32(const std::uint8_t* bytes);

}  // namespace eri
