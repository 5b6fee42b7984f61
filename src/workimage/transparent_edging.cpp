#include "transparent_edging.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tinta {
namespace {

// A pixel read as one little-endian number: alpha in the top byte, the
// colour part (blue, green, red) in the low 24 bits.
inline uint32_t PixelWord(const uint8_t* pixel) {
    uint32_t word;
    std::memcpy(&word, pixel, 4);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap32(word);
    }
    return word;
}

inline uint32_t ColourOf(const uint8_t* pixel) {
    return PixelWord(pixel) & 0x00FFFFFF;
}

inline bool IsOpaque(const uint8_t* pixel) {
    return pixel[3] != 0;
}

// Scratch pixels only ever hold colour parts (their alpha byte stays 0), so
// a scratch pixel is filled when its word is not 0.
inline bool IsFilled(const uint8_t* scratchPixel) {
    return PixelWord(scratchPixel) != 0;
}

inline void StoreColour(uint8_t* scratchPixel, uint32_t colour) {
    if constexpr (std::endian::native == std::endian::big) {
        colour = __builtin_bswap32(colour);
    }
    std::memcpy(scratchPixel, &colour, 4);  // alpha byte written as 0
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

// Where the walk down one column stands: the next row to examine and the
// state left by the pixel before it.
struct ColumnWalk {
    ptrdiff_t y = 0;
    bool afterSolid = false;
};

// Pass 2, one step down one column: examines the pixel at walk.y and moves
// walk.y to the next row to examine. Both images are walked with a step of
// one row. Writes only into the scratch column and never over a filled value.
inline void StepDownColumn(ColumnWalk& walk, const uint8_t* top, uint8_t* scratchTop,
                           ptrdiff_t height, ptrdiff_t stride, ptrdiff_t reach) {
    auto isSolid = [](const uint8_t* pixel, const uint8_t* scratch) {
        return IsOpaque(pixel) || IsFilled(scratch);
    };
    const ptrdiff_t y = walk.y;
    const uint8_t* pixel = top + y * stride;
    uint8_t* scratch = scratchTop + y * stride;
    if (isSolid(pixel, scratch)) {
        if (!walk.afterSolid) {
            const uint32_t colour = IsOpaque(pixel) ? ColourOf(pixel) : ColourOf(scratch);
            for (ptrdiff_t k = 1;
                 k < reach && y - k >= 0 && !isSolid(pixel - k * stride, scratch - k * stride);
                 ++k) {
                StoreColour(scratch - k * stride, colour);
            }
        }
        walk.afterSolid = true;
        walk.y = y + 1;
    } else if (walk.afterSolid) {
        const uint8_t* above = scratch - stride;
        const uint32_t colour = IsFilled(above) ? ColourOf(above) : ColourOf(pixel - stride);
        StoreColour(scratch, colour);
        ptrdiff_t k = 1;
        while (k < reach && y + k < height && !isSolid(pixel + k * stride, scratch + k * stride)) {
            StoreColour(scratch + k * stride, colour);
            ++k;
        }
        walk.y = y + k + 1;  // the pixel that ended the spread is passed over
        walk.afterSolid = false;
    } else {
        walk.y = y + 1;
    }
}

// Columns walked side by side in pass 2. Each column's walk reads and writes
// its own column only, so walking a band of them row by row gives the same
// result as one column after another, while every row of the band is read
// from memory once instead of once per column.
constexpr ptrdiff_t kColumnBand = 256;

// Pass 2 over the columns first to first + count - 1 (count <= kColumnBand).
void SpreadDownColumns(const WorkImage& image, WorkImage& scratch, ptrdiff_t first, ptrdiff_t count,
                       ptrdiff_t reach) {
    const ptrdiff_t height = image.height;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(image.RowBytes());
    const uint8_t* top = image.pixels + first * 4;
    uint8_t* scratchTop = scratch.pixels + first * 4;
    ColumnWalk walks[kColumnBand];
    for (ptrdiff_t y = 0; y < height; ++y) {
        for (ptrdiff_t c = 0; c < count; ++c) {
            if (walks[c].y == y) {
                StepDownColumn(walks[c], top + c * 4, scratchTop + c * 4, height, stride, reach);
            }
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
    for (ptrdiff_t x = 0; x < width; x += kColumnBand) {
        SpreadDownColumns(image, *scratch, x, std::min(kColumnBand, width - x), reach);
    }

    RegionOfInterest* remembered = image.regionOfInterest;
    image.regionOfInterest = nullptr;
    AddSaturating(image, *scratch);
    image.regionOfInterest = remembered;
    return kEdgingDone;
}

}  // namespace tinta
