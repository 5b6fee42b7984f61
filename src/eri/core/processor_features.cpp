#include "eri/core/processor_features.h"

#include <cfenv>
#include <cstring>
#include <mutex>

#include "eri/core/cosine_tables.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <xmmintrin.h>
#define ERI_X86 1
#endif

namespace eri {

std::uint32_t processorFeatures = 0;

std::uint32_t featuresFromIdentification(std::uint32_t maxStandardFunction, const char* vendor12,
                                         std::uint32_t featureFlags) {
    if (maxStandardFunction < 1 || std::memcmp(vendor12, "GenuineIntel", 12) != 0) {
        return 0;
    }
    std::uint32_t features = 0;
    if ((featureFlags & (1u << 23)) != 0) {
        features |= kIntegerSimd;
    }
    if ((featureFlags & (1u << 25)) != 0) {
        features |= kFloatSimd;
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
    unsigned int maxFunction = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &maxFunction, &ebx, &ecx, &edx) == 0) {
        return;
    }
    char vendor[12];
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    unsigned int eax = 0;
    edx = 0;
    if (maxFunction >= 1) {
        __get_cpuid(1, &eax, &ebx, &ecx, &edx);
    }
    processorFeatures = featuresFromIdentification(maxFunction, vendor, edx);
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
