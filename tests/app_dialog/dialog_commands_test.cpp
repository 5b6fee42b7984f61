// The dialog's commands: the input-file list, folder choosers, edging, Run,
// Initialise, Help and About.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <cerrno>

#include "app/dialog/about_box.h"
#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {
namespace {

TEST_F(DialogTest, InputFileListFollowsTheMaskButNotTheOutputFormat) {
    Open();
    ASSERT_EQ(fake_.listings.size(), 1u);
    EXPECT_EQ(fake_.listings[0], std::make_pair(QString("./"), QString("*.BMP")));
    EXPECT_EQ(Items(kIdInputFileList), QStringList({"[sub]", "A.PNG", "b.png", "c.PNG"}));

    auto* mask = Get<QComboBox>(kIdInputMask);
    mask->setCurrentIndex(mask->findText("*.ERI"));
    ASSERT_EQ(fake_.listings.size(), 2u);
    EXPECT_EQ(fake_.listings[1].second, "*.ERI");
    EXPECT_EQ(Items(kIdInputFileList), QStringList({"x.eri"}));

    Get<QComboBox>(kIdOutputFormat)->setCurrentIndex(1);
    EXPECT_EQ(fake_.listings.size(), 2u);
}

TEST_F(DialogTest, ChoosingAFolderShowsItAndCancelChangesNothing) {
    MainDialog& dialog = Open();
    fake_.folderAnswers = {QString("/pictures/in"), std::nullopt, QString("/pictures/out"),
                           std::nullopt};
    Get<QPushButton>(kIdChooseInputFolder)->click();
    EXPECT_EQ(fake_.prompts[0].prompt, "画像ﾌｧｲﾙ入力元ﾌｫﾙﾀﾞｰを指定して下さい");
    EXPECT_EQ(fake_.prompts[0].preselected, "./");
    EXPECT_EQ(dialog.InputFolder(), "/pictures/in");
    EXPECT_EQ(Get<QLineEdit>(kIdInputFolder)->text(), "/pictures/in");
    EXPECT_EQ(fake_.listings.back().first, "/pictures/in");
    ASSERT_EQ(fake_.listings.size(), 2u);

    Get<QPushButton>(kIdChooseInputFolder)->click();
    EXPECT_EQ(fake_.prompts[1].preselected, "/pictures/in");
    EXPECT_EQ(dialog.InputFolder(), "/pictures/in");

    // The output folder does not change the list.
    Get<QPushButton>(kIdChooseOutputFolder)->click();
    EXPECT_EQ(fake_.prompts[2].prompt, "画像ﾌｧｲﾙ出力先ﾌｫﾙﾀﾞｰを指定して下さい");
    EXPECT_EQ(dialog.OutputFolder(), "/pictures/out");
    EXPECT_EQ(Get<QLineEdit>(kIdOutputFolder)->text(), "/pictures/out");

    Get<QPushButton>(kIdChooseOutputFolder)->click();
    EXPECT_EQ(fake_.prompts[3].preselected, "/pictures/out");
    EXPECT_EQ(dialog.OutputFolder(), "/pictures/out");
    EXPECT_EQ(fake_.listings.size(), 2u);
}

TEST_F(DialogTest, TextTypedIntoAFolderFieldIsReplacedAtTheNextRefresh) {
    MainDialog& dialog = Open();
    auto* field = Get<QLineEdit>(kIdInputFolder);
    QTest::keyClicks(field, "/typed");
    EXPECT_EQ(dialog.InputFolder(), "./");
    Get<QComboBox>(kIdInputMask)->setCurrentIndex(1);
    EXPECT_EQ(field->text(), "./");
    EXPECT_EQ(fake_.listings.back().first, "./");
}

TEST_F(DialogTest, EdgingChoiceSurvivesRefreshesAndReachesTheRun) {
    MainDialog& dialog = Open();
    auto* edging = Get<QCheckBox>(kIdEdging);
    QTest::mouseClick(edging, Qt::LeftButton);
    EXPECT_TRUE(dialog.EdgingFlag());

    Get<QComboBox>(kIdInputMask)->setCurrentIndex(1);
    fake_.folderAnswers = {QString("/out")};
    Get<QPushButton>(kIdChooseOutputFolder)->click();
    EXPECT_TRUE(edging->isChecked());

    Get<QPushButton>(kIdRun)->click();
    edging->click();
    Get<QPushButton>(kIdRun)->click();
    ASSERT_EQ(fake_.jobs.size(), 2u);
    EXPECT_TRUE(fake_.jobs[0].edging);
    EXPECT_FALSE(fake_.jobs[1].edging);
}

TEST_F(DialogTest, RunProcessesTheListFileByFileAndEndsWithDone) {
    MainDialog& dialog = Open();
    fake_.folderAnswers = {QString("/in"), QString("/out")};
    Get<QPushButton>(kIdChooseInputFolder)->click();
    Get<QPushButton>(kIdChooseOutputFolder)->click();
    auto* format = Get<QComboBox>(kIdOutputFormat);
    format->setCurrentIndex(format->findText("*.TGA"));
    fake_.failures = {"b.png: cannot be read"};

    auto* bar = Get<QProgressBar>(kIdProgress);
    std::vector<int> barBeforeFile;
    fake_.beforeFile = [&](int) {
        barBeforeFile.push_back(bar->value());
        EXPECT_TRUE(dialog.IsRunning());
    };
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);

