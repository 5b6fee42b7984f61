#include "imagefiles/format_lists.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tinta {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

TEST(FormatLists, OffersReadableFormatsAndWritableOnesLessMetafilesAndIcons) {
    const FormatLists lists =
        BuildFormatLists({"png", "jpeg", "ico", "wmf", "emf", "svg", "bmp", "PNG", "tga"},
                         {"png", "jpeg", "ico", "wmf", "bmp", "tga", "xyz"});
    EXPECT_TRUE(lists.codecsAvailable);
    EXPECT_THAT(lists.inputMasks, ElementsAre("*.ERI", "*.PNG", "*.JPEG", "*.ICO", "*.WMF", "*.EMF",
                                              "*.SVG", "*.BMP", "*.TGA"));
    EXPECT_THAT(lists.outputFormats, ElementsAre("*.TGA", "*.PNG", "*.JPEG", "*.BMP"));
}

TEST(FormatLists, WithoutCodecsOnlyTheOwnFormatsRemain) {
    const FormatLists lists = BuildFormatLists({}, {"png"});
    EXPECT_FALSE(lists.codecsAvailable);
    EXPECT_THAT(lists.inputMasks, ElementsAre("*.ERI"));
    EXPECT_THAT(lists.outputFormats, ElementsAre("*.TGA"));
}

TEST(FormatLists, QtListsHoldTheCommonFormats) {
    const FormatLists lists = QtFormatLists();
    ASSERT_TRUE(lists.codecsAvailable);
    EXPECT_EQ(lists.inputMasks.front(), "*.ERI");
    EXPECT_EQ(lists.outputFormats.front(), "*.TGA");
    EXPECT_THAT(lists.inputMasks, Contains("*.PNG"));
    EXPECT_THAT(lists.inputMasks, Contains("*.ICO"));
    EXPECT_THAT(lists.outputFormats, Contains("*.PNG"));
    EXPECT_THAT(lists.outputFormats, Contains("*.BMP"));
    EXPECT_THAT(lists.outputFormats, Not(Contains("*.ICO")));
    EXPECT_THAT(lists.outputFormats, Not(Contains("*.SVG"))) << "Qt reads SVG but cannot write it";
}

}  // namespace
}  // namespace tinta
