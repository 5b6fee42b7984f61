#pragma once

#include <cstdint>
#include <span>

#include "eriwriter/bit_writer.h"

namespace eriwriter {

// One run-code sequence as decodeGammaRuns reads it after startRunCodes: the
// kind of the first run as one bit, then alternating zero runs and value runs,
// each a gamma length followed (for value runs) by a sign bit and a gamma
// magnitude per value. Maximal runs; an empty sequence writes the start bit only.
void encodeGammaRuns(BitWriter& out, std::span<const std::int32_t> values);

}  // namespace eriwriter
