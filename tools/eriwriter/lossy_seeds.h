// Small lossy ERI files of every kind the decoder accepts: the lossy part of
// the fuzz target's seed corpus.
#pragma once

#include <cstdint>
#include <vector>

namespace eriwriter {

std::vector<std::vector<std::uint8_t>> lossySeedFiles();

}  // namespace eriwriter
