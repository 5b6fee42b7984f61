// The "プレビュー" command over a fake preview port: which entry is shown,
// what the window shows, and the pictures over the checkerboard.
#include <QImage>
#include <QPushButton>

#include "app/dialog/checkerboard.h"
#include "app/dialog/picture_pane.h"
#include "app/dialog/preview_window.h"
#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {
namespace {

struct PreviewRequest {
    QString folder;
    QString entry;
    bool edging = false;
};

struct FakePreview : PreviewPort {
    PreviewContent MakePreview(const QString& folder, const QString& entry, bool edging) override {
        requests.push_back({folder, entry, edging});
        return content;
    }
    PreviewContent content;
    std::vector<PreviewRequest> requests;
};

QImage Filled(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}

class PreviewCommandTest : public DialogTest {
  protected:
    MainDialog& OpenWithPreview() {
        DialogServices services = fake_.Services();
        services.preview = &preview_;
        dialog_ = std::make_unique<MainDialog>(services);
        return *dialog_;
    }
    PreviewWindow* Press() {
        Get<QPushButton>(kIdPreview)->click();
        return dialog_->findChild<PreviewWindow*>();
    }
    void SelectEntry(const QString& text) {
        auto* list = Get<QListWidget>(kIdInputFileList);
        const auto items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        list->setCurrentItem(items.front());
    }

    FakePreview preview_;
};

TEST_F(PreviewCommandTest, ShowsTheSelectedEntryOrElseTheFirstFileWithTheRunSettings) {
    OpenWithPreview();
    ASSERT_EQ(Items(kIdInputFileList).front(), "[sub]");
    Get<QCheckBox>(kIdEdging)->setChecked(true);

    Press();
    SelectEntry("c.PNG");
    Press();
    Get<QCheckBox>(kIdEdging)->setChecked(false);
    SelectEntry("[sub]");
    Press();

    ASSERT_EQ(preview_.requests.size(), 3u);
    EXPECT_EQ(preview_.requests[0].entry, "A.PNG");
    EXPECT_TRUE(preview_.requests[0].edging);
    EXPECT_EQ(preview_.requests[0].folder, dialog_->InputFolder());
    EXPECT_EQ(preview_.requests[1].entry, "c.PNG");
    EXPECT_EQ(preview_.requests[2].entry, "[sub]");
    EXPECT_FALSE(preview_.requests[2].edging);
    EXPECT_EQ(dialog_->findChildren<PreviewWindow*>().size(), 1) << "one window, reused";
}

TEST_F(PreviewCommandTest, WindowShowsBothPicturesAndTheSizeAndANewResultWhenPressedAgain) {
    OpenWithPreview();
    preview_.content = {Filled(6, 4, qRgb(255, 0, 0)), Filled(6, 4, qRgb(0, 255, 255)), {}};
    PreviewWindow* window = Press();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Before().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(window->After().pixel(5, 3), qRgb(0, 255, 255));
    EXPECT_EQ(window->InfoText(), "A.PNG  6 × 4");
    EXPECT_TRUE(window->ProblemText().isEmpty());

    preview_.content.after = Filled(6, 4, qRgb(0, 0, 255));
    window->close();
    EXPECT_EQ(Press(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->After().pixel(0, 0), qRgb(0, 0, 255));
}

TEST_F(PreviewCommandTest, MissingPicturesShowTheReasonOrAPlainText) {
    OpenWithPreview();
    preview_.content = {{}, {}, QStringLiteral("壊れています")};
    PreviewWindow* window = Press();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ProblemText(), "壊れています");
    EXPECT_TRUE(window->Before().isNull());
    EXPECT_EQ(window->InfoText(), "A.PNG");

    preview_.content = {};
    Press();
    EXPECT_EQ(window->ProblemText(), QString::fromUtf8(kPreviewNotLoadedMessage));
}

TEST_F(PreviewCommandTest, EmptyListShowsThatThereIsNoFileWithoutAskingThePort) {
    fake_.lister = [](const QString&, const QString&) { return QStringList(); };
    OpenWithPreview();
    PreviewWindow* window = Press();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(preview_.requests.empty());
    EXPECT_EQ(window->ProblemText(), QString::fromUtf8(kPreviewNoFileMessage));
}

TEST_F(PreviewCommandTest, WithoutAPreviewPortTheButtonDoesNothing) {
    Open();
    Get<QPushButton>(kIdPreview)->click();
    EXPECT_EQ(dialog_->findChild<PreviewWindow*>(), nullptr);
}

TEST(CheckerboardTest, PicturesFitTheRoomKeepingTheirShape) {
    EXPECT_EQ(FitInside({400, 100}, {200, 200}), QSize(200, 50));
    EXPECT_EQ(FitInside({1, 1}, {300, 200}), QSize(200, 200));
    EXPECT_EQ(FitInside({1000, 1}, {100, 100}), QSize(100, 1));
    EXPECT_TRUE(FitInside({0, 0}, {100, 100}).isEmpty());
    EXPECT_TRUE(FitInside({10, 10}, {0, 100}).isEmpty());
}

TEST(CheckerboardTest, TransparentAreasShowTheSquaresAndOpaqueOnesThePicture) {
    QImage picture = Filled(2, 1, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 0, qRgba(255, 0, 0, 255));
    const QImage shown = OnCheckerboard(picture, {4 * kCheckerSquare, 2 * kCheckerSquare});

    ASSERT_EQ(shown.size(), QSize(4 * kCheckerSquare, 2 * kCheckerSquare));
    const QRgb light = shown.pixel(0, 0);
    const QRgb dark = shown.pixel(kCheckerSquare, 0);
    EXPECT_NE(light, dark);
    EXPECT_EQ(shown.pixel(0, kCheckerSquare), dark);
    EXPECT_EQ(shown.pixel(kCheckerSquare, kCheckerSquare), light);
    // Enlarged pixel by pixel: the right half is all red.
    EXPECT_EQ(shown.pixel(2 * kCheckerSquare, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(4 * kCheckerSquare - 1, 2 * kCheckerSquare - 1), qRgb(255, 0, 0));
    EXPECT_TRUE(OnCheckerboard(QImage(), {10, 10}).isNull());
}

TEST(CheckerboardTest, PaneDrawsThePictureCentredAndScaledToFit) {
    PicturePane pane;
    pane.resize(200, 100);
    pane.SetPicture(Filled(10, 10, qRgb(0, 0, 255)));
    const QImage drawn = pane.grab().toImage();
    const qreal scale = drawn.width() / 200.0;
    EXPECT_EQ(drawn.pixel(int(100 * scale), int(50 * scale)), qRgb(0, 0, 255));
    EXPECT_EQ(drawn.pixel(int(51 * scale), int(50 * scale)), qRgb(0, 0, 255));
    EXPECT_NE(drawn.pixel(int(10 * scale), int(50 * scale)), qRgb(0, 0, 255)) << "left margin";
}

}  // namespace
}  // namespace tinta::testing
