// The dialog as it opens: template, caption, format lists, filter list.
#include "app/dialog/dialog_template.h"
#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {
namespace {

TEST_F(DialogTest, OpensFixedSizeWithCaptionIconAndEveryControlInside) {
    MainDialog& dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), "Tintaフィルター連続適用");
    EXPECT_FALSE(dialog.windowIcon().pixmap(32, 32).isNull());
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect client(QPoint(0, 0), dialog.size());
    for (const ControlTemplate& control : MainDialogTemplate()) {
        if (control.id != kIdStatic) {
            QWidget* widget = dialog.Control(control.id);
            ASSERT_NE(widget, nullptr) << control.id;
            EXPECT_TRUE(client.contains(widget->geometry())) << control.id;
        }
    }
    EXPECT_TRUE(Get<QPushButton>(kIdRun)->isDefault());
}

TEST_F(DialogTest, FormatListsHoldEriAndTgaAndTheImageFormatsSortedIgnoringCase) {
    fake_.formats = {true,
                     {"*.png", "*.BMP", "*.JPG", "*.JPEG", "*.EMF"},
                     {"*.png", "*.BMP", "*.JPG", "*.JPEG"}};
    Open();
    EXPECT_EQ(Items(kIdInputMask),
              QStringList({"*.BMP", "*.EMF", "*.ERI", "*.JPEG", "*.JPG", "*.png"}));
    EXPECT_EQ(Items(kIdOutputFormat), QStringList({"*.BMP", "*.JPEG", "*.JPG", "*.png", "*.TGA"}));
    EXPECT_EQ(Get<QComboBox>(kIdInputMask)->currentIndex(), 0);
    EXPECT_EQ(Get<QComboBox>(kIdOutputFormat)->currentIndex(), 0);
    EXPECT_TRUE(fake_.messages.empty());
}

TEST_F(DialogTest, WithoutImagePluginsSaysSoAndOffersOnlyEriAndTga) {
    fake_.formats = {false, {"*.PNG"}, {"*.PNG"}};
    Open();
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_TRUE(fake_.messages[0].text.startsWith("Qt の画像プラグイン"))
        << fake_.messages[0].text.toStdString();
    EXPECT_EQ(Items(kIdInputMask), QStringList({"*.ERI"}));
    EXPECT_EQ(Items(kIdOutputFormat), QStringList({"*.TGA"}));
}

TEST_F(DialogTest, FilterListKeepsDiscoveryOrderAndSelectsTheChosenModule) {
    Open();
    EXPECT_EQ(Items(kIdFilterList), QStringList({"ぼかし", "Alpha", "色反転"}));
    EXPECT_EQ(Get<QComboBox>(kIdFilterList)->currentIndex(), 0);
    EXPECT_EQ(fake_.discoveries, 1);
    EXPECT_TRUE(fake_.selections.empty()) << "discovery selects the first module itself";

    Get<QComboBox>(kIdFilterList)->setCurrentIndex(2);
    Get<QComboBox>(kIdFilterList)->setCurrentIndex(1);
    EXPECT_EQ(fake_.selections, std::vector<int>({2, 1}));
    EXPECT_EQ(fake_.listings.size(), 1u) << "a new filter does not refresh the file list";
}

TEST_F(DialogTest, WithoutModulesTheListIsEmptyAndNoModuleIsSelected) {
    fake_.titles.clear();
    Open();
    EXPECT_TRUE(Items(kIdFilterList).isEmpty());
    EXPECT_EQ(Get<QComboBox>(kIdFilterList)->currentIndex(), -1);
    Get<QPushButton>(kIdRun)->click();
    EXPECT_TRUE(fake_.selections.empty());
    EXPECT_EQ(fake_.jobs.size(), 1u);
}

TEST_F(DialogTest, SettingsOpensTheModulesDialogOrSaysThereIsNone) {
    Open();
    Get<QPushButton>(kIdSettings)->click();
    EXPECT_EQ(fake_.settingsOpened, 1);
    EXPECT_TRUE(fake_.messages.empty());

    fake_.filterHasSettings = false;
    Get<QPushButton>(kIdSettings)->click();
    ASSERT_EQ(fake_.messages.size(), 1u);
    EXPECT_EQ(fake_.messages[0].text, "このフィルターに設定項目はありません");
}

}  // namespace
}  // namespace tinta::testing
