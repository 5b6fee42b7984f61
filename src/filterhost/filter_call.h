// One FilterProc call over a work image, with the arguments every module
// expects: (0, {width, height, 24}, WriteTable, ReadTable, plugin folder, 0).
#pragma once

#include <string>

#include "tinta_filter.h"
#include "workimage/work_image.h"

namespace tinta {

// Makes image the CurrentWorkImage for the length of the call and clears the
// slot afterwards. Returns the module's result (which the run ignores).
int32_t CallFilterProc(FilterProcEntry proc, WorkImage& image, const std::string& pluginFolder);

}  // namespace tinta
