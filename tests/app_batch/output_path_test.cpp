#include "app/batch/output_path.h"

#include <gtest/gtest.h>

namespace tinta {
namespace {

TEST(OutputFileName, ReplacesTheLastExtensionWhateverItsLengthOrAppendsOne) {
    EXPECT_EQ(OutputFileName("photo.bmp", "*.TGA"), "photo.TGA");
    EXPECT_EQ(OutputFileName("image.jpeg", "*.PNG"), "image.PNG");
    EXPECT_EQ(OutputFileName("a.tar.gz", "*.TGA"), "a.tar.TGA");
    EXPECT_EQ(OutputFileName("x.j", "*.TIFF"), "x.TIFF");
    // A name without a dot gets the extension appended.
    EXPECT_EQ(OutputFileName("README", "*.TGA"), "README.TGA");
    EXPECT_EQ(OutputFileName("ab", "*.PNG"), "ab.PNG");
}

}  // namespace
}  // namespace tinta
