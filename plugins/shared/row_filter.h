/* The parts the C modules share: the title entry and a FilterProc body that
 * hands each colour row to a per-row function and writes it back. */
#ifndef TINTA_ROW_FILTER_H
#define TINTA_ROW_FILTER_H

#include <stdlib.h>
#include <string.h>

#include "tinta_filter.h"

static int32_t CopyModuleTitle(const char* text, size_t length, char* title, int32_t* value1,
                               int32_t* value2) {
    if (title != NULL) {
        memcpy(title, text, length);
    }
    if (value1 != NULL) {
        *value1 = 0;
    }
    if (value2 != NULL) {
        *value2 = 0;
    }
    return 1;
}

/* Reads every row's colour (blue, green, red per pixel), lets transform
 * rewrite its byteCount bytes, and writes it back; alpha stays. */
static int32_t FilterEveryRow(const ImageSizeRecord* size, const PixelAccessTable* writeTable,
                              const PixelAccessTable* readTable,
                              void (*transform)(uint8_t* row, size_t byteCount)) {
    uint8_t* row;
    size_t byteCount;
    int32_t y;
    if (size == NULL || writeTable == NULL || readTable == NULL || size->width < 1) {
        return 0;
    }
    byteCount = (size_t)size->width * 3;
    row = malloc(byteCount);
    if (row == NULL) {
        return 0;
    }
    for (y = 0; y < size->height; ++y) {
        readTable->rgb(y, 0, size->width - 1, row);
        transform(row, byteCount);
        writeTable->rgb(y, 0, size->width - 1, row);
    }
    free(row);
    return 1;
}

#endif /* TINTA_ROW_FILTER_H */
