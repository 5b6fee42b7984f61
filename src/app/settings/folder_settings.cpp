#include "app/settings/folder_settings.h"

#include <QSettings>
#include <QStandardPaths>

#include "workimage/trace.h"

namespace tinta {
namespace {

constexpr char kOutputKey[] = "OUTPUT/FOLDER";
constexpr char kInputKey[] = "INPUT/FOLDER";

QSettings OpenProfile() {
    return QSettings(FolderSettingsPath(), QSettings::IniFormat);
}

}  // namespace

QString FolderSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tinta_dn_quor.ini");
}

FolderSettings ReadFolderSettings() {
    QSettings profile = OpenProfile();
    FolderSettings folders;
    folders.outputFolder = profile.value(kOutputKey, QString(kDefaultFolder)).toString();
    folders.inputFolder = profile.value(kInputKey, QString(kDefaultFolder)).toString();
    return folders;
}

void WriteFolderSettings(const FolderSettings& folders) {
    QSettings profile = OpenProfile();
    profile.setValue(kOutputKey, folders.outputFolder);
    profile.setValue(kInputKey, folders.inputFolder);
    profile.sync();
    if (profile.status() != QSettings::NoError) {
        TraceLine("WriteFolderSettings: could not write " + FolderSettingsPath().toStdString());
    }
}

}  // namespace tinta
