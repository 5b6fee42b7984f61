// The pixel access callbacks a filter module gets inside FilterProc. They
// carry no context: they reach the picture through CurrentWorkImage, which
// the batch run sets for the file being filtered.
#pragma once

#include <cstdint>

#include "tinta_filter.h"
#include "workimage/work_image.h"

namespace tinta {

// The one work image the callbacks act on, or null between files.
extern WorkImage* CurrentWorkImage;

// Sets CurrentWorkImage for the life of the scope and clears it afterwards,
// so no callback can reach an image that has been released.
class CurrentWorkImageScope {
  public:
    explicit CurrentWorkImageScope(WorkImage* image) { CurrentWorkImage = image; }
    ~CurrentWorkImageScope() { CurrentWorkImage = nullptr; }
    CurrentWorkImageScope(const CurrentWorkImageScope&) = delete;
    CurrentWorkImageScope& operator=(const CurrentWorkImageScope&) = delete;
};

// Each copies the span x0..x1 (inclusive) of row y. Result 0, with nothing
// touched, when y, x0 or x1 lies outside the image (or there is no image or
// no buffer); 1 for a reversed span (nothing touched) and after a transfer.
// Colour travels as blue, green, red per pixel, alpha as one byte per pixel;
// the writes keep the channels they do not carry.
int32_t ReadRowRgb(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer);
int32_t ReadRowAlpha(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer);
int32_t WriteRowRgb(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer);
int32_t WriteRowAlpha(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer);

// The reserved third slot of both tables: does nothing, returns 1.
int32_t NoOperation(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer);

extern const PixelAccessTable ReadTable;
extern const PixelAccessTable WriteTable;

}  // namespace tinta
