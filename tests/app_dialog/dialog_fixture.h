// A temporary configuration folder (XDG_CONFIG_HOME) and current folder for
// every dialog test, and helpers to reach the dialog's controls.
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "app/dialog/dialog_ids.h"
#include "app/dialog/main_dialog.h"
#include "app_dialog/fake_services.h"
#include "support/user_folders_sandbox.h"

// Readable texts in failure reports.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tinta::testing {

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folders_.isValid()); }
    void TearDown() override { dialog_.reset(); }

    MainDialog& Open() {
        dialog_ = std::make_unique<MainDialog>(fake_.Services());
        return *dialog_;
    }

    template <typename Widget>
    Widget* Get(int id) {
        auto* widget = qobject_cast<Widget*>(dialog_->Control(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    QStringList Items(int id) {
        QStringList texts;
        if (auto* box = qobject_cast<QComboBox*>(dialog_->Control(id))) {
            for (int i = 0; i < box->count(); ++i) {
                texts << box->itemText(i);
            }
        } else if (auto* list = qobject_cast<QListWidget*>(dialog_->Control(id))) {
            for (int i = 0; i < list->count(); ++i) {
                texts << list->item(i)->text();
            }
        }
        return texts;
    }
    // Picks the entry of a combo box by its text.
    void Choose(int id, const QString& text) {
        auto* box = Get<QComboBox>(id);
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
    }
    QString ProfilePath() const { return folders_.ConfigPath() + "/tinta_dn_quor.ini"; }

    UserFoldersSandbox folders_;
    FakeServices fake_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace tinta::testing
