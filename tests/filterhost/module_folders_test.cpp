// Modules from several folders: the search order, names that hide later
// ones, and the folder each module is handed.
#include "filterhost/module_folders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "filterhost/filter_call.h"
#include "filterhost/filter_host.h"
#include "install_layout.h"
#include "test_folders.h"

namespace tinta {
namespace {

using testing::CopyTestModule;
using testing::CurrentFolderScope;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ModuleSearchFoldersTest, CurrentFolderThenInstallThenUserFolder) {
    const std::string installed =
        (std::filesystem::path("/opt/tinta/bin/") / kInstalledModuleFolder).lexically_normal();
    EXPECT_THAT(ModuleSearchFolders("/opt/tinta/bin/", "/data", "/home/u"),
                ElementsAre("./tinta/", installed, "/data/tinta_dn_quor/tinta/"));
    EXPECT_EQ(installed.back(), '/');
    EXPECT_THAT(ModuleSearchFolders("", nullptr, nullptr), ElementsAre("./tinta/"));
}

TEST(ModuleSearchFoldersTest, UserFolderFallsBackToHomeWhenDataHomeIsUnsetEmptyOrRelative) {
    EXPECT_EQ(UserModuleFolder("/x/share/", "/home/u"), "/x/share/tinta_dn_quor/tinta/");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/share"}) {
        EXPECT_EQ(UserModuleFolder(unusable, "/home/u"),
                  "/home/u/.local/share/tinta_dn_quor/tinta/");
        EXPECT_EQ(UserModuleFolder(unusable, nullptr), "");
        EXPECT_EQ(UserModuleFolder(unusable, ""), "");
    }
}

TEST(ModuleSearchFoldersTest, InstallFolderIsResolvedFromTheProgramFolder) {
    EXPECT_EQ(BesideExecutable("/a/b/bin/", "../lib/x/"), "/a/b/lib/x/");
    EXPECT_EQ(BesideExecutable("/a/b/bin", "../share/y"), "/a/b/share/y/");
    EXPECT_EQ(BesideExecutable("", "../lib/x/"), "");
    const std::string self = ExecutableFolder();
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(std::filesystem::exists(self + "filterhost_tests")) << self;
}

using ModuleFoldersHostTest = testing::ModuleHostTest;

TEST_F(ModuleFoldersHostTest, EarlierFolderHidesTheSameFileNameAndTheListStaysInNameOrder) {
    CopyTestModule("alpha", Folder("first"), "b.so");
    CopyTestModule("beta", Folder("second"), "b.so");
    CopyTestModule("beta", Folder("second"), "c.so");
    CopyTestModule("optionless", Folder("third"), "a.so");
    CopyTestModule("procless", Folder("third"), "c.so");

    FilterHost host(messages,
                    {Folder("first"), Folder("missing"), Folder("second"), Folder("third")});
    host.DiscoverModules();

    EXPECT_THAT(host.ModulePaths(), ElementsAre(Folder("third") + "a.so", Folder("first") + "b.so",
                                                Folder("second") + "c.so"));
    EXPECT_THAT(host.Titles(), ElementsAre("Optionless", "Alpha", "Beta"));
    EXPECT_EQ(host.FindFilter("c"), 2);
    EXPECT_THAT(messages.texts, IsEmpty()) << "the hidden procless module is never loaded";
}

TEST_F(ModuleFoldersHostTest, EachModuleIsHandedTheFolderItWasFoundIn) {
    CopyTestModule("alpha", Folder("first"), "a.so");
    CopyTestModule("beta", Folder("user"), "b.so");
    FilterHost host(messages, {Folder("first"), Folder("user")});
    host.DiscoverModules();
    auto image = AllocIpl(1, 1, 8);
    ASSERT_NE(image, nullptr);
    log.Clear();

    host.OpenSettings();
    CallFilterProc(host.FilterProc(), *image, host.PluginFolder());
    host.SelectFilter(1);
    host.OpenSettings();
    CallFilterProc(host.FilterProc(), *image, host.PluginFolder());

    const std::vector<std::string> lines = log.Lines();
    EXPECT_THAT(lines, ::testing::Contains("option alpha " + Folder("first") + " 0 0"));
    EXPECT_THAT(lines, ::testing::Contains("proc alpha " + Folder("first") + " 1x1x24 0 0"));
    EXPECT_THAT(lines, ::testing::Contains("option beta " + Folder("user") + " 0 0"));
    EXPECT_THAT(lines, ::testing::Contains("proc beta " + Folder("user") + " 1x1x24 0 0"));
    host.SelectFilter(-1);
    EXPECT_EQ(host.PluginFolder(), Folder("first"));
}

TEST_F(ModuleFoldersHostTest, CurrentFolderModulesKeepTheRelativeFolderText) {
    CopyTestModule("alpha", scratch.Path() / "tinta", "a.so");
    CopyTestModule("beta", Folder("user"), "b.so");
    CurrentFolderScope current(scratch.Path());
    FilterHost host(messages, ModuleSearchFolders("", Folder("data").c_str(), nullptr));
    std::filesystem::create_directories(scratch.Path() / "data" / "tinta_dn_quor");
    std::filesystem::rename(scratch.Path() / "user", scratch.Path() / "data/tinta_dn_quor/tinta");

    host.DiscoverModules();

    EXPECT_THAT(host.ModulePaths(),
                ElementsAre("./tinta/a.so", Folder("data") + "tinta_dn_quor/tinta/b.so"));
    EXPECT_EQ(host.PluginFolder(), "./tinta/");
}

}  // namespace
}  // namespace tinta