    ASSERT_EQ(fake_.jobs.size(), 1u);
    const BatchJob& job = fake_.jobs[0];
    EXPECT_EQ(job.names, QStringList({"[sub]", "A.PNG", "b.png", "c.PNG"}));
    EXPECT_EQ(job.inputFolder, "/in");
    EXPECT_EQ(job.outputFolder, "/out");
    EXPECT_EQ(job.formatText, "*.TGA");
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(barBeforeFile, std::vector<int>({0, 1, 2, 3}));
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "完了");
    EXPECT_EQ(fake_.messages[0].details, "b.png: cannot be read");
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(dialog.IsRunning());
}

TEST_F(DialogTest, DuringARunRunReadsStopAndStopsItWhileOtherCommandsWait) {
    MainDialog& dialog = Open();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* run = Get<QPushButton>(kIdRun);
    fake_.failures = {"書き込み 1 件、失敗 0 件、未処理 3 件"};
    fake_.beforeFile = [&](int index) {
        if (index != 1) {
            return;
        }
        EXPECT_EQ(run->text(), "中止");
        EXPECT_FALSE(Get<QPushButton>(kIdSettings)->isEnabled());
        EXPECT_FALSE(Get<QListWidget>(kIdInputFileList)->isEnabled());
        EXPECT_FALSE(Get<QComboBox>(kIdOutputFormat)->isEnabled());
        QTest::keyClick(&dialog, Qt::Key_F1);
        QTest::mouseClick(run, Qt::LeftButton);
    };
    run->click();
    EXPECT_EQ(fake_.stopRequests, 1);
    EXPECT_EQ(fake_.helpCalls, 0);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "中止しました");
    EXPECT_EQ(fake_.messages[0].details, "書き込み 1 件、失敗 0 件、未処理 3 件");
    EXPECT_EQ(run->text(), "実行");
    EXPECT_TRUE(Get<QPushButton>(kIdSettings)->isEnabled());
}

TEST_F(DialogTest, ExitEscOrCloseDuringARunStopItThenSaveTheFoldersAndClose) {
    const std::vector<std::function<void(MainDialog&)>> ways = {
        [this](MainDialog&) { QTest::mouseClick(Get<QPushButton>(kIdExit), Qt::LeftButton); },
        [](MainDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](MainDialog& dialog) { dialog.close(); },
    };
    for (const auto& leave : ways) {
        QFile::remove(ProfilePath());
        MainDialog& dialog = Open();
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        fake_.messages.clear();
        fake_.beforeFile = [&](int index) {
            if (index == 1) {
                leave(dialog);
                EXPECT_TRUE(dialog.isVisible()) << "the run ends first";
            }
        };
        Get<QPushButton>(kIdRun)->click();
        EXPECT_EQ(fake_.stopRequests, 1);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(QFile::exists(ProfilePath()));
        EXPECT_TRUE(fake_.messages.empty());
    }
}

