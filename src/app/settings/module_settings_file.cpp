#include "app/settings/module_settings_file.h"

#include <unistd.h>

namespace tinta {

void DeleteModuleSettingsFile() {
    // unlink() never removes a folder, as a file deletion should not.
    (void)::unlink(kModuleSettingsFile);
}

}  // namespace tinta
