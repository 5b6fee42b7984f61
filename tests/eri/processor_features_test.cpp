#include "eri/core/processor_features.h"

#include <gtest/gtest.h>

#include <cfenv>

namespace {

constexpr std::uint32_t kMmxAndSse = (1u << 23) | (1u << 25);

TEST(ProcessorFeatures, OnlyGenuineIntelGetsSimdPaths) {
    EXPECT_EQ(eri::featuresFromIdentification(1, "GenuineIntel", kMmxAndSse), 10u);
    EXPECT_EQ(eri::featuresFromIdentification(13, "GenuineIntel", 1u << 23), 2u);
    EXPECT_EQ(eri::featuresFromIdentification(13, "AuthenticAMD", kMmxAndSse), 0u);
    EXPECT_EQ(eri::featuresFromIdentification(0, "GenuineIntel", kMmxAndSse), 0u);
}

TEST(ProcessorFeatures, ForcingSetsOnlyTheIntegerBit) {
    const std::uint32_t saved = eri::processorFeatures;
    eri::processorFeatures = eri::kFloatSimd;
    eri::detectProcessorFeatures(1);
    EXPECT_EQ(eri::processorFeatures, eri::kFloatSimd | eri::kIntegerSimd);
    eri::clearProcessorFeatures(eri::kFloatSimd);
    EXPECT_EQ(eri::processorFeatures, eri::kIntegerSimd);
    eri::detectProcessorFeatures(0);
    EXPECT_EQ(eri::processorFeatures & ~(eri::kIntegerSimd | eri::kFloatSimd), 0u);
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