TEST_F(DialogTest, RunOverAnEmptyListStillSaysDone) {
    fake_.lister = [](const QString&, const QString&) { return QStringList(); };
    Open();
    Get<QPushButton>(kIdRun)->click();
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "完了");
    EXPECT_TRUE(fake_.messages[0].details.isEmpty());
    EXPECT_EQ(Get<QProgressBar>(kIdProgress)->value(), 0);
}

TEST_F(DialogTest, InitialiseDeletesOnlyTheModuleSettingsFileSilently) {
    MainDialog& dialog = Open();
    for (const char* name : {"dn_quor.dat", "keep.dat"}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    Get<QPushButton>(kIdInitialise)->click();
    EXPECT_FALSE(QFile::exists("dn_quor.dat"));
    EXPECT_TRUE(QFile::exists("keep.dat"));
    Get<QPushButton>(kIdInitialise)->click();
    EXPECT_TRUE(fake_.messages.empty());
    EXPECT_EQ(dialog.InputFolder(), "./");
    EXPECT_TRUE(fake_.selections.empty());
    EXPECT_FALSE(QFile::exists(ProfilePath()));
}

TEST_F(DialogTest, AnUnreadableInputFolderGivesAnEmptyListAndSaysWhy) {
    fake_.lister = [](const QString&, const QString&) { return QStringList(); };
    fake_.listingProblem = "cannot read /gone";
    Open();
    EXPECT_TRUE(Items(kIdInputFileList).isEmpty());
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "cannot read /gone");
}

TEST_F(DialogTest, HelpShowsTheMessageForEachKnownErrorAndNothingOtherwise) {
    MainDialog& dialog = Open();
    const std::vector<std::pair<int, QString>> known = {
        {ENOENT, "ファイル名またはパス名が見つかリません。"},
        {E2BIG, "引数リストと環境設定に必要な領域が 32KB を超えています。"},
        {ENOEXEC,
         "指定したファイルが実行可能ファイルでない、または実行可能ファイルの書式が無効です。"},
        {ENOMEM, "メモリ不足のため、子プロセスを実行できません。"},
        {EACCES, "指定されたファイルにロック違反、または共有違反が発生しています。"},
        {EMFILE, "開いているファイルが多すぎます。"},
    };
    for (const auto& [error, text] : known) {
        fake_.messages.clear();
        fake_.helpResult = error;
        Get<QPushButton>(kIdHelp)->click();
        ASSERT_EQ(fake_.messages.size(), 1u) << error;
        EXPECT_EQ(fake_.messages[0].text, text);
    }
    fake_.messages.clear();
    for (int silent : {0, EIO, ENOTDIR}) {
        fake_.helpResult = silent;
        Get<QPushButton>(kIdHelp)->click();
    }
    EXPECT_TRUE(fake_.messages.empty());

    const int calls = fake_.helpCalls;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(fake_.helpCalls, calls + 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(DialogTest, ContextMenuOffersTheAboutBox) {
    MainDialog& dialog = Open();
    const QList<QAction*> actions = dialog.ContextMenu()->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), "ﾊﾞｰｼﾞｮﾝ情報(tinta_dn_quor) (&A)...");

    QString caption;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* about = dynamic_cast<AboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        caption = about->windowTitle();
        text = about->findChild<QLabel*>("aboutText")->text();
        QTest::keyClick(about, Qt::Key_Return);  // the OK button
    });
    actions[0]->trigger();
    EXPECT_EQ(caption, "ﾊﾞｰｼﾞｮﾝ情報 tinta_dn_quor");
    EXPECT_EQ(text, "tinta_dn_quor Version 1.0");
}

}  // namespace
}  // namespace tinta::testing
