#include "eri/core/bit_input.h"
#include "eri/core/gamma_reader.h"

namespace eri {

bool BitInput::decodeMacroblockHead(std::int32_t* dc, std::uint32_t dcCount, HuffmanTree& codeTree,
                                    std::uint8_t* codes, std::uint32_t codeCount) {
    detail::GammaReader reader(*this);
    // As startRunCodes, which leaves a run of values when the data has ended.
    runLength = 0;
    runIsNonZero = 1;
    bool complete = reader.takeRunKind(runIsNonZero) &&
                    detail::readGammaRuns(*this, reader, dc, dcCount) == dcCount;
    for (std::uint32_t i = 0; complete && i < codeCount; ++i) {
        std::uint32_t symbol = 0;
        complete = reader.takeSymbol(codeTree, symbol);
        codes[i] = static_cast<std::uint8_t>(symbol);
    }
    reader.save();
    return complete;
}

}  // namespace eri
