#include "load_limits.h"

#include <algorithm>

namespace tinta {

uint64_t EffectiveMaxPixels(const LoadLimits& limits) {
    return std::clamp<uint64_t>(limits.maxPixels, 1, kHardMaxPixels);
}

std::optional<uint64_t> ParseMaxPixels(std::string_view text) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value < 1 || value > kHardMaxPixels) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tinta
