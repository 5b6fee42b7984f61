/*
 * The interface between tinta_dn_quor and its filter modules. A module is a
 * shared library in ./tinta/ exporting FilterGetTitle, FilterOption and
 * FilterProc with C linkage. All values are 32 bits wide; texts are
 * NUL-terminated UTF-8 strings. Usable from C and C++.
 */
#ifndef TINTA_FILTER_H
#define TINTA_FILTER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The picture handed to FilterProc: width and height in pixels, and 24, the
 * bits per pixel of the colour the RGB callbacks exchange.
 */
typedef struct ImageSizeRecord {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
} ImageSizeRecord;

/*
 * Copies one span of row y, columns x0 to x1 inclusive (row 0 is the top
 * row), between the picture and buffer: 3 bytes per pixel (blue, green, red)
 * for colour, 1 byte per pixel for alpha. Returns 0, touching nothing, when
 * y, x0 or x1 lies outside the picture; 1 otherwise (a span with x1 < x0
 * transfers nothing). A write keeps the channels it does not carry.
 */
typedef int32_t (*PixelRowCallback)(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer);

/*
 * The three callback slots of a table: colour, alpha, and a reserved slot
 * that does nothing and returns 1.
 */
typedef struct PixelAccessTable {
    PixelRowCallback rgb;
    PixelRowCallback alpha;
    PixelRowCallback reserved;
} PixelAccessTable;

/* entry points a module exports with C linkage */

/*
 * FilterGetTitle(0, title, value1, value2): writes the display title into
 * the 80-byte buffer (at most 79 bytes and a NUL); the two values and the
 * result are kept by the host and not used.
 */
typedef int32_t (*FilterGetTitleEntry)(int32_t reserved, char* title /* 80 bytes */,
                                       int32_t* value1, int32_t* value2);

/*
 * FilterOption(0, "./tinta/", flag): the module's own settings; flag points
 * to a byte holding 0. The result and the byte are ignored.
 */
typedef int32_t (*FilterOptionEntry)(int32_t reserved, const char* pluginFolder, uint8_t* flag);

/*
 * FilterProc(0, size, writeTable, readTable, "./tinta/", 0): filters the
 * picture in place, reading through readTable and writing through
 * writeTable; both address the same picture and live only for this call.
 * The result is ignored.
 */
typedef int32_t (*FilterProcEntry)(int32_t reserved, const ImageSizeRecord* size,
                                   const PixelAccessTable* writeTable,
                                   const PixelAccessTable* readTable, const char* pluginFolder,
                                   int32_t reserved2);

#ifdef __cplusplus
}
#endif

#endif /* TINTA_FILTER_H */
