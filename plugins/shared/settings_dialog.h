// The settings dialog of a module: one spin box per setting, OK and Cancel.
// Shown only when the host runs a Qt Widgets application; a host without one
// (the command-line runner) gets no dialog.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <vector>

#include "settings_file.h"

namespace tinta_module {

inline bool WidgetsApplicationRunning() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

// Lets the user edit settings; true when the user confirmed with OK.
inline bool EditSettings(const char* caption, std::vector<Setting>& settings) {
    if (!WidgetsApplicationRunning()) {
        return false;
    }
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromUtf8(caption));
    auto* layout = new QFormLayout(&dialog);
    std::vector<QSpinBox*> boxes;
    for (const Setting& setting : settings) {
        auto* box = new QSpinBox(&dialog);
        box->setRange(setting.minimum, setting.maximum);
        box->setValue(setting.value);
        layout->addRow(QString::fromUtf8(setting.label), box);
        boxes.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    for (size_t i = 0; i < settings.size(); ++i) {
        settings[i].value = boxes[i]->value();
    }
    return true;
}

// The FilterOption body of a module with settings: edit them and store what
// the user confirmed. 0 when anything went wrong, 1 otherwise.
inline int32_t EditAndStoreSettings(const char* caption, const char* path,
                                    std::vector<Setting> settings) {
    try {
        if (EditSettings(caption, settings)) {
            WriteSettings(path, settings);
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace tinta_module
