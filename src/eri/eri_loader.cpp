#include "eri/eri_loader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "eri/checked_size.h"
#include "eri/core/processor_features.h"
#include "eri/eri_image_decoder.h"
#include "eri/eri_record_reader.h"
#include "eri/file_input_stream.h"
#include "eri/stream_bit_input.h"

namespace eri {
namespace {

constexpr std::uint32_t kBitInputCapacity = 0x10000;
constexpr std::size_t kDibHeaderSize = 40;
constexpr std::size_t kColourTableSize = 1024;

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Bytes of one DIB line; invalid for depths the DIB does not carry.
CheckedSize dibStride(std::uint32_t width, std::uint32_t bitsPerPixel) {
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return CheckedSize::invalid();
    }
    const CheckedSize padded = CheckedSize(width) * (bitsPerPixel / 8) + 3;
    return padded.valid() ? CheckedSize(padded.value() & ~std::uint32_t{3}) : padded;
}

void writeDib(std::uint8_t* block, const ImageInfo& info, const PictureSize& size,
              std::uint32_t stride, const std::uint8_t* palette, const std::uint8_t* lines) {
    const std::uint32_t imageSize = stride * size.height;
    std::memset(block, 0, kDibHeaderSize);
    put32(block, kDibHeaderSize);
    put32(block + 4, size.width);
    put32(block + 8, size.height);
    put16(block + 12, 1);
    put16(block + 14, info.bitsPerPixel);
    put32(block + 20, imageSize);
    std::uint8_t* out = block + kDibHeaderSize;
    if (info.bitsPerPixel == 8) {
        if (info.formatType == kGreyFormat) {
            for (std::uint32_t i = 0; i < 256; ++i) {
                out[4 * i] = out[4 * i + 1] = out[4 * i + 2] = static_cast<std::uint8_t>(i);
                out[4 * i + 3] = 0;
            }
        } else {
            std::memcpy(out, palette, kColourTableSize);
        }
        out += kColourTableSize;
    }
    std::memcpy(out, lines, imageSize);
}

// 32-bit pictures without an alpha channel are opaque: their fourth bytes
// were never written and would read as fully transparent.
void makeOpaque(std::uint8_t* lines, std::size_t byteCount) {
    for (std::size_t i = 3; i < byteCount; i += 4) {
        lines[i] = 0xFF;
    }
}

// The picture's size against the load's limit, from the image information
// alone: nothing has been allocated for the picture yet.
LoadError checkPictureSize(const ImageInfo& info, const LoadOptions& options) {
    if (info.width < 1 || info.height == 0 || info.height == INT32_MIN) {
        return LoadError::damagedRecords;
    }
    const std::uint64_t limit = std::min(options.maxPixels, kHardMaxPixels);
    const std::int64_t height = info.height;
    const auto lines = static_cast<std::uint64_t>(height < 0 ? -height : height);
    if (static_cast<std::uint64_t>(info.width) * lines > limit) {
        return LoadError::tooLarge;
    }
    return LoadError::none;
}

LoadError decodeFile(EriRecordReader& records, DibBlock& destination, const LoadOptions& options,
                     std::size_t& dibBytes) {
    const ImageInfo& info = records.imageInfo;
    if (const LoadError refused = checkPictureSize(info, options); refused != LoadError::none) {
        return refused;
    }
    const std::optional<PictureSize> size = checkedPictureSize(info.width, info.height);
    if (!size) {
        return LoadError::tooLarge;
    }
    StreamBitInput input(records, kBitInputCapacity);
    if (!input.isReady()) {
        return LoadError::outOfMemory;
    }
    EriImageDecoder decoder;
    if (decoder.initialize(info) != 0) {
        return decoder.failure;
    }
    // Invalid only for a depth the DIB cannot carry: the width is at most 2^30.
    const CheckedSize stride = dibStride(size->width, info.bitsPerPixel);
    if (!stride.valid()) {
        return LoadError::unsupportedFormat;
    }
    const CheckedSize imageSize = stride * size->height;
    const CheckedSize dibSize =
        imageSize + kDibHeaderSize + (info.bitsPerPixel == 8 ? kColourTableSize : 0);
    if (!stride.fitsInt32() || !dibSize.valid()) {
        return LoadError::tooLarge;  // the DIB's 32-bit image size field could not describe it
    }
    BlockPtr<std::uint8_t> lines(
        static_cast<std::uint8_t*>(allocateZeroedBlock(imageSize.value())));
    if (!lines) {
        return LoadError::outOfMemory;
    }
    ImageBuffer buffer;
    buffer.formatType = info.formatType;
    buffer.pixels = lines.get();
    buffer.width = info.width;
    buffer.height = static_cast<std::int32_t>(size->height);
    buffer.bitsPerPixel = static_cast<std::int32_t>(info.bitsPerPixel);
    buffer.stride = static_cast<std::int32_t>(stride.value());
    if (decoder.decodeImage(buffer, input, false) != 0) {
        return decoder.failure != LoadError::none ? decoder.failure : LoadError::damagedCodes;
    }
    if (info.bitsPerPixel == 32 && (info.formatType & kAlphaFormatBit) == 0) {
        makeOpaque(lines.get(), imageSize.value());
    }
    std::uint8_t* block = destination.reserve(dibSize.value());
    if (block == nullptr) {
        return LoadError::outOfMemory;
    }
    writeDib(block, info, *size, stride.value(), records.palette, lines.get());
    dibBytes = dibSize.value();
    return LoadError::none;
}

}  // namespace

std::size_t loadEriImage(InputStream& file, DibBlock& destination) {
    return loadEriImage(file, destination, LoadOptions{}, nullptr);
}

std::size_t loadEriImage(const char* path, DibBlock& destination) {
    return loadEriImage(path, destination, LoadOptions{}, nullptr);
}

std::size_t loadEriImage(InputStream& file, DibBlock& destination, const LoadOptions& options,
                         LoadError* error) {
    initializeDecodingCore();
    EriRecordReader records;
    std::size_t result = 0;
    LoadError cause = LoadError::none;
    if (!records.open(file, 3)) {
        cause = records.openFailure;
    } else if ((records.infoFlags & kHasImageInfo) == 0) {
        cause = LoadError::unsupportedFormat;  // a sound file: no picture in it
    } else {
        cause = decodeFile(records, destination, options, result);
    }
    records.closeRecords();
    if (result == 0 && error != nullptr) {
        *error = cause != LoadError::none ? cause : LoadError::damagedCodes;
    }
    return result;
}

std::size_t loadEriImage(const char* path, DibBlock& destination, const LoadOptions& options,
                         LoadError* error) {
    FileInputStream stream;
    if (path == nullptr || !stream.open(path)) {
        if (error != nullptr) {
            *error = LoadError::cannotOpen;
        }
        return 0;
    }
    const std::size_t result = loadEriImage(stream, destination, options, error);
    stream.close();
    return result;
}

}  // namespace eri
