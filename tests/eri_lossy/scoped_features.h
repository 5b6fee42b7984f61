// Runs a test body with the float SIMD paths switched on or off, restoring
// the process-wide flag word afterwards.
#pragma once

#include <cstdint>

#include "eri/core/processor_features.h"

namespace lossytest {

class ScopedFloatSimd {
  public:
    // With `on`, the SIMD paths the processor has; `wide` false keeps to the
    // SSE2 build where AVX2 would be taken.
    explicit ScopedFloatSimd(bool on, bool wide = true) : saved_(detectedFeatures()) {
        if (on) {
            eri::processorFeatures |= eri::kFloatSimd;
            if (!wide) {
                eri::processorFeatures &= ~eri::kWideFloatSimd;
            }
        } else {
            eri::clearProcessorFeatures(eri::kFloatSimd);
        }
    }
    ~ScopedFloatSimd() { eri::processorFeatures = saved_; }
    ScopedFloatSimd(const ScopedFloatSimd&) = delete;
    ScopedFloatSimd& operator=(const ScopedFloatSimd&) = delete;

  private:
    // Detection runs once per process: the word is saved after it, so that
    // restoring it never leaves the detected paths switched off.
    static std::uint32_t detectedFeatures() {
        eri::initializeDecodingCore();
        return eri::processorFeatures;
    }

    std::uint32_t saved_;
};

}  // namespace lossytest
