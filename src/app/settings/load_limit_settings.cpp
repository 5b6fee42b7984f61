#include "app/settings/load_limit_settings.h"

#include <QSettings>

#include "app/settings/folder_settings.h"
#include "workimage/trace.h"

namespace tinta {

std::optional<uint64_t> ReadMaxPixelsSetting() {
    const QSettings profile(FolderSettingsPath(), QSettings::IniFormat);
    const QVariant value = profile.value("LIMITS/MAX_PIXELS");
    if (!value.isValid()) {
        return std::nullopt;
    }
    bool number = false;
    const qulonglong pixels = value.toString().trimmed().toULongLong(&number);
    if (!number || pixels == 0) {
        TraceLine("ReadMaxPixelsSetting: ignored [LIMITS] MAX_PIXELS=" +
                  value.toString().toStdString());
        return std::nullopt;
    }
    return static_cast<uint64_t>(pixels);
}

}  // namespace tinta
