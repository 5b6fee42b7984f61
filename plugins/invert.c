/* 色反転: every colour channel becomes its complement; alpha is left alone. */
#include <stdlib.h>
#include <string.h>

#include "tinta_filter.h"

int32_t FilterGetTitle(int32_t reserved, char* title, int32_t* value1, int32_t* value2) {
    static const char kTitle[] = "色反転";
    (void)reserved;
    if (title != NULL) {
        memcpy(title, kTitle, sizeof kTitle);
    }
    if (value1 != NULL) {
        *value1 = 0;
    }
    if (value2 != NULL) {
        *value2 = 0;
    }
    return 1;
}

int32_t FilterProc(int32_t reserved, const ImageSizeRecord* size,
                   const PixelAccessTable* writeTable, const PixelAccessTable* readTable,
                   const char* pluginFolder, int32_t reserved2) {
    uint8_t* row;
    int32_t y;
    (void)reserved;
    (void)pluginFolder;
    (void)reserved2;
    if (size == NULL || writeTable == NULL || readTable == NULL || size->width < 1) {
        return 0;
    }
    row = malloc((size_t)size->width * 3);
    if (row == NULL) {
        return 0;
    }
    for (y = 0; y < size->height; ++y) {
        size_t i;
        readTable->rgb(y, 0, size->width - 1, row);
        for (i = 0; i < (size_t)size->width * 3; ++i) {
            row[i] = (uint8_t)(255u - row[i]);
        }
        writeTable->rgb(y, 0, size->width - 1, row);
    }
    free(row);
    return 1;
}
