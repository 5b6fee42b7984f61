// Runs a test body with the float SIMD paths switched on or off, restoring
// the process-wide flag word afterwards.
#pragma once

#include <cstdint>

#include "eri/core/processor_features.h"

namespace lossytest {

class ScopedFloatSimd {
  public:
    explicit ScopedFloatSimd(bool on) : saved_(eri::processorFeatures) {
        eri::initializeDecodingCore();
        if (on) {
            eri::processorFeatures |= eri::kFloatSimd;
        } else {
            eri::clearProcessorFeatures(eri::kFloatSimd);
        }
    }
    ~ScopedFloatSimd() { eri::processorFeatures = saved_; }
    ScopedFloatSimd(const ScopedFloatSimd&) = delete;
    ScopedFloatSimd& operator=(const ScopedFloatSimd&) = delete;

  private:
    std::uint32_t saved_;
};

}  // namespace lossytest
