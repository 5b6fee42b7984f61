// Choice between the plain and the SIMD kernel paths, made once per process.
#pragma once

#include <cstdint>

namespace eri {

// Integer SIMD: registers holding two 32-bit lanes.
constexpr std::uint32_t kIntegerSimd = 2;
// Float SIMD: registers holding four 32-bit floats, with cache hints.
constexpr std::uint32_t kFloatSimd = 8;
// Wide float SIMD (AVX2): eight lanes, used by the fused lossy kernels only
// together with kFloatSimd, so clearing kFloatSimd switches both off.
constexpr std::uint32_t kWideFloatSimd = 0x20;

// Process-wide flag word read by every kernel; 0 until detection runs.
extern std::uint32_t processorFeatures;

// The words the processor identification reports, as far as the paths need
// them. Paths follow the feature bits alone, whoever made the processor.
struct ProcessorIdentification {
    std::uint32_t maxStandardFunction = 0;
    std::uint32_t function1Ecx = 0;
    std::uint32_t function1Edx = 0;
    // Function 7, sub-function 0; meaningful only when maxStandardFunction >= 7.
    std::uint32_t function7Ebx = 0;
    // Register state the operating system saves (XCR0); meaningful only when
    // function 1 reports that the OS enabled XGETBV.
    std::uint64_t enabledRegisterState = 0;
};

// MMX gives kIntegerSimd; SSE with SSE2 gives kFloatSimd; AVX2, with AVX
// register state saved by the operating system, adds kWideFloatSimd.
std::uint32_t featuresFromIdentification(const ProcessorIdentification& id);

// Fills processorFeatures. A non-zero `forceIntegerSimd` only sets kIntegerSimd.
void detectProcessorFeatures(int forceIntegerSimd);

void clearProcessorFeatures(std::uint32_t mask);

// Round to nearest (ties to even) for scalar floats, and for the SIMD unit when
// kFloatSimd is set, leaving its other control bits alone.
void resetFloatingPointState();

// One-time set-up of the decoding core; safe to call from any thread, any number of times.
void initializeDecodingCore();

}  // namespace eri
