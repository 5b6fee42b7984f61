/* グレースケール: every pixel becomes the grey of its luminance
 * (ITU-R BT.601 weights); alpha is left alone. */
#include "row_filter.h"

static void ToGrey(uint8_t* row, size_t byteCount) {
    size_t i;
    for (i = 0; i < byteCount; i += 3) {
        const unsigned grey =
            (114u * row[i] + 587u * row[i + 1] + 299u * row[i + 2] + 500u) / 1000u;
        row[i] = row[i + 1] = row[i + 2] = (uint8_t)grey;
    }
}

int32_t FilterGetTitle(int32_t reserved, char* title, int32_t* value1, int32_t* value2) {
    static const char kTitle[] = "グレースケール";
    (void)reserved;
    return CopyModuleTitle(kTitle, sizeof kTitle, title, value1, value2);
}

int32_t FilterProc(int32_t reserved, const ImageSizeRecord* size,
                   const PixelAccessTable* writeTable, const PixelAccessTable* readTable,
                   const char* pluginFolder, int32_t reserved2) {
    (void)reserved;
    (void)pluginFolder;
    (void)reserved2;
    return FilterEveryRow(size, writeTable, readTable, ToGrey);
}
