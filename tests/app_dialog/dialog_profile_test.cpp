// The folders in the settings file: read at start, written by each way of
// closing the dialog.
#include <QSettings>
#include <QTest>

#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {
namespace {

TEST_F(DialogTest, FirstStartShowsTheCurrentFolderForBoth) {
    MainDialog& dialog = Open();
    EXPECT_EQ(Get<QLineEdit>(kIdInputFolder)->text(), "./");
    EXPECT_EQ(Get<QLineEdit>(kIdOutputFolder)->text(), "./");
    EXPECT_EQ(dialog.InputFolder(), "./");
    EXPECT_EQ(fake_.listings.at(0).first, "./");
}

enum class CloseBy { ExitButton, EscapeKey, CloseBox };
constexpr const char* kCloseNames[] = {"ExitButton", "EscapeKey", "CloseBox"};

class ProfileTest : public DialogTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(ProfileTest, ClosingSavesTheChosenFoldersForTheNextStart) {
    MainDialog& dialog = Open();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    fake_.folderAnswers = {QString("/pictures/入力"), QString("/pictures/out")};
    Get<QPushButton>(kIdChooseInputFolder)->click();
    Get<QPushButton>(kIdChooseOutputFolder)->click();
    QTest::keyClicks(Get<QLineEdit>(kIdOutputFolder), "typed");

    switch (GetParam()) {
        case CloseBy::ExitButton:
            QTest::mouseClick(Get<QPushButton>(kIdExit), Qt::LeftButton);
            break;
        case CloseBy::EscapeKey:
            QTest::keyClick(&dialog, Qt::Key_Escape);
            break;
        case CloseBy::CloseBox:
            EXPECT_TRUE(dialog.close());
            break;
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    {
        QSettings profile(ProfilePath(), QSettings::IniFormat);
        EXPECT_EQ(profile.value("OUTPUT/FOLDER").toString(), "/pictures/out");
        EXPECT_EQ(profile.value("INPUT/FOLDER").toString(), "/pictures/入力");
    }

    fake_.listings.clear();
    MainDialog& again = Open();
    EXPECT_EQ(again.InputFolder(), "/pictures/入力");
    EXPECT_EQ(again.OutputFolder(), "/pictures/out");
    EXPECT_EQ(Get<QLineEdit>(kIdOutputFolder)->text(), "/pictures/out");
    EXPECT_EQ(fake_.listings.at(0).first, "/pictures/入力");
}

INSTANTIATE_TEST_SUITE_P(AllWaysOfClosing, ProfileTest,
                         ::testing::Values(CloseBy::ExitButton, CloseBy::EscapeKey,
                                           CloseBy::CloseBox),
                         [](const ::testing::TestParamInfo<CloseBy>& info) {
                             return std::string(kCloseNames[static_cast<int>(info.param)]);
                         });

TEST_F(DialogTest, EndingWithoutExitSavesNothing) {
    Open();
    fake_.folderAnswers = {QString("/pictures/in")};
    Get<QPushButton>(kIdChooseInputFolder)->click();
    dialog_.reset();
    EXPECT_FALSE(QFile::exists(ProfilePath()));
}

TEST_F(DialogTest, AnEmptyOutputFolderMakesTheChooserStartAtTheInputFolder) {
    {
        QSettings profile(ProfilePath(), QSettings::IniFormat);
        profile.setValue("OUTPUT/FOLDER", "");
        profile.setValue("INPUT/FOLDER", "/pictures/in");
    }
    Open();
    Get<QPushButton>(kIdChooseOutputFolder)->click();
    ASSERT_EQ(fake_.prompts.size(), 1u);
    EXPECT_EQ(fake_.prompts[0].preselected, "/pictures/in");
}

// The optional [LIMITS] MAX_PIXELS key sets the largest picture a run loads;
// without it, or with a value that is no pixel count, the default holds.
TEST_F(DialogTest, TheProfilesPixelLimitReachesTheRun) {
    Open();
    Get<QPushButton>(kIdRun)->click();
    {
        QSettings profile(ProfilePath(), QSettings::IniFormat);
        profile.setValue("LIMITS/MAX_PIXELS", "1000000");
    }
    Get<QPushButton>(kIdRun)->click();
    {
        QSettings profile(ProfilePath(), QSettings::IniFormat);
        profile.setValue("LIMITS/MAX_PIXELS", "many");
    }
    Get<QPushButton>(kIdRun)->click();
    ASSERT_EQ(fake_.jobs.size(), 3u);
    EXPECT_EQ(fake_.jobs[0].maxPixels, std::nullopt);
    EXPECT_EQ(fake_.jobs[1].maxPixels, 1000000u);
    EXPECT_EQ(fake_.jobs[2].maxPixels, std::nullopt);
}

}  // namespace
}  // namespace tinta::testing
