// Why an ERI file could not be loaded: one code per cause, each with a short
// text for the user's report, and the size limit a load applies.
#pragma once

#include <cstdint>

namespace eri {

enum class LoadError : int {
    none = 0,
    cannotOpen,                 // the file could not be opened or read
    notEri,                     // no ERI signature or record structure at the start
    unsupportedTransformation,  // a transformation this decoder does not know
    unsupportedArchitecture,    // a coding architecture this decoder does not know
    unsupportedFormat,          // a format type or depth this decoder does not know
    damagedRecords,             // the record structure is inconsistent
    dataEndedEarly,             // the frame data ends before the picture does
    damagedCodes,               // the coded data cannot be true picture data
    tooLarge,                   // more pixels than the load allows
    outOfMemory,                // memory for the picture could not be had
};

// A short Japanese text for the report; never null.
const char* loadErrorText(LoadError error);

// Default pixel limit of a load, checked from the header before any pixel
// memory is taken, and the hard limit no setting can exceed.
constexpr std::uint64_t kDefaultMaxPixels = std::uint64_t{1} << 28;
constexpr std::uint64_t kHardMaxPixels = std::uint64_t{1} << 30;

struct LoadOptions {
    std::uint64_t maxPixels = kDefaultMaxPixels;
};

// What a failed load tells besides its cause: the picture's size, once the
// image information was read (zero before that), so that a refusal can
// name it.
struct LoadFailure {
    LoadError error = LoadError::none;
    std::uint64_t width = 0;
    std::uint64_t height = 0;
};

}  // namespace eri
