// The dialog over the real filter host, batch core and Qt's image formats,
// with the modules built into the build folder's tinta/.
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <filesystem>

#include "app/dialog/file_name_text.h"
#include "app_dialog/wired/wired_fixture.h"

namespace tinta::testing {
namespace {

TEST_F(WiredDialogTest, RunFiltersEveryListedFileAndReportsTheOnesThatFailed) {
    ASSERT_TRUE(QDir().mkpath("in/sub.png"));
    WritePicture("in/red.png", QColor(255, 0, 0));
    WritePicture("in/Blue.PNG", QColor(0, 0, 255, 255));
    WriteFile("in/broken.png", "not a picture");
    OpenInvertRun();
    EXPECT_EQ(Items(kIdInputFileList),
              QStringList({"[sub.png]", "Blue.PNG", "broken.png", "red.png"}));
    Get<QPushButton>(kIdRun)->click();

    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "完了");
    EXPECT_TRUE(fake_.messages[0].details.contains("broken.png"))
        << fake_.messages[0].details.toStdString();
    EXPECT_FALSE(fake_.messages[0].details.contains("red.png"));
    EXPECT_EQ(Get<QProgressBar>(kIdProgress)->value(), 0);

    const QImage red("out/red.BMP");
    const QImage blue("out/Blue.BMP");
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(blue.isNull());
    EXPECT_EQ(red.pixelColor(2, 1), QColor(0, 255, 255));
    EXPECT_EQ(blue.pixelColor(0, 0), QColor(255, 255, 0));
    EXPECT_FALSE(QFile::exists("out/broken.BMP"));
}

// "テスト" in CP932, as names from Windows archives come: not UTF-8.
constexpr char kCp932Name[] = "\x83\x65\x83\x58\x83\x67";

TEST_F(WiredDialogTest, NamesThatAreNotUtf8KeepTheirBytesFromListToOutput) {
    namespace fs = std::filesystem;
    const std::string folder = fs::current_path().string() + "/in/" + kCp932Name;
    ASSERT_TRUE(fs::create_directory(folder));
    const std::string picture = folder + "/" + kCp932Name + ".png";
    {
        QImage red(5, 3, QImage::Format_ARGB32);
        red.fill(QColor(255, 0, 0));
        ASSERT_TRUE(red.save("tmp.png"));
        fs::rename("tmp.png", picture);
    }
    OpenInvertRun(FileNameText(folder));
    ASSERT_EQ(Items(kIdInputFileList).size(), 1);
    EXPECT_EQ(Items(kIdInputFileList)[0], QString::fromUtf8("\uFFFDe\uFFFDX\uFFFDg.png"));
    EXPECT_TRUE(Get<QLineEdit>(kIdInputFolder)
                    ->text()
                    .endsWith(QString::fromUtf8("/\uFFFDe\uFFFDX\uFFFDg")));
    Get<QPushButton>(kIdRun)->click();
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "完了");
    EXPECT_TRUE(fake_.messages[0].details.isEmpty()) << fake_.messages[0].details.toStdString();
    EXPECT_TRUE(fs::is_regular_file("out/" + std::string(kCp932Name) + ".BMP"));
    // Qt's temporary folder cannot remove names it cannot spell.
    fs::remove_all(folder);
    fs::remove("out/" + std::string(kCp932Name) + ".BMP");
}

