#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/settings/folder_settings.h"
#include "app/settings/module_settings_file.h"
#include "support/user_folders_sandbox.h"

namespace tinta {
namespace {

// Each test gets its own configuration folder and current folder.
class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folders_.isValid()); }

    testing::UserFoldersSandbox folders_;
};

TEST_F(SettingsTest, MissingFileOrEntryGivesTheCurrentFolder) {
    EXPECT_EQ(FolderSettingsPath(), folders_.ConfigPath() + "/tinta_dn_quor.ini");
    FolderSettings folders = ReadFolderSettings();
    EXPECT_EQ(folders.outputFolder, "./");
    EXPECT_EQ(folders.inputFolder, "./");

    {
        QSettings profile(FolderSettingsPath(), QSettings::IniFormat);
        profile.setValue("INPUT/FOLDER", "/data/in");
    }
    folders = ReadFolderSettings();
    EXPECT_EQ(folders.outputFolder, "./");
    EXPECT_EQ(folders.inputFolder, "/data/in");
}

TEST_F(SettingsTest, FoldersRoundTripUnderTheirSectionsAndKey) {
    WriteFolderSettings({"/home/user/出力 先", "/home/user/入力;a=b"});
    const FolderSettings folders = ReadFolderSettings();
    EXPECT_EQ(folders.outputFolder, "/home/user/出力 先");
    EXPECT_EQ(folders.inputFolder, "/home/user/入力;a=b");

    QFile file(FolderSettingsPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("[OUTPUT]\nFOLDER=")) << text.toStdString();
    EXPECT_TRUE(text.contains("[INPUT]\nFOLDER=")) << text.toStdString();
}

TEST_F(SettingsTest, DeletingTheModuleSettingsFileTouchesNothingElse) {
    const auto make = [](const char* name) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    };
    make("dn_quor.dat");
    make("dn_quor.dat.bak");
    make("other.dat");
    DeleteModuleSettingsFile();
    EXPECT_FALSE(QFile::exists("dn_quor.dat"));
    EXPECT_TRUE(QFile::exists("dn_quor.dat.bak"));
    EXPECT_TRUE(QFile::exists("other.dat"));

    DeleteModuleSettingsFile();  // already gone: nothing happens

    ASSERT_TRUE(QDir().mkdir("dn_quor.dat"));
    DeleteModuleSettingsFile();
    EXPECT_TRUE(QFileInfo("dn_quor.dat").isDir());
}

}  // namespace
}  // namespace tinta
