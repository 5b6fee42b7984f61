#include "work_image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "large_block.h"
#include "trace.h"

namespace tinta {

WorkImage::~WorkImage() {
    delete regionOfInterest;
    std::free(pixels);
}

int64_t WorkImageByteCount(int32_t width, int32_t height) {
    if (width < 1 || height < 1) {
        return -1;
    }
    const int64_t pixelCount = int64_t{width} * int64_t{height};
    if (pixelCount > kMaxWorkImagePixels) {
        return -1;
    }
    return pixelCount * 4;
}

WorkImagePtr AllocIpl(int32_t width, int32_t height, int32_t depth) {
    if (width < 1 || height < 1) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "AllocIpl:不正なサイズが指定されました。width=%d height=%d", width, height);
        TraceLine(text);
        return nullptr;
    }
    const int64_t byteCount = WorkImageByteCount(width, height);
    if (byteCount < 0) {
        return nullptr;
    }
    auto image = std::unique_ptr<WorkImage>(new (std::nothrow) WorkImage);
    if (!image) {
        return nullptr;
    }
    image->depth = depth;
    image->width = width;
    image->height = height;
    image->imageSize = byteCount;
    image->pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(byteCount)));
    if (image->pixels == nullptr) {
        return nullptr;
    }
    AdviseHugePages(image->pixels, static_cast<size_t>(byteCount));
    return image;
}

void SetChannels(WorkImage& image, uint8_t value) {
    if (image.pixels == nullptr) {
        return;
    }
    const RegionOfInterest* roi = image.regionOfInterest;
    if (roi == nullptr) {
        std::memset(image.pixels, value, static_cast<size_t>(image.imageSize));
        return;
    }
    const int32_t x0 = std::clamp(roi->xOffset, 0, image.width);
    const int32_t y0 = std::clamp(roi->yOffset, 0, image.height);
    const int32_t x1 = std::clamp(roi->xOffset + std::max(roi->width, 0), x0, image.width);
    const int32_t y1 = std::clamp(roi->yOffset + std::max(roi->height, 0), y0, image.height);
    for (int32_t y = y0; y < y1; ++y) {
        if (roi->channelOfInterest == 0) {
            std::memset(image.PixelAt(x0, y), value, static_cast<size_t>(x1 - x0) * 4);
            continue;
        }
        const int channel = roi->channelOfInterest - 1;
        if (channel < 0 || channel > 3) {
            return;
        }
        uint8_t* pixel = image.PixelAt(x0, y) + channel;
        for (int32_t x = x0; x < x1; ++x, pixel += 4) {
            *pixel = value;
        }
    }
}

void FillAlpha(WorkImage& image, uint8_t value) {
    if (image.channelCount < 4) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "FillAlpha() イメージがαチャンネルを持っていません nCannels=%d\n",
                      image.channelCount);
        TraceLine(text);
        return;
    }
    RegionOfInterest alphaOnly{4, 0, 0, image.width, image.height};
    RegionOfInterest* remembered = image.regionOfInterest;
    image.regionOfInterest = &alphaOnly;
    SetChannels(image, value);
    image.regionOfInterest = remembered;
}

void ClearIpl(WorkImage& image) {
    RegionOfInterest* remembered = image.regionOfInterest;
    image.regionOfInterest = nullptr;
    SetChannels(image, 0);
    image.regionOfInterest = remembered;
    FillAlpha(image, 0);
}

namespace {

void AddBlockSaturating(uint8_t* __restrict target, const uint8_t* __restrict source) {
    for (size_t i = 0; i < 64; ++i) {
        const unsigned sum = unsigned{target[i]} + unsigned{source[i]};
        target[i] = static_cast<uint8_t>(sum > 255 ? 255 : sum);
    }
}

}  // namespace

bool AddSaturating(WorkImage& image, const WorkImage& addend) {
    if (image.width != addend.width || image.height != addend.height ||
        image.pixels == nullptr || addend.pixels == nullptr) {
        return false;
    }
    const size_t count = static_cast<size_t>(image.imageSize);
    size_t done = 0;
    if (image.pixels != addend.pixels) {
        // Blocks of a fixed size over distinct memory, which the compiler
        // turns into vector saturating adds.
        constexpr size_t kBlock = 64;
        for (; done + kBlock <= count; done += kBlock) {
            AddBlockSaturating(image.pixels + done, addend.pixels + done);
        }
    }
    for (size_t i = done; i < count; ++i) {
        const unsigned sum = unsigned{image.pixels[i]} + unsigned{addend.pixels[i]};
        image.pixels[i] = static_cast<uint8_t>(sum > 255 ? 255 : sum);
    }
    return true;
}

}  // namespace tinta
