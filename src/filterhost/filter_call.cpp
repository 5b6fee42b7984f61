#include "filter_call.h"

#include "pixel_callbacks.h"

namespace tinta {

int32_t CallFilterProc(FilterProcEntry proc, WorkImage& image, const std::string& pluginFolder) {
    const ImageSizeRecord size{image.width, image.height, 24};
    const PixelAccessTable writeTable = WriteTable;
    const PixelAccessTable readTable = ReadTable;
    CurrentWorkImageScope current(&image);
    return proc(0, &size, &writeTable, &readTable, pluginFolder.c_str(), 0);
}

}  // namespace tinta
