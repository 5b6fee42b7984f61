#include "eri/core/processor_features.h"

#include <cfenv>
#include <mutex>

#include "eri/core/cosine_tables.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <xmmintrin.h>
#define ERI_X86 1
#endif

namespace eri {

std::uint32_t processorFeatures = 0;

#ifdef ERI_X86
namespace {

// XGETBV with ECX = 0, by its encoding: no compiler flag needed.
std::uint64_t readEnabledRegisterState() {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(low), "=d"(high) : "c"(0));
    return std::uint64_t{high} << 32 | low;
}

}  // namespace
#endif

namespace {

constexpr std::uint32_t kMmxBit = 1u << 23;      // function 1, EDX
constexpr std::uint32_t kSseBit = 1u << 25;      // function 1, EDX
constexpr std::uint32_t kSse2Bit = 1u << 26;     // function 1, EDX
constexpr std::uint32_t kOsxsaveBit = 1u << 27;  // function 1, ECX: XGETBV usable
constexpr std::uint32_t kAvxBit = 1u << 28;      // function 1, ECX
constexpr std::uint32_t kAvx2Bit = 1u << 5;      // function 7, EBX
// XCR0: the SSE and AVX register halves are saved on context switches.
constexpr std::uint64_t kVectorRegisterState = 0x6;

}  // namespace

std::uint32_t featuresFromIdentification(const ProcessorIdentification& id) {
    if (id.maxStandardFunction < 1) {
        return 0;
    }
    std::uint32_t features = 0;
    if ((id.function1Edx & kMmxBit) != 0) {
        features |= kIntegerSimd;
    }
    const std::uint32_t sse = kSseBit | kSse2Bit;
    if ((id.function1Edx & sse) != sse) {
        return features;
    }
    features |= kFloatSimd;
    const bool osSavesVectors =
        (id.function1Ecx & kOsxsaveBit) != 0 && (id.function1Ecx & kAvxBit) != 0 &&
        (id.enabledRegisterState & kVectorRegisterState) == kVectorRegisterState;
    if (id.maxStandardFunction >= 7 && (id.function7Ebx & kAvx2Bit) != 0 && osSavesVectors) {
        features |= kWideFloatSimd;
    }
    return features;
}

void detectProcessorFeatures(int forceIntegerSimd) {
    if (forceIntegerSimd != 0) {
        processorFeatures |= kIntegerSimd;
        return;
    }
    processorFeatures = 0;
#ifdef ERI_X86
    // Every processor this builds for has the identification instruction, so
    // the flag-toggling probe and the fault guard are not needed.
    ProcessorIdentification id;
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0) {
        return;
    }
    id.maxStandardFunction = eax;
    if (id.maxStandardFunction >= 1 && __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        id.function1Ecx = ecx;
        id.function1Edx = edx;
    }
    if (id.maxStandardFunction >= 7 && __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0) {
        id.function7Ebx = ebx;
    }
    if ((id.function1Ecx & kOsxsaveBit) != 0) {
        id.enabledRegisterState = readEnabledRegisterState();
    }
    processorFeatures = featuresFromIdentification(id);
#endif
}

void clearProcessorFeatures(std::uint32_t mask) {
    processorFeatures &= ~mask;
}

void resetFloatingPointState() {
    // Clears the status flags and masks every exception, then rounds to nearest.
    std::fenv_t previous;
    std::feholdexcept(&previous);
    std::fesetround(FE_TONEAREST);
#ifdef ERI_X86
    if ((processorFeatures & kFloatSimd) != 0) {
        constexpr unsigned int kRoundingField = 0x6000;
        _mm_setcsr(_mm_getcsr() & ~kRoundingField);
    }
#endif
}

void initializeDecodingCore() {
    static std::once_flag once;
    std::call_once(once, [] {
        detectProcessorFeatures(0);
        resetFloatingPointState();
        buildCosineTables();
    });
}

}  // namespace eri
