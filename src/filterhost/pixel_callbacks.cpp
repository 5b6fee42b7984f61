#include "pixel_callbacks.h"

#include <cstddef>

namespace tinta {

WorkImage* CurrentWorkImage = nullptr;

namespace {

enum class SpanCheck { kOutside, kReversed, kTransfer };

SpanCheck CheckSpan(int32_t y, int32_t x0, int32_t x1, const uint8_t* buffer) {
    const WorkImage* image = CurrentWorkImage;
    if (image == nullptr || image->pixels == nullptr || buffer == nullptr) {
        return SpanCheck::kOutside;
    }
    if (y < 0 || y >= image->height || x0 < 0 || x0 >= image->width || x1 < 0 ||
        x1 >= image->width) {
        return SpanCheck::kOutside;
    }
    return x1 < x0 ? SpanCheck::kReversed : SpanCheck::kTransfer;
}

// Runs copy(pixel, bufferPosition) over the span after the range rules.
template <size_t kBytesPerBufferPixel, typename Copy>
int32_t ForEachPixel(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer, Copy copy) {
    switch (CheckSpan(y, x0, x1, buffer)) {
        case SpanCheck::kOutside:
            return 0;
        case SpanCheck::kReversed:
            return 1;
        case SpanCheck::kTransfer:
            break;
    }
    uint8_t* pixel = CurrentWorkImage->PixelAt(x0, y);
    const size_t count = static_cast<size_t>(x1 - x0) + 1;
    for (size_t k = 0; k < count; ++k, pixel += 4, buffer += kBytesPerBufferPixel) {
        copy(pixel, buffer);
    }
    return 1;
}

}  // namespace

int32_t ReadRowRgb(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer) {
    return ForEachPixel<3>(y, x0, x1, buffer, [](const uint8_t* pixel, uint8_t* out) {
        out[0] = pixel[0];
        out[1] = pixel[1];
        out[2] = pixel[2];
    });
}

int32_t ReadRowAlpha(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer) {
    return ForEachPixel<1>(y, x0, x1, buffer,
                           [](const uint8_t* pixel, uint8_t* out) { out[0] = pixel[3]; });
}

int32_t WriteRowRgb(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer) {
    return ForEachPixel<3>(y, x0, x1, buffer, [](uint8_t* pixel, const uint8_t* in) {
        pixel[0] = in[0];
        pixel[1] = in[1];
        pixel[2] = in[2];
    });
}

int32_t WriteRowAlpha(int32_t y, int32_t x0, int32_t x1, uint8_t* buffer) {
    return ForEachPixel<1>(y, x0, x1, buffer,
                           [](uint8_t* pixel, const uint8_t* in) { pixel[3] = in[0]; });
}

int32_t NoOperation(int32_t, int32_t, int32_t, uint8_t*) {
    return 1;
}

const PixelAccessTable ReadTable = {ReadRowRgb, ReadRowAlpha, NoOperation};
const PixelAccessTable WriteTable = {WriteRowRgb, WriteRowAlpha, NoOperation};

}  // namespace tinta
