#include "eri/core/processor_features.h"

#include <gtest/gtest.h>

#include <cfenv>

namespace {

constexpr std::uint32_t kMmx = 1u << 23;
constexpr std::uint32_t kSse = 1u << 25;
constexpr std::uint32_t kSse2 = 1u << 26;
constexpr std::uint32_t kOsSavesRegisters = 1u << 27;
constexpr std::uint32_t kAvx = 1u << 28;
constexpr std::uint32_t kAvx2 = 1u << 5;

// What a current processor of any make reports: SSE2, and AVX2 when asked.
eri::ProcessorIdentification modernProcessor(bool avx2, bool osSavesAvx) {
    eri::ProcessorIdentification id;
    id.maxStandardFunction = 16;
    id.function1Edx = kMmx | kSse | kSse2;
    id.function1Ecx = avx2 ? kAvx | kOsSavesRegisters : 0;
    id.function7Ebx = avx2 ? kAvx2 : 0;
    id.enabledRegisterState = osSavesAvx ? 0x7 : 0x3;
    return id;
}

TEST(ProcessorFeatures, SimdPathsFollowTheFeatureBitsAlone) {
    constexpr std::uint32_t both = eri::kIntegerSimd | eri::kFloatSimd;
    EXPECT_EQ(eri::featuresFromIdentification(modernProcessor(false, false)), both);
    EXPECT_EQ(eri::featuresFromIdentification(modernProcessor(true, true)),
              both | eri::kWideFloatSimd);
    // AVX2 whose registers the operating system does not save stays unused.
    EXPECT_EQ(eri::featuresFromIdentification(modernProcessor(true, false)), both);
    eri::ProcessorIdentification noXgetbv = modernProcessor(true, true);
    noXgetbv.function1Ecx &= ~kOsSavesRegisters;
    EXPECT_EQ(eri::featuresFromIdentification(noXgetbv), both);
    // Function 7 words mean nothing on a processor that does not have it.
    eri::ProcessorIdentification old = modernProcessor(true, true);
    old.maxStandardFunction = 6;
    EXPECT_EQ(eri::featuresFromIdentification(old), both);
}

TEST(ProcessorFeatures, MissingUnitsGiveThePlainPaths) {
    eri::ProcessorIdentification id = modernProcessor(true, true);
    id.function1Edx = kMmx | kSse;  // no SSE2: no float kernels, and so no wide ones
    EXPECT_EQ(eri::featuresFromIdentification(id), eri::kIntegerSimd);
    id.maxStandardFunction = 0;
    EXPECT_EQ(eri::featuresFromIdentification(id), 0u);
}

#if defined(__x86_64__)
TEST(ProcessorFeatures, EveryX86_64ProcessorGetsTheFloatPaths) {
    eri::initializeDecodingCore();
    EXPECT_NE(eri::processorFeatures & eri::kFloatSimd, 0u);
}
#endif

TEST(ProcessorFeatures, ForcingAndClearingChangeOnlyTheirBits) {
    const std::uint32_t saved = eri::processorFeatures;
    eri::processorFeatures = eri::kFloatSimd;
    eri::detectProcessorFeatures(1);
    EXPECT_EQ(eri::processorFeatures, eri::kFloatSimd | eri::kIntegerSimd);
    eri::clearProcessorFeatures(eri::kFloatSimd);
    EXPECT_EQ(eri::processorFeatures, eri::kIntegerSimd);
    eri::processorFeatures = saved;
}

TEST(ProcessorFeatures, ResetRestoresRoundToNearest) {
    std::fesetround(FE_UPWARD);
    eri::resetFloatingPointState();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
    eri::initializeDecodingCore();
    eri::initializeDecodingCore();
    EXPECT_EQ(std::fegetround(), FE_TONEAREST);
}

}  // namespace
