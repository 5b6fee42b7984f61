// "プレビュー" over the real filter host and batch core, with the bundled
// modules of the build folder in ./tinta/.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>

#include "app/dialog/preview_window.h"
#include "app/program/core_preview_port.h"
#include "app/program/real_services.h"
#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {
namespace {

class WiredPreviewTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_TRUE(QDir().mkpath("tinta"));
        const QDir modules(QStringLiteral(TINTA_MODULE_DIR));
        for (const QString& name : modules.entryList({"*.so"}, QDir::Files)) {
            ASSERT_TRUE(QFile::copy(modules.filePath(name), "tinta/" + name));
        }
        ASSERT_TRUE(QDir().mkpath("in"));
        // 9 x 1: a white pixel in the middle of black, and a transparent
        // pixel right of an opaque red one at the end.
        QImage line(9, 1, QImage::Format_ARGB32);
        line.fill(qRgba(0, 0, 0, 255));
        line.setPixel(4, 0, qRgba(255, 255, 255, 255));
        line.setPixel(7, 0, qRgba(255, 0, 0, 255));
        line.setPixel(8, 0, qRgba(0, 0, 0, 0));
        ASSERT_TRUE(line.save("in/line.png"));
        QFile broken("in/broken.png");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
    }

    PreviewWindow* Preview(const QString& filter, const QString& entry, bool edging) {
        if (dialog_ == nullptr) {
            DialogServices services{filters_, formats_, batch_, fake_, fake_, &preview_};
            dialog_ = std::make_unique<MainDialog>(services);
            fake_.folderAnswers = {QDir::current().filePath("in")};
            Get<QPushButton>(kIdChooseInputFolder)->click();
            auto* mask = Get<QComboBox>(kIdInputMask);
            mask->setCurrentIndex(mask->findText("*.PNG"));
        }
        auto* filters = Get<QComboBox>(kIdFilterList);
        filters->setCurrentIndex(filters->findText(filter));
        Get<QCheckBox>(kIdEdging)->setChecked(edging);
        auto* list = Get<QListWidget>(kIdInputFileList);
        list->setCurrentItem(list->findItems(entry, Qt::MatchExactly).value(0));
        Get<QPushButton>(kIdPreview)->click();
        return dialog_->findChild<PreviewWindow*>();
    }

    DialogHostMessages messages_{fake_};
    FilterHost host_{messages_};
    HostFilterPort filters_{host_};
    QtFormatPort formats_;
    CoreBatchPort batch_{host_, fake_};
    CorePreviewPort preview_{host_};
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
    {
        // What the module's settings dialog stores.
        QFile settings("blur.dat");
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("radius=4\n");
    }
    const QImage wide = Preview("ぼかし", "line.png", false)->After();
    EXPECT_EQ(qRed(narrow.pixel(1, 0)), 0);
    EXPECT_GT(qRed(wide.pixel(1, 0)), 0) << "the white pixel reaches three pixels away";
}

}  // namespace
}  // namespace tinta::testing
