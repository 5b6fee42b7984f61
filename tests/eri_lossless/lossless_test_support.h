// Pictures, ERI files and the packed DIBs they must load as.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "eri/image_info.h"
#include "eriwriter/lossless_encoder.h"

namespace eritest {

using eriwriter::losslessImageInfo;

constexpr std::uint32_t kColour = 1;
constexpr std::uint32_t kGrey = 2;
constexpr std::uint32_t kColourAlpha = 0x04000001;

enum class PictureKind { random, smooth };

// Samples of `planes` planes with `sampleBits` bits each.
eriwriter::PlanePicture makePicture(std::int32_t width, std::int32_t height, int planes,
                                    int sampleBits, PictureKind kind, std::uint32_t seed);

// The DIB that loadEriImage must give for a picture stored with `info`
// (lines of `picture` in decoded order). `palette` is the colour table of
// non-grey 8-bit pictures (null: all zero).
std::vector<std::uint8_t> expectedDib(const eri::ImageInfo& info,
                                      const eriwriter::PlanePicture& picture,
                                      const std::vector<std::uint8_t>* palette = nullptr);

// Writes the bytes to a file in the test's temporary folder and loads it
// with loadEriImage; nullopt when the loader fails.
std::optional<std::vector<std::uint8_t>> loadBytes(const std::vector<std::uint8_t>& file);

std::string temporaryPath(const std::string& name);
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace eritest
