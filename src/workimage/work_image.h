// The working bitmap every step after loading operates on: four interleaved
// 8-bit channels per pixel in the byte order blue, green, red, alpha; row 0 is
// the top row and rows follow one another without gaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tinta {

// Four-character header words, stored as four bytes and compared as one
// little-endian 32-bit word.
constexpr uint32_t FourCharacterWord(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}
constexpr uint32_t kColourModelRgba = FourCharacterWord("RGBA");
constexpr uint32_t kChannelSequenceBgra = FourCharacterWord("BGRA");

// Largest picture a work image may hold. 2^30 pixels (32768 x 32768) keeps
// every byte count well inside 64 bits and the pixel indices inside size_t.
constexpr int64_t kMaxWorkImagePixels = int64_t{1} << 30;

// Channel of interest 0 means all channels; 1 to 4 pick blue, green, red, alpha.
struct RegionOfInterest {
    int32_t channelOfInterest = 0;
    int32_t xOffset = 0;
    int32_t yOffset = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct WorkImage {
    WorkImage() = default;
    WorkImage(const WorkImage&) = delete;
    WorkImage& operator=(const WorkImage&) = delete;
    ~WorkImage();

    int32_t channelCount = 4;
    int32_t alphaChannel = 4;
    int32_t depth = 8;
    uint32_t colourModel = kColourModelRgba;
    uint32_t channelSequence = kChannelSequenceBgra;
    int32_t dataOrder = 0;  // channels interleaved pixel by pixel
    int32_t origin = 0;     // row 0 is the top row
    int32_t alignment = 8;  // the pixel block starts on an 8-byte boundary
    int32_t width = 0;
    int32_t height = 0;
    RegionOfInterest* regionOfInterest = nullptr;  // owned while attached
    void* mask = nullptr;
    void* imageId = nullptr;
    void* tileInfo = nullptr;
    // Bytes of pixel data, width x height x 4. Wider than the classic 32-bit
    // field so that pictures of more than 2 GiB stay describable.
    int64_t imageSize = 0;
    uint8_t* pixels = nullptr;  // owned, freed with the image

    size_t RowBytes() const { return static_cast<size_t>(width) * 4; }
    uint8_t* Row(int32_t y) { return pixels + static_cast<size_t>(y) * RowBytes(); }
    const uint8_t* Row(int32_t y) const { return pixels + static_cast<size_t>(y) * RowBytes(); }
    uint8_t* PixelAt(int32_t x, int32_t y) { return Row(y) + static_cast<size_t>(x) * 4; }
    const uint8_t* PixelAt(int32_t x, int32_t y) const {
        return Row(y) + static_cast<size_t>(x) * 4;
    }
};

// Releasing the pointer frees the header, the pixel block and any attached
// region of interest at once.
using WorkImagePtr = std::unique_ptr<WorkImage>;

// Byte count of a width x height work image, or -1 when the size is not
// allowed (below 1, or more than kMaxWorkImagePixels pixels).
int64_t WorkImageByteCount(int32_t width, int32_t height);

// A new work image with an unfilled pixel block, or null when the size is
// invalid or the memory cannot be had.
WorkImagePtr AllocIpl(int32_t width, int32_t height, int32_t depth);

// Sets every channel value inside the image's region of interest (all
// channels of all pixels when none is attached) to value.
void SetChannels(WorkImage& image, uint8_t value);

// Sets the alpha byte of every pixel; the other channels and the image's
// region of interest are as they were.
void FillAlpha(WorkImage& image, uint8_t value);

// Sets all four bytes of every pixel to 0.
void ClearIpl(WorkImage& image);

// Adds addend to image channel by channel, saturating at 255. Both images
// must have the same size; returns false (image untouched) otherwise.
bool AddSaturating(WorkImage& image, const WorkImage& addend);

}  // namespace tinta
