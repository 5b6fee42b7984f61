#include "completeness_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tinta {
namespace {

uint32_t Get16(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8;
}

uint32_t Get32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

bool IsJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

uint32_t GetBigEndian16(const uint8_t* at) {
    return uint32_t{at[0]} << 8 | uint32_t{at[1]};
}

// Where the entropy-coded data that starts at `from` ends: the first 0xFF
// that is followed by neither a stuffed 0x00, another 0xFF (fill) nor a
// restart marker. `size` when the data runs to the end of the bytes.
size_t EndOfScanData(const uint8_t* data, size_t size, size_t from) {
    for (size_t i = from; i + 1 < size; ++i) {
        if (data[i] != 0xFF) {
            continue;
        }
        const uint8_t next = data[i + 1];
        if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) {
            return i;
        }
    }
    return size;
}

// Walks the segments from the start-of-image marker: every segment with a
// length is stepped over whole (so thumbnails and other embedded pictures
// do not count), each scan's coded data is passed to its end, and the file
// is complete when an end-of-image marker follows at least one scan.
// Whatever comes after that marker (appended videos, maker data) is not
// looked at.
bool JpegReachesEndOfImage(const uint8_t* data, size_t size) {
    constexpr uint8_t kEndOfImage = 0xD9;
    constexpr uint8_t kStartOfScan = 0xDA;
    bool sawScan = false;
    size_t at = 2;
    while (at + 1 < size) {
        if (data[at] != 0xFF) {
            ++at;  // stray bytes between segments: decoders skip them too
            continue;
        }
        const uint8_t marker = data[at + 1];
        if (marker == 0xFF) {
            ++at;  // fill byte before a marker
            continue;
        }
        if (marker == kEndOfImage) {
            return sawScan;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;  // markers without a length
            continue;
        }
        if (at + 4 > size) {
            return false;
        }
        const size_t length = GetBigEndian16(data + at + 2);
        if (length < 2 || length > size - at - 2) {
            return false;
        }
        at += 2 + length;
        if (marker == kStartOfScan) {
            sawScan = true;
            at = EndOfScanData(data, size, at);
        }
    }
    return false;
}

bool IsPng(const uint8_t* data, size_t size) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::equal(kSignature, kSignature + 8, data);
}

// The decoder stops after the last pixel row, so a file cut inside its end
// chunk would pass unnoticed; a complete file holds the end chunk's type and
// checksum.
bool PngHasEndChunk(const uint8_t* data, size_t size) {
    static constexpr uint8_t kEnd[4] = {'I', 'E', 'N', 'D'};
    for (size_t i = size; i >= 8 + 4 + 4; --i) {
        if (std::equal(kEnd, kEnd + 4, data + i - 4 - 4)) {
            return true;
        }
    }
    return false;
}

bool IsBmp(const uint8_t* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

// The 14-byte file header gives where the pixels start; the information
// header (at least 16 bytes of it) gives the size of uncompressed rows.
bool BmpRowsInside(const uint8_t* data, size_t size) {
    constexpr size_t kFileHeader = 14;
    if (size < kFileHeader + 16) {
        return false;
    }
    const uint64_t pixelOffset = Get32(data + 10);
    const uint32_t infoSize = Get32(data + kFileHeader);
    uint64_t width = 0;
    uint64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    uint64_t declaredImageSize = 0;
    if (infoSize == 12) {  // the old core header: 16-bit sizes, no compression
        width = Get16(data + kFileHeader + 4);
        height = Get16(data + kFileHeader + 6);
        bits = Get16(data + kFileHeader + 10);
    } else {
        if (infoSize < 40) {
            return infoSize >= 16;  // unusual headers are left to the decoder
        }
        if (size < kFileHeader + 40) {
            return false;
        }
        const int32_t signedWidth = static_cast<int32_t>(Get32(data + kFileHeader + 4));
        const int32_t signedHeight = static_cast<int32_t>(Get32(data + kFileHeader + 8));
        width = signedWidth < 0 ? 0 : static_cast<uint64_t>(signedWidth);
        // A negative height means top row first; its size is the magnitude.
        height = static_cast<uint64_t>(std::abs(static_cast<int64_t>(signedHeight)));
        bits = Get16(data + kFileHeader + 14);
        compression = Get32(data + kFileHeader + 16);
        declaredImageSize = Get32(data + kFileHeader + 20);
    }
    uint64_t pixelBytes = 0;
    if (compression == 0 || compression == 3 || compression == 6) {
        // Both factors are below 2^32 and bits at most 2^16: no overflow in 64 bits.
        const uint64_t rowBytes = (width * bits + 31) / 32 * 4;
        if (height != 0 && rowBytes > UINT64_MAX / height) {
            return false;
        }
        pixelBytes = rowBytes * height;
    } else {
        pixelBytes = declaredImageSize;  // compressed rows: trust the stated size
    }
    return pixelOffset <= size && pixelBytes <= size - pixelOffset;
}

}  // namespace

bool LooksComplete(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    if (IsJpeg(data, size)) {
        return JpegReachesEndOfImage(data, size);
    }
    if (IsPng(data, size)) {
        return PngHasEndChunk(data, size);
    }
    if (IsBmp(data, size)) {
        return BmpRowsInside(data, size);
    }
    return true;
}

}  // namespace tinta
