#include "app/batch/output_path.h"

#include <gtest/gtest.h>

namespace tinta {
namespace {

TEST(OutputFileName, ReplacesTheLastExtensionWhateverItsLength) {
    EXPECT_EQ(OutputFileName("photo.bmp", "*.TGA"), "photo.TGA");
    EXPECT_EQ(OutputFileName("image.jpeg", "*.PNG"), "image.PNG");
    EXPECT_EQ(OutputFileName("a.tar.gz", "*.TGA"), "a.tar.TGA");
    EXPECT_EQ(OutputFileName("x.j", "*.TIFF"), "x.TIFF");
}

TEST(OutputFileName, AppendsTheExtensionToANameWithoutDot) {
    EXPECT_EQ(OutputFileName("README", "*.TGA"), "README.TGA");
    EXPECT_EQ(OutputFileName("ab", "*.PNG"), "ab.PNG");
}

TEST(OutputPaths, AlwaysInsertTheSeparator) {
    EXPECT_EQ(JoinPath("./", "photo.bmp"), ".//photo.bmp");
    EXPECT_EQ(JoinPath("/in", "photo.bmp"), "/in/photo.bmp");
    EXPECT_EQ(FormatExtension("*.TGA"), "TGA");
    EXPECT_EQ(FormatExtension("png"), "png");
    EXPECT_TRUE(IsFolderEntry("[sub]"));
    EXPECT_FALSE(IsFolderEntry("[sub].png"));
    EXPECT_FALSE(IsFolderEntry("["));
}

}  // namespace
}  // namespace tinta
