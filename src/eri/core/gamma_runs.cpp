#include "eri/core/bit_input.h"
#include "eri/core/gamma_reader.h"

namespace eri {

std::uint32_t BitInput::decodeGammaRuns(std::int32_t* out, std::uint32_t count) {
    detail::GammaReader reader(*this);
    const std::uint32_t stored = detail::readGammaRuns(*this, reader, out, count);
    reader.save();
    return stored;
}

}  // namespace eri
