// The dialog over the real filter host, batch core and Qt's image formats,
// with the bundled modules of the build folder in the current folder's
// tinta/.
#pragma once

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>

#include "app/program/core_preview_port.h"
#include "app/program/real_services.h"
#include "app_dialog/dialog_fixture.h"

namespace tinta::testing {

class WiredDialogTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_TRUE(QDir().mkpath("tinta"));
        const QDir modules(QStringLiteral(TINTA_MODULE_DIR));
        for (const QString& name : modules.entryList({"*.so"}, QDir::Files)) {
            ASSERT_TRUE(QFile::copy(modules.filePath(name), "tinta/" + name));
        }
        ASSERT_TRUE(QDir().mkpath("in"));
        ASSERT_TRUE(QDir().mkpath("out"));
    }

    MainDialog& OpenWired() {
        dialog_ = std::make_unique<MainDialog>(
            DialogServices{filters_, formats_, batch_, fake_, fake_, &preview_});
        return *dialog_;
    }
    // Opens the dialog on in/ (and out/ when given) of the current folder,
    // listing *.PNG.
    MainDialog& OpenOn(const QString& in, const QString& out = {}) {
        MainDialog& dialog = OpenWired();
        fake_.folderAnswers = {in};
        Get<QPushButton>(kIdChooseInputFolder)->click();
        if (!out.isEmpty()) {
            fake_.folderAnswers = {out};
            Get<QPushButton>(kIdChooseOutputFolder)->click();
        }
        Choose(kIdInputMask, "*.PNG");
        return dialog;
    }
    // A run of 色反転 from in/ to out/ as *.BMP, the dialog shown.
    MainDialog& OpenInvertRun(const QString& in = QDir::current().filePath("in")) {
        MainDialog& dialog = OpenOn(in, QDir::current().filePath("out"));
        Choose(kIdOutputFormat, "*.BMP");
        Choose(kIdFilterList, "色反転");
        dialog.show();
        return dialog;
    }

    static void WritePicture(const QString& path, QColor colour) {
        QImage picture(5, 3, QImage::Format_ARGB32);
        picture.fill(colour);
        ASSERT_TRUE(picture.save(path));
    }
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    DialogHostMessages messages_{fake_};
    FilterHost host_{messages_};
    HostFilterPort filters_{host_};
    QtFormatPort formats_;
    CoreBatchPort batch_{host_, fake_};
    CorePreviewPort preview_{host_};
};

}  // namespace tinta::testing
