#include "filterhost/filter_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "filterhost/filter_call.h"
#include "filterhost/pixel_callbacks.h"
#include "test_folders.h"
#include "workimage/work_image.h"

namespace tinta {
namespace {

using testing::CopyTestModule;
using testing::CurrentFolderScope;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::ModuleLog;
using testing::RecordedMessages;
using testing::ScratchFolder;
using ::testing::StartsWith;

class FilterHostTest : public ::testing::Test {
  protected:
    std::filesystem::path Plugins() const { return scratch.Path() / "tinta"; }
    std::string PluginFolder() const { return Plugins().string() + "/"; }

    ScratchFolder scratch;
    ModuleLog log{scratch.Path()};
    RecordedMessages messages;
};

TEST_F(FilterHostTest, ListsModulesInFileNameOrderAndReportsTheUnusableOnes) {
    CopyTestModule("alpha", Plugins(), "2_alpha.so");
    CopyTestModule("beta", Plugins(), "1_beta.so");
    CopyTestModule("untitled", Plugins(), "3_untitled.so");
    std::ofstream(Plugins() / "0_junk.so") << "not a library";
    std::ofstream(Plugins() / "readme.txt") << "not a module";
    std::filesystem::create_directory(Plugins() / "folder.so");

    FilterHost host(messages, PluginFolder());
    host.DiscoverModules();

    EXPECT_THAT(host.Titles(), ElementsAre("Beta", "Alpha"));
    EXPECT_THAT(host.ModulePaths(),
                ElementsAre(PluginFolder() + "1_beta.so", PluginFolder() + "2_alpha.so"));
    EXPECT_EQ(host.SelectedIndex(), 0);
    ASSERT_EQ(messages.texts.size(), 2u);
    // The folder "folder.so" is passed over; the junk file fails with the
    // loader's reason on a second line.
    EXPECT_THAT(messages.texts[0],
                StartsWith(PluginFolder() + "0_junk.soをロードできませんでした\n"));
    EXPECT_THAT(messages.texts[0], HasSubstr("0_junk.so: "));
    EXPECT_EQ(messages.texts[1], "dn_quor.dllのエントリポイント(GetTitle)が見つかりません");
    EXPECT_THAT(log.Lines(),
                ElementsAre("load beta", "title beta 0", "title beta 0", "unload beta",
                            "load alpha", "title alpha 0", "title alpha 0", "unload alpha",
                            "load untitled", "unload untitled", "load beta", "title beta 0"));
    EXPECT_EQ(host.Module().titleResult, 33);
    EXPECT_EQ(host.Module().titleValue1, 11);
    EXPECT_EQ(host.Module().titleValue2, 22);
}

TEST_F(FilterHostTest, MissingOrEmptyPluginFolderListsNothingAndSaysNothing) {
    FilterHost missing(messages, PluginFolder());
    missing.DiscoverModules();
    EXPECT_THAT(missing.Titles(), IsEmpty());
    EXPECT_EQ(missing.SelectedIndex(), -1);
    EXPECT_FALSE(missing.Module().IsLoaded());
    EXPECT_EQ(missing.FilterProc(), nullptr);

    std::filesystem::create_directory(Plugins());
    FilterHost empty(messages, PluginFolder());
    empty.DiscoverModules();
    EXPECT_THAT(empty.Titles(), IsEmpty());
    EXPECT_THAT(messages.texts, IsEmpty());
}

TEST_F(FilterHostTest, ModuleWithoutFilterProcIsListedAndReportedAtEveryLoad) {
    CopyTestModule("procless", Plugins(), "procless.so");
    FilterHost host(messages, PluginFolder());
    host.DiscoverModules();
    EXPECT_THAT(host.Titles(), ElementsAre("Procless"));
    EXPECT_TRUE(host.Module().IsLoaded());
    EXPECT_EQ(host.FilterProc(), nullptr);
    host.SelectFilter(0);
    EXPECT_THAT(messages.texts, ElementsAre("dn_quor.dllのエントリポイント(Proc)が見つかりません",
                                            "dn_quor.dllのエントリポイント(Proc)が見つかりません",
                                            "dn_quor.dllのエントリポイント(Proc)が見つかりません"));
}

TEST_F(FilterHostTest, SettingsCallFilterOptionOrSayThereAreNone) {
    CopyTestModule("alpha", Plugins(), "a.so");
    CopyTestModule("optionless", Plugins(), "b.so");
    FilterHost host(messages, PluginFolder());
    host.DiscoverModules();
    log.Clear();

    host.OpenSettings();
    EXPECT_THAT(log.Lines(), ElementsAre("option alpha " + PluginFolder() + " 0 0"));
    EXPECT_THAT(messages.texts, IsEmpty());

    host.SelectFilter(1);
    host.OpenSettings();
    EXPECT_THAT(messages.texts, ElementsAre("このフィルターに設定項目はありません"));

    host.SelectFilter(-1);
    host.OpenSettings();
    EXPECT_EQ(messages.texts.size(), 2u);
}

TEST_F(FilterHostTest, SelectingAnotherFilterUnloadsThePreviousModuleFirst) {
    CopyTestModule("alpha", Plugins(), "a.so");
    CopyTestModule("beta", Plugins(), "b.so");
    FilterHost host(messages, PluginFolder());
    host.DiscoverModules();
    log.Clear();

    host.SelectFilter(1);
    EXPECT_THAT(log.Lines(), ElementsAre("unload alpha", "load beta", "title beta 0"));
    EXPECT_EQ(host.SelectedIndex(), 1);
    EXPECT_NE(host.FilterProc(), nullptr);
}

TEST_F(FilterHostTest, FindsFiltersByTitleOrFileName) {
    CopyTestModule("alpha", Plugins(), "first.so");
    CopyTestModule("beta", Plugins(), "second.so");
    FilterHost host(messages, PluginFolder());
    host.DiscoverModules();
    EXPECT_EQ(host.FindFilter("Beta"), 1);
    EXPECT_EQ(host.FindFilter("first"), 0);
    EXPECT_EQ(host.FindFilter("second.so"), 1);
    EXPECT_EQ(host.FindFilter("third"), -1);
}

TEST_F(FilterHostTest, DefaultPluginFolderIsTintaInTheCurrentFolder) {
    CopyTestModule("alpha", Plugins(), "alpha.so");
    CurrentFolderScope current(scratch.Path());
    FilterHost host(messages);
    host.DiscoverModules();
    EXPECT_THAT(host.ModulePaths(), ElementsAre("./tinta/alpha.so"));
    EXPECT_TRUE(host.Module().IsLoaded());
}

TEST_F(FilterHostTest, ModuleSeesTheCallArgumentsAndMayAlterAlphaPixelByPixel) {
    CopyTestModule("alpha", Plugins(), "alpha.so");
    FilterHost host(messages, PluginFolder());
    host.DiscoverModules();
    auto image = AllocIpl(3, 2, 8);
    ASSERT_NE(image, nullptr);
    for (int64_t i = 0; i < image->imageSize; ++i) {
        image->pixels[i] = static_cast<uint8_t>(i * 9);
    }
    log.Clear();

    CallFilterProc(host.FilterProc(), *image, host.PluginFolder());

    for (int64_t i = 0; i < image->imageSize; ++i) {
        EXPECT_EQ(image->pixels[i], 255 - static_cast<uint8_t>(i * 9)) << i;
    }
    EXPECT_THAT(log.Lines(), ElementsAre("proc alpha " + PluginFolder() + " 3x2x24 0 0",
                                         "spans alpha 11 0 2 untouched"));
    EXPECT_EQ(CurrentWorkImage, nullptr);
}

}  // namespace
}  // namespace tinta
