// The optional pixel limit of the dialog's loads, kept in the same INI file
// as the folders: section [LIMITS], key MAX_PIXELS, a whole number of
// pixels. Absent or unusable values leave the default limit; values above
// the hard limit of a work image are held to it by the load.
#pragma once

#include <cstdint>
#include <optional>

namespace tinta {

// The MAX_PIXELS value of the [LIMITS] section when it is a whole number
// of at least 1; nothing otherwise.
std::optional<uint64_t> ReadMaxPixelsSetting();

}  // namespace tinta