TEST_F(WiredDialogTest, StopDuringARunLeavesWholeFilesAndSaysSoWithTheCounts) {
    ASSERT_TRUE(QDir().mkpath("in/sub.png"));
    for (int i = 0; i < 12; ++i) {
        WritePicture(QStringLiteral("in/p%1.png").arg(i, 2, 10, QLatin1Char('0')), QColor(1, 2, 3));
    }
    // A filter that takes its time, so that the stop comes mid-run.
    ASSERT_TRUE(QFile::copy(QStringLiteral(TEST_MODULE_DIR) + "recorder.so", "tinta/recorder.so"));
    qputenv("TINTA_TEST_MODULE_DELAY_MS", "40");
    MainDialog& dialog = OpenOn(QDir::current().filePath("in"), QDir::current().filePath("out"));
    Choose(kIdFilterList, "Recorder");
    dialog.show();

    auto* run = Get<QPushButton>(kIdRun);
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        // The folder entry [sub.png] and three files are done.
        if (Get<QProgressBar>(kIdProgress)->value() >= 4 && run->text() == "中止") {
            run->click();
            watcher.stop();
        }
    });
    watcher.start(5);
    run->click();
    qunsetenv("TINTA_TEST_MODULE_DELAY_MS");

    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "中止しました");
    const QString details = fake_.messages[0].details;
    EXPECT_TRUE(details.contains("未処理")) << details.toStdString();
    const QStringList written = QDir("out").entryList(QDir::Files | QDir::Hidden);
    EXPECT_GE(written.size(), 3);
    EXPECT_LT(written.size(), 12);
    EXPECT_TRUE(details.startsWith(
        QStringLiteral("書き込み %1 件、失敗 0 件、フォルダー 1 件、未処理 %2 件")
            .arg(written.size())
            .arg(12 - written.size())))
        << details.toStdString();
    for (const QString& name : written) {
        EXPECT_FALSE(QImage("out/" + name).isNull()) << name.toStdString();
    }
}

TEST_F(WiredDialogTest, SettingsOfAFilterWithoutSettingsSaysSo) {
    OpenWired();
    Choose(kIdFilterList, "色反転");
    Get<QPushButton>(kIdSettings)->click();
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "このフィルターに設定項目はありません");
}

TEST_F(WiredDialogTest, UnreadableInputFolderGivesAnEmptyListAndAMessage) {
    {
        QSettings profile(ProfilePath(), QSettings::IniFormat);
        profile.setValue("INPUT/FOLDER", QDir::current().filePath("gone"));
    }
    WritePicture("stray.png", QColor(1, 2, 3));
    OpenWired();
    Choose(kIdInputMask, "*.PNG");
    EXPECT_TRUE(Items(kIdInputFileList).isEmpty());
    ASSERT_FALSE(fake_.messages.empty());
    EXPECT_TRUE(fake_.messages.back().text.contains("gone"));
}

TEST_F(WiredDialogTest, ExistingOutputsAreReplacedSkippedOrRenamedAsAnswered) {
    WritePicture("in/red.png", QColor(255, 0, 0));
    WritePicture("in/green.png", QColor(0, 255, 0));
    OpenInvertRun();
    WriteFile("out/red.BMP", "earlier result");

    fake_.existingAnswer = ExistingOutputs::kSkip;
    Get<QPushButton>(kIdRun)->click();
    EXPECT_EQ(fake_.existingQuestions, std::vector<int>({1}));
    EXPECT_EQ(QFileInfo("out/red.BMP").size(), 14);
    EXPECT_FALSE(QImage("out/green.BMP").isNull());
    EXPECT_TRUE(fake_.messages.back().details.contains("スキップ 1 件"))
        << fake_.messages.back().details.toStdString();

    fake_.existingAnswer = ExistingOutputs::kRename;
    Get<QPushButton>(kIdRun)->click();
    EXPECT_EQ(fake_.existingQuestions, std::vector<int>({1, 2}));
    EXPECT_EQ(QFileInfo("out/red.BMP").size(), 14);
    EXPECT_EQ(QImage("out/red (2).BMP").pixelColor(0, 0), QColor(0, 255, 255));
    EXPECT_FALSE(QImage("out/green (2).BMP").isNull());

    fake_.existingAnswer = ExistingOutputs::kReplace;
    Get<QPushButton>(kIdRun)->click();
    EXPECT_EQ(QImage("out/red.BMP").pixelColor(0, 0), QColor(0, 255, 255));

    fake_.existingAnswer = std::nullopt;
    WriteFile("out/red.BMP", "earlier result");
    const size_t messages = fake_.messages.size();
    Get<QPushButton>(kIdRun)->click();
    EXPECT_EQ(QFileInfo("out/red.BMP").size(), 14);
    EXPECT_EQ(fake_.messages.size(), messages);
    EXPECT_EQ(QDir("out").entryList(QDir::Files).size(), 4);
}

}  // namespace
}  // namespace tinta::testing
