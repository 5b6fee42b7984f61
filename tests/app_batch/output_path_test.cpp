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

}  // namespace
}  // namespace tinta
