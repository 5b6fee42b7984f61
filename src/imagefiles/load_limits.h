// How large a picture a load accepts. The limit is checked from the file's
// header before any pixel memory is taken, so that a small file describing a
// huge picture fails at once instead of taking gigabytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "workimage/work_image.h"

namespace tinta {

constexpr uint64_t kDefaultMaxPixels = uint64_t{1} << 28;
// No setting goes above what a work image can hold.
constexpr uint64_t kHardMaxPixels = static_cast<uint64_t>(kMaxWorkImagePixels);

struct LoadLimits {
    uint64_t maxPixels = kDefaultMaxPixels;
};

// The limit a load really applies: maxPixels, at least 1 and at most the hard limit.
uint64_t EffectiveMaxPixels(const LoadLimits& limits);

// A pixel limit written as decimal digits, from 1 to kHardMaxPixels;
// nothing for any other text.
std::optional<uint64_t> ParseMaxPixels(std::string_view text);

}  // namespace tinta
