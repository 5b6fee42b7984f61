#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "eriwriter/bit_writer.h"

namespace eriwriter {

// Move-to-front coding of byte rows with the same 257 tables as the decoder:
// each row starts in table 256; a byte equal to the one before it is followed
// by a gamma code of 1 + the repeats that follow in the row.
class MtfEncoder {
  public:
    MtfEncoder();
    void encodeRow(BitWriter& out, std::span<const std::uint8_t> row);

  private:
    std::vector<std::uint8_t> tables_;
};

}  // namespace eriwriter
