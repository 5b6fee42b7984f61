#include "filterhost/filter_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "filterhost/filter_call.h"
#include "filterhost/pixel_callbacks.h"
#include "test_folders.h"
#include "workimage/work_image.h"

namespace tinta {
namespace {

using testing::CopyTestModule;
using testing::CurrentFolderScope;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class FilterHostTest : public testing::ModuleHostTest {
  protected:
    std::filesystem::path Plugins() const { return scratch.Path() / "tinta"; }
    std::string PluginFolder() const { return Folder("tinta"); }
    // A host over copies of the test modules, each as its file name, discovered.
    FilterHost& HostOf(std::initializer_list<std::pair<std::string, std::string>> modules) {
        for (const auto& [name, file] : modules) {
            CopyTestModule(name, Plugins(), file);
        }
        host_ = std::make_unique<FilterHost>(messages, PluginFolder());
        host_->DiscoverModules();
        return *host_;
    }

    std::unique_ptr<FilterHost> host_;
};

TEST_F(FilterHostTest, ListsModulesInFileNameOrderAndReportsTheUnusableOnes) {
    std::filesystem::create_directories(Plugins() / "folder.so");
    std::ofstream(Plugins() / "0_junk.so") << "not a library";
    std::ofstream(Plugins() / "readme.txt") << "not a module";
    FilterHost& host =
        HostOf({{"alpha", "2_alpha.so"}, {"beta", "1_beta.so"}, {"untitled", "3_untitled.so"}});

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
    EXPECT_EQ(messages.texts[1], "3_untitled.soのエントリポイント(GetTitle)が見つかりません");
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
    FilterHost& host = HostOf({{"procless", "procless.so"}});
    EXPECT_THAT(host.Titles(), ElementsAre("Procless"));
    EXPECT_TRUE(host.Module().IsLoaded());
    EXPECT_EQ(host.FilterProc(), nullptr);
    host.SelectFilter(0);
    EXPECT_THAT(messages.texts, Each(Eq("procless.soのエントリポイント(Proc)が見つかりません")));
    EXPECT_EQ(messages.texts.size(), 3u);
}

TEST_F(FilterHostTest, SettingsCallFilterOptionOrSayThereAreNone) {
    FilterHost& host = HostOf({{"alpha", "a.so"}, {"optionless", "b.so"}});
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
    FilterHost& host = HostOf({{"alpha", "a.so"}, {"beta", "b.so"}});
    log.Clear();

    host.SelectFilter(1);
    EXPECT_THAT(log.Lines(), ElementsAre("unload alpha", "load beta", "title beta 0"));
    EXPECT_EQ(host.SelectedIndex(), 1);
    EXPECT_NE(host.FilterProc(), nullptr);
}

TEST_F(FilterHostTest, FindsFiltersByTitleOrFileName) {
    FilterHost& host = HostOf({{"alpha", "first.so"}, {"beta", "second.so"}});
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
    FilterHost& host = HostOf({{"alpha", "alpha.so"}});
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
