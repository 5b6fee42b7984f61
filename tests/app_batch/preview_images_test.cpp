// The preview's pictures: one entry through the steps of a run with a test
// module, kept in memory.
#include "app/batch/preview_images.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/batch/batch_texts.h"
#include "batch_fixture.h"
#include "filterhost/pixel_callbacks.h"
#include "imagefiles/load_reasons.h"

namespace tinta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ModuleLog;
using testing::RecordedMessages;
using testing::ScratchFolder;

std::vector<uint8_t> PixelOf(const WorkImage& image, int x, int y) {
    const uint8_t* pixel = image.PixelAt(x, y);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

class PreviewImagesTest : public ::testing::Test {
  protected:
    PreviewImagesTest() {
        std::filesystem::create_directories(In());
        testing::WriteSamplePictures(In());
        testing::CopyTestModule("alpha", Plugins(), "alpha.so");
        host.DiscoverModules();
        before = testing::SortedEntries(scratch.Path());
        log.Clear();
    }
    std::filesystem::path In() const { return scratch.Path() / "in"; }
    std::filesystem::path Plugins() const { return scratch.Path() / "tinta"; }
    PreviewImages Preview(const std::string& entry, bool edging) {
        return MakePreviewImages(In().string(), entry, edging, host);
    }

    ScratchFolder scratch;
    ModuleLog log{scratch.Path()};
    RecordedMessages messages;
    FilterHost host{messages, Plugins().string() + "/"};
    std::vector<std::string> before;
};

TEST_F(PreviewImagesTest, BeforeIsTheLoadedPictureAndAfterIsWhatTheModuleWrote) {
    const PreviewImages preview = Preview("photo.png", false);

    ASSERT_NE(preview.before, nullptr);
    ASSERT_NE(preview.after, nullptr);
    EXPECT_THAT(preview.problem, IsEmpty());
    EXPECT_EQ(preview.before->width, 4);
    EXPECT_EQ(preview.before->height, 3);
    // Pixel (1, 2) is rgb(70, 120, 200), stored blue first; the module writes
    // the complement of every channel, alpha included.
    EXPECT_THAT(PixelOf(*preview.before, 1, 2), ElementsAre(200, 120, 70, 255));
    EXPECT_THAT(PixelOf(*preview.after, 1, 2), ElementsAre(55, 135, 185, 0));
    // FilterProc ran once, with the arguments of a run.
    EXPECT_THAT(log.Lines(), ElementsAre("proc alpha " + Plugins().string() + "/ 4x3x24 0 0",
                                         "spans alpha 11 0 2 untouched"));
    EXPECT_EQ(CurrentWorkImage, nullptr);
    EXPECT_EQ(testing::SortedEntries(scratch.Path()), before) << "nothing is written";
    EXPECT_EQ(testing::SortedEntries(In()).size(), 6u);
}

TEST_F(PreviewImagesTest, EdgingColoursTheTransparentNeighboursOnlyWhenAsked) {
    const PreviewImages plain = Preview("alpha.png", false);
    const PreviewImages edged = Preview("alpha.png", true);
    ASSERT_NE(plain.before, nullptr);
    ASSERT_NE(edged.before, nullptr);
    ASSERT_NE(edged.after, nullptr);

    EXPECT_THAT(PixelOf(*plain.before, 1, 0), ElementsAre(0, 0, 0, 0));
    EXPECT_THAT(PixelOf(*edged.before, 1, 0), ElementsAre(0, 0, 255, 0));
    // The filter saw the edged picture.
    EXPECT_THAT(PixelOf(*edged.after, 1, 0), ElementsAre(255, 255, 0, 255));
}

TEST_F(PreviewImagesTest, FilesThatDoNotLoadGiveTheirReasonAndNoPictures) {
    const PreviewImages broken = Preview("broken.png", false);
    EXPECT_EQ(broken.before, nullptr);
    EXPECT_EQ(broken.after, nullptr);
    EXPECT_FALSE(broken.problem.empty());
    EXPECT_FALSE(broken.folder);

    EXPECT_FALSE(Preview("gone.png", false).problem.empty());
    EXPECT_THAT(log.Lines(), IsEmpty()) << "the module is not called";
}

// The preview holds pictures to the limit a run would use, not the default.
TEST_F(PreviewImagesTest, PicturesAreHeldToTheGivenLimit) {
    const PreviewImages refused =
        MakePreviewImages(In().string(), "photo.png", false, host, {}, LoadLimits{11});
    EXPECT_EQ(refused.before, nullptr);
    EXPECT_EQ(refused.problem, TooLargeReason(4, 3, 11));
    EXPECT_NE(MakePreviewImages(In().string(), "photo.png", false, host, {}, LoadLimits{12}).after,
              nullptr);
}

TEST_F(PreviewImagesTest, FolderEntryIsNotLoaded) {
    const PreviewImages preview = Preview("[sub]", false);
    EXPECT_TRUE(preview.folder);
    EXPECT_EQ(preview.problem, kPreviewFolderMessage);
    EXPECT_EQ(preview.before, nullptr);
}

TEST_F(PreviewImagesTest, WithoutFilterProcOnlyTheLoadedPictureIsThere) {
    host.SelectFilter(-1);
    const PreviewImages preview = Preview("photo.png", false);
    ASSERT_NE(preview.before, nullptr);
    EXPECT_EQ(preview.after, nullptr);
    EXPECT_EQ(preview.problem, kNoFilterReason);
}

}  // namespace
}  // namespace tinta
