#include "eriwriter/gamma_run_encoder.h"

namespace eriwriter {

void encodeGammaRuns(BitWriter& out, std::span<const std::int32_t> values) {
    out.putBit(!values.empty() && values[0] != 0 ? 1 : 0);
    std::size_t i = 0;
    while (i < values.size()) {
        const bool zeros = values[i] == 0;
        std::size_t end = i;
        while (end < values.size() && (values[end] == 0) == zeros) {
            ++end;
        }
        out.putGamma(static_cast<std::uint32_t>(end - i));
        if (!zeros) {
            for (std::size_t k = i; k < end; ++k) {
                const std::int32_t v = values[k];
                const auto magnitude =
                    v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
                out.putBit(v < 0 ? 1 : 0);
                out.putGamma(magnitude);
            }
        }
        i = end;
    }
}

}  // namespace eriwriter
