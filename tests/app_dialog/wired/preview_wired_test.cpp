// "プレビュー" over the real filter host and batch core, with the bundled
// modules of the build folder in ./tinta/.
#include <filesystem>

#include "app/dialog/preview_window.h"
#include "app_dialog/wired/wired_fixture.h"

namespace tinta::testing {
namespace {

class WiredPreviewTest : public WiredDialogTest {
  protected:
    void SetUp() override {
        WiredDialogTest::SetUp();
        // 9 x 1: a white pixel in the middle of black, and a transparent
        // pixel right of an opaque red one at the end.
        QImage line(9, 1, QImage::Format_ARGB32);
        line.fill(qRgba(0, 0, 0, 255));
        line.setPixel(4, 0, qRgba(255, 255, 255, 255));
        line.setPixel(7, 0, qRgba(255, 0, 0, 255));
        line.setPixel(8, 0, qRgba(0, 0, 0, 0));
        ASSERT_TRUE(line.save("in/line.png"));
        WriteFile("in/broken.png", "not a picture");
    }

    PreviewWindow* Preview(const QString& filter, const QString& entry, bool edging) {
        if (dialog_ == nullptr) {
            OpenOn(QDir::current().filePath("in"));
        }
        Choose(kIdFilterList, filter);
        Get<QCheckBox>(kIdEdging)->setChecked(edging);
        auto* list = Get<QListWidget>(kIdInputFileList);
        list->setCurrentItem(list->findItems(entry, Qt::MatchExactly).value(0));
        Get<QPushButton>(kIdPreview)->click();
        return dialog_->findChild<PreviewWindow*>();
    }
};

TEST_F(WiredPreviewTest, ShowsThePictureBeforeAndAfterTheModuleAndWritesNothing) {
    const QStringList filesBefore =
        QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    PreviewWindow* window = Preview("色反転", "line.png", false);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(window->Before().pixel(4, 0), qRgba(255, 255, 255, 255));
    EXPECT_EQ(window->After().pixel(4, 0), qRgba(0, 0, 0, 255));
    EXPECT_EQ(window->After().pixel(7, 0), qRgba(0, 255, 255, 255));
    EXPECT_EQ(window->InfoText(), "line.png  9 × 1");
    EXPECT_TRUE(window->ProblemText().isEmpty());
    EXPECT_EQ(QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    EXPECT_EQ(QDir("in").entryList(QDir::Files), QStringList({"broken.png", "line.png"}));
    EXPECT_TRUE(fake_.messages.empty());
}

TEST_F(WiredPreviewTest, EdgingIsAppliedOnlyWhenTicked) {
    const QImage plain = Preview("色反転", "line.png", false)->Before();
    const QImage edged = Preview("色反転", "line.png", true)->Before();
    EXPECT_EQ(plain.pixel(8, 0), qRgba(0, 0, 0, 0));
    EXPECT_EQ(edged.pixel(8, 0), qRgba(255, 0, 0, 0));
}

TEST_F(WiredPreviewTest, FileThatDoesNotLoadShowsItsReason) {
    PreviewWindow* window = Preview("色反転", "broken.png", false);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->Before().isNull());
    EXPECT_TRUE(window->After().isNull());
    EXPECT_FALSE(window->ProblemText().isEmpty());
    EXPECT_NE(window->ProblemText(), QString::fromUtf8(kPreviewNotLoadedMessage))
        << "the reason of the load, not the plain text";
}

TEST_F(WiredPreviewTest, PressingAgainAfterNewModuleSettingsShowsTheNewResult) {
    const QImage narrow = Preview("ぼかし", "line.png", false)->After();
    WriteFile("blur.dat", "radius=4\n");  // what the module's settings dialog stores
    const QImage wide = Preview("ぼかし", "line.png", false)->After();
    EXPECT_EQ(qRed(narrow.pixel(1, 0)), 0);
    EXPECT_GT(qRed(wide.pixel(1, 0)), 0) << "the white pixel reaches three pixels away";
}

TEST_F(WiredPreviewTest, NameThatIsNotUtf8IsPreviewedByItsBytes) {
    namespace fs = std::filesystem;
    const std::string cp932 = "\x83\x65\x83\x58\x83\x67";  // "テスト" in CP932
    fs::copy_file("in/line.png", "in/" + cp932 + ".png");
    fs::remove("in/line.png");
    fs::remove("in/broken.png");
    PreviewWindow* window =
        Preview("色反転", QString(), false);  // nothing selected: the first file
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->ProblemText().isEmpty()) << window->ProblemText().toStdString();
    EXPECT_EQ(window->After().pixel(4, 0), qRgba(0, 0, 0, 255));
    fs::remove("in/" + cp932 +
               ".png");  // Qt's temporary folder cannot remove names it cannot spell
}

}  // namespace
}  // namespace tinta::testing
