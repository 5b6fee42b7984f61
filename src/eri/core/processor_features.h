// Choice between the plain and the SIMD kernel paths, made once per process.
#pragma once

#include <cstdint>

namespace eri {

// Integer SIMD: registers holding two 32-bit lanes.
constexpr std::uint32_t kIntegerSimd = 2;
// Float SIMD: registers holding four 32-bit floats, with cache hints.
constexpr std::uint32_t kFloatSimd = 8;

// Process-wide flag word read by every kernel; 0 until detection runs.
extern std::uint32_t processorFeatures;

// Features granted by the identification results: only GenuineIntel processors
// with at least function 1 get any; MMX (bit 23) gives kIntegerSimd, SSE (bit 25) kFloatSimd.
std::uint32_t featuresFromIdentification(std::uint32_t maxStandardFunction, const char* vendor12,
                                         std::uint32_t featureFlags);

// Fills processorFeatures. A non-zero `forceIntegerSimd` only sets kIntegerSimd.
void detectProcessorFeatures(int forceIntegerSimd);

void clearProcessorFeatures(std::uint32_t mask);

// Round to nearest (ties to even) for scalar floats, and for the SIMD unit when
// kFloatSimd is set, leaving its other control bits alone.
void resetFloatingPointState();

// One-time set-up of the decoding core; safe to call from any thread, any number of times.
void initializeDecodingCore();

}  // namespace eri
