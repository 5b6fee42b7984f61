// The modules shipped in build/tinta, run through the host as the batch run
// runs them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "filterhost/filter_call.h"
#include "filterhost/filter_host.h"
#include "test_folders.h"
#include "workimage/work_image.h"

namespace tinta {
namespace {

using testing::CurrentFolderScope;
using ::testing::ElementsAre;
using testing::RecordedMessages;
using testing::ScratchFolder;

class BundledModulesTest : public ::testing::Test {
  protected:
    BundledModulesTest() : current(scratch.Path()) {
        host.DiscoverModules();
        // A 5 x 4 picture with a bright square in the middle and alpha 0..19.
        image = AllocIpl(5, 4, 8);
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 5; ++x) {
                uint8_t* pixel = image->PixelAt(x, y);
                const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 2;
                pixel[0] = inside ? 200 : 20;
                pixel[1] = inside ? 150 : 40;
                pixel[2] = inside ? 100 : 60;
                pixel[3] = static_cast<uint8_t>(y * 5 + x);
            }
        }
    }

    void Run(const std::string& title) {
        host.SelectFilter(host.FindFilter(title));
        ASSERT_NE(host.FilterProc(), nullptr) << title;
        EXPECT_EQ(CallFilterProc(host.FilterProc(), *image, host.PluginFolder()), 1);
    }
    void ExpectAlphaKept() const {
        for (int32_t i = 0; i < 20; ++i) {
            EXPECT_EQ(image->pixels[i * 4 + 3], i);
        }
    }

    ScratchFolder scratch;
    CurrentFolderScope current;
    RecordedMessages messages;
    FilterHost host{messages, BUNDLED_MODULE_DIR};
    WorkImagePtr image;
};

TEST_F(BundledModulesTest, AreListedInFileNameOrder) {
    EXPECT_THAT(host.Titles(), ElementsAre("ぼかし", "dn_quor", "グレースケール", "色反転"));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(BundledModulesTest, InvertAndGreyscaleChangeColourOnly) {
    Run("色反転");
    EXPECT_EQ(image->PixelAt(0, 0)[0], 235);
    EXPECT_EQ(image->PixelAt(2, 2)[2], 155);
    Run("グレースケール");
    const uint8_t* pixel = image->PixelAt(2, 1);  // inverted: 55, 105, 155
    EXPECT_EQ(pixel[0], (114 * 55 + 587 * 105 + 299 * 155 + 500) / 1000);
    EXPECT_EQ(pixel[1], pixel[0]);
    EXPECT_EQ(pixel[2], pixel[0]);
    ExpectAlphaKept();
}

TEST_F(BundledModulesTest, BlurTakesItsRadiusFromItsSettingsFile) {
    host.SelectFilter(host.FindFilter("ぼかし"));
    host.OpenSettings();  // no widgets here: nothing to ask, nothing shown
    EXPECT_TRUE(messages.texts.empty());
    std::ofstream("blur.dat") << "radius=1\n";
    Run("ぼかし");
    // Row 0 x 0: rows 0,0,1 and columns 0,0,1 around it; one of nine inside.
    EXPECT_EQ(image->PixelAt(0, 0)[0], (8 * 20 + 200 + 4) / 9);
    // The centre sees six bright pixels of nine.
    EXPECT_EQ(image->PixelAt(2, 1)[1], (6 * 150 + 3 * 40 + 4) / 9);
    ExpectAlphaKept();
}

TEST_F(BundledModulesTest, DnQuorChangesNothingByDefaultAndFollowsDnQuorDat) {
    std::vector<uint8_t> before(image->pixels, image->pixels + image->imageSize);
    Run("dn_quor");
    EXPECT_EQ(std::vector<uint8_t>(image->pixels, image->pixels + image->imageSize), before);

    std::ofstream("dn_quor.dat") << "brightness=20\ncontrast=-100\nsaturation=junk\n";
    Run("dn_quor");
    // Contrast -100 flattens every channel to mid grey; brightness adds 51.
    EXPECT_EQ(image->PixelAt(0, 0)[0], 128 + 51);
    EXPECT_EQ(image->PixelAt(2, 2)[2], 128 + 51);

    std::ofstream("dn_quor.dat") << "saturation=-100\n";
    Run("dn_quor");
    EXPECT_EQ(image->PixelAt(0, 0)[2], image->PixelAt(0, 0)[0]);
    ExpectAlphaKept();
}

}  // namespace
}  // namespace tinta
