#include "imagefiles/path_extension.h"

#include <gtest/gtest.h>

namespace tinta {
namespace {

TEST(PathExtension, IsTheLastExtensionOfTheFileNameOnly) {
    EXPECT_EQ(FileExtension("/in/photo.png"), ".png");
    EXPECT_EQ(FileExtension("/in.eri/photo.png"), ".png");
    EXPECT_EQ(FileExtension("/in/a.eri.bmp"), ".bmp");
    EXPECT_EQ(FileExtension("/in.eri/readme"), "");
    EXPECT_EQ(FileExtension("/out/x.tga/"), "");
    EXPECT_EQ(FileExtension("/in/.eri"), "") << "a hidden file has no extension";
    EXPECT_EQ(FileExtension(".eri"), "");
    EXPECT_EQ(FileExtension("/in/..eri"), ".eri");
    EXPECT_EQ(FileExtension("photo.Eri"), ".Eri");
    EXPECT_EQ(LowerExtensionWord("/in/PHOTO.JpEg"), "jpeg");
    EXPECT_EQ(LowerExtensionWord("/in/name."), "");
}

TEST(PathExtension, ChoosesEriAndTgaByTheLastExtensionWithoutRegardToCase) {
    EXPECT_EQ(ClassifyImagePath("/in/photo.eri"), ImageFileKind::kEri);
    EXPECT_EQ(ClassifyImagePath("/in/PHOTO.ERI"), ImageFileKind::kEri);
    EXPECT_EQ(ClassifyImagePath("/in/photo.Eri"), ImageFileKind::kEri);
    EXPECT_EQ(ClassifyImagePath("/out/x.TGA"), ImageFileKind::kTga);
    EXPECT_EQ(ClassifyImagePath("/out.eri/x.TGA"), ImageFileKind::kTga);
    EXPECT_EQ(ClassifyImagePath("/out/x.tGa"), ImageFileKind::kTga);
    // Words elsewhere in the path do not count.
    EXPECT_EQ(ClassifyImagePath("/in/a.eri.bmp"), ImageFileKind::kOther);
    EXPECT_EQ(ClassifyImagePath("/in.eri/photo.png"), ImageFileKind::kOther);
    EXPECT_EQ(ClassifyImagePath("/x.tga/y.png"), ImageFileKind::kOther);
    EXPECT_EQ(ClassifyImagePath("/out/image.jTGA"), ImageFileKind::kOther);
    EXPECT_EQ(ClassifyImagePath("/in/.eri"), ImageFileKind::kOther);
    EXPECT_EQ(ClassifyImagePath("/in/eri"), ImageFileKind::kOther);
}

}  // namespace
}  // namespace tinta
