/* 色反転: every colour channel becomes its complement; alpha is left alone. */
#include "row_filter.h"

static void Invert(uint8_t* row, size_t byteCount) {
    size_t i;
    for (i = 0; i < byteCount; ++i) {
        row[i] = (uint8_t)(255u - row[i]);
    }
}

int32_t FilterGetTitle(int32_t reserved, char* title, int32_t* value1, int32_t* value2) {
    static const char kTitle[] = "色反転";
    (void)reserved;
    return CopyModuleTitle(kTitle, sizeof kTitle, title, value1, value2);
}

int32_t FilterProc(int32_t reserved, const ImageSizeRecord* size,
                   const PixelAccessTable* writeTable, const PixelAccessTable* readTable,
                   const char* pluginFolder, int32_t reserved2) {
    (void)reserved;
    (void)pluginFolder;
    (void)reserved2;
    return FilterEveryRow(size, writeTable, readTable, Invert);
}
