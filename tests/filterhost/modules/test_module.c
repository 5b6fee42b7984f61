/* A filter module for the tests, built in several variants: the entry points
 * it has (WITH_TITLE, WITH_OPTION, WITH_PROC) and its tag and title are set
 * at build time. Every load, unload and call is appended as one line to the
 * file named by TINTA_TEST_MODULE_LOG.
 *
 * FilterProc visits the pixels from the last to the first, one pixel at a
 * time: colour becomes its complement and alpha becomes 255 - alpha. It also
 * tries a reversed span, the reserved slot and a span past the right edge and
 * logs what they returned. With WITH_CALL_RECORD, it logs "enter <thread>
 * <width>x<height>" and "leave <thread>" around its work, so a test sees
 * which thread called and whether two calls overlapped, and it sleeps
 * TINTA_TEST_MODULE_DELAY_MS milliseconds in each call when that is set. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#ifdef WITH_CALL_RECORD
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "tinta_filter.h"

/* Appends "<what> <tag><details>" as one line. */
static void LogLine(const char* what, const char* details) {
    const char* path = getenv("TINTA_TEST_MODULE_LOG");
    FILE* log;
    if (path == NULL || (log = fopen(path, "a")) == NULL) {
        return;
    }
    fprintf(log, "%s %s%s\n", what, MODULE_TAG, details);
    fclose(log);
}

__attribute__((constructor)) static void Loaded(void) {
    LogLine("load", "");
}

__attribute__((destructor)) static void Unloaded(void) {
    LogLine("unload", "");
}

#ifdef WITH_TITLE
int32_t FilterGetTitle(int32_t reserved, char* title, int32_t* value1, int32_t* value2) {
    char details[32];
    snprintf(details, sizeof details, " %ld", (long)reserved);
    LogLine("title", details);
    strcpy(title, MODULE_TITLE);
    *value1 = 11;
    *value2 = 22;
    return 33;
}
#endif

#ifdef WITH_OPTION
int32_t FilterOption(int32_t reserved, const char* pluginFolder, uint8_t* flag) {
    char details[300];
    snprintf(details, sizeof details, " %s %ld %d", pluginFolder, (long)reserved, *flag);
    LogLine("option", details);
    return 1;
}
#endif

#ifdef WITH_PROC
int32_t FilterProc(int32_t reserved, const ImageSizeRecord* size,
                   const PixelAccessTable* writeTable, const PixelAccessTable* readTable,
                   const char* pluginFolder, int32_t reserved2) {
    uint8_t spare[6] = {7, 7, 7, 7, 7, 7};
    int32_t x;
    int32_t y;
    long reversed;
    long outside;
    long reservedSlots;
    char details[300];
    snprintf(details, sizeof details, " %s %ldx%ldx%ld %ld %ld", pluginFolder, (long)size->width,
             (long)size->height, (long)size->bitsPerPixel, (long)reserved, (long)reserved2);
    LogLine("proc", details);
#ifdef WITH_CALL_RECORD
    snprintf(details, sizeof details, " %ld %ldx%ld", (long)syscall(SYS_gettid), (long)size->width,
             (long)size->height);
    LogLine("enter", details);
    if (getenv("TINTA_TEST_MODULE_DELAY_MS") != NULL) {
        usleep((useconds_t)atoi(getenv("TINTA_TEST_MODULE_DELAY_MS")) * 1000u);
    }
#endif
    reversed = readTable->rgb(0, 1, 0, spare) + 10 * writeTable->alpha(0, 1, 0, spare);
    outside = readTable->rgb(0, 0, size->width, spare) + writeTable->rgb(0, 0, size->width, spare);
    reservedSlots = readTable->reserved(-5, 9, 2, NULL) + writeTable->reserved(0, 0, 0, spare);
    snprintf(details, sizeof details, " %ld %ld %ld %s", reversed, outside, reservedSlots,
             spare[0] == 7 && spare[5] == 7 ? "untouched" : "touched");
    LogLine("spans", details);
    for (y = size->height - 1; y >= 0; --y) {
        for (x = size->width - 1; x >= 0; --x) {
            uint8_t colour[3];
            uint8_t alpha;
            readTable->rgb(y, x, x, colour);
            readTable->alpha(y, x, x, &alpha);
            colour[0] = (uint8_t)(255 - colour[0]);
            colour[1] = (uint8_t)(255 - colour[1]);
            colour[2] = (uint8_t)(255 - colour[2]);
            alpha = (uint8_t)(255 - alpha);
            writeTable->alpha(y, x, x, &alpha);
            writeTable->rgb(y, x, x, colour);
        }
    }
#ifdef WITH_CALL_RECORD
    snprintf(details, sizeof details, " %ld", (long)syscall(SYS_gettid));
    LogLine("leave", details);
#endif
    return 1;
}
#endif
