#include "transparent_edging.h"

#include <cstddef>
#include <cstdint>

namespace tinta {
namespace {

// The colour part of a pixel (blue, green, red; alpha taken as 0), read as a
// little-endian number so that 0 means "not filled" in the scratch image.
inline uint32_t ColourOf(const uint8_t* pixel) {
    return uint32_t{pixel[0]} | uint32_t{pixel[1]} << 8 | uint32_t{pixel[2]} << 16;
}

inline bool IsOpaque(const uint8_t* pixel) {
    return pixel[3] != 0;
}

// Scratch pixels only ever hold colour parts: their alpha byte stays 0.
inline bool IsFilled(const uint8_t* scratchPixel) {
    return ColourOf(scratchPixel) != 0;
}

inline void StoreColour(uint8_t* scratchPixel, uint32_t colour) {
    scratchPixel[0] = static_cast<uint8_t>(colour);
    scratchPixel[1] = static_cast<uint8_t>(colour >> 8);
    scratchPixel[2] = static_cast<uint8_t>(colour >> 16);
}

// Pass 1 over one row. Writes only into the scratch row.
void SpreadAlongRow(const uint8_t* row, uint8_t* scratchRow, ptrdiff_t width, ptrdiff_t reach) {
    bool afterOpaque = false;
    ptrdiff_t x = 0;
    while (x < width) {
        const uint8_t* pixel = row + x * 4;
        if (IsOpaque(pixel)) {
            if (!afterOpaque) {
                const uint32_t colour = ColourOf(pixel);
                for (ptrdiff_t k = 1; k < reach && x - k >= 0 && !IsOpaque(pixel - k * 4); ++k) {
                    StoreColour(scratchRow + (x - k) * 4, colour);
                }
            }
            afterOpaque = true;
            ++x;
        } else if (afterOpaque) {
            const uint32_t colour = ColourOf(pixel - 4);
            uint8_t* target = scratchRow + x * 4;
            StoreColour(target, colour);
            ptrdiff_t k = 1;
            while (k < reach && x + k < width && !IsOpaque(pixel + k * 4)) {
                StoreColour(target + k * 4, colour);
                ++k;
            }
            x += k + 1;  // the pixel that ended the spread is passed over
            afterOpaque = false;
        } else {
            ++x;
        }
    }
}

// Pass 2 over one column: both images are walked with a step of one row.
// Writes only into the scratch column and never over a filled value.
void SpreadDownColumn(const uint8_t* top, uint8_t* scratchTop, ptrdiff_t height, ptrdiff_t stride,
                      ptrdiff_t reach) {
    auto isSolid = [](const uint8_t* pixel, const uint8_t* scratch) {
        return IsOpaque(pixel) || IsFilled(scratch);
    };
    bool afterSolid = false;
    ptrdiff_t y = 0;
    while (y < height) {
        const uint8_t* pixel = top + y * stride;
        uint8_t* scratch = scratchTop + y * stride;
        if (isSolid(pixel, scratch)) {
            if (!afterSolid) {
                const uint32_t colour = IsOpaque(pixel) ? ColourOf(pixel) : ColourOf(scratch);
                for (ptrdiff_t k = 1;
                     k < reach && y - k >= 0 && !isSolid(pixel - k * stride, scratch - k * stride);
                     ++k) {
                    StoreColour(scratch - k * stride, colour);
                }
            }
            afterSolid = true;
            ++y;
        } else if (afterSolid) {
            const uint8_t* above = scratch - stride;
            const uint32_t colour = IsFilled(above) ? ColourOf(above) : ColourOf(pixel - stride);
            StoreColour(scratch, colour);
            ptrdiff_t k = 1;
            while (k < reach && y + k < height &&
                   !isSolid(pixel + k * stride, scratch + k * stride)) {
                StoreColour(scratch + k * stride, colour);
                ++k;
            }
            y += k + 1;  // the pixel that ended the spread is passed over
            afterSolid = false;
        } else {
            ++y;
        }
    }
}

}  // namespace

int ApplyTransparentEdging(WorkImage& image, int reach) {
    if (image.colourModel != kColourModelRgba) {
        return kEdgingNotRgba;
    }
    if (image.channelSequence != kChannelSequenceBgra) {
        return kEdgingNotBgra;
    }
    if (image.pixels == nullptr) {
        return kEdgingNoPixels;
    }
    WorkImagePtr scratch = AllocIpl(image.width, image.height, image.depth);
    if (!scratch) {
        return kEdgingNoScratch;
    }
    ClearIpl(*scratch);

    const ptrdiff_t width = image.width;
    const ptrdiff_t height = image.height;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(image.RowBytes());
    for (ptrdiff_t y = 0; y < height; ++y) {
        SpreadAlongRow(image.pixels + y * stride, scratch->pixels + y * stride, width, reach);
    }
    for (ptrdiff_t x = 0; x < width; ++x) {
        SpreadDownColumn(image.pixels + x * 4, scratch->pixels + x * 4, height, stride, reach);
    }

    RegionOfInterest* remembered = image.regionOfInterest;
    image.regionOfInterest = nullptr;
    AddSaturating(image, *scratch);
    image.regionOfInterest = remembered;
    return kEdgingDone;
}

}  // namespace tinta
