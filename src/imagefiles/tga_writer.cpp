#include "tga_writer.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "output_file.h"
#include "tga_row_encoder.h"

namespace tinta {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr size_t kExtensionSize = 495;
constexpr size_t kFooterSize = 26;
constexpr int32_t kMaxSide = 65535;  // the header's 16-bit width and height
constexpr int kPixelSize = 4;
// The footer locates the extension area with a 32-bit offset.
constexpr uint64_t kMaxExtensionOffset = 0xFFFFFFFF;
// Encoded rows are gathered into blocks of this size before they reach the
// file, so narrow pictures do not cost one system call per row.
constexpr size_t kFileBufferSize = size_t{1} << 20;

void PutLittleEndian16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLittleEndian32(uint8_t* at, uint32_t value) {
    PutLittleEndian16(at, value & 0xFFFF);
    PutLittleEndian16(at + 2, value >> 16);
}

std::array<uint8_t, kHeaderSize> MakeHeader(const WorkImage& image, bool encode) {
    std::array<uint8_t, kHeaderSize> header{};
    header[2] = encode ? 10 : 2;  // run-length encoded or uncompressed true-colour
    PutLittleEndian16(&header[12], static_cast<uint32_t>(image.width));
    PutLittleEndian16(&header[14], static_cast<uint32_t>(image.height));
    header[16] = 32;  // bits per pixel
    header[17] = 8;   // 8 alpha bits; left to right, bottom row first
    return header;
}

std::array<uint8_t, kExtensionSize> MakeExtensionArea() {
    std::array<uint8_t, kExtensionSize> extension{};
    PutLittleEndian16(&extension[0], kExtensionSize);
    constexpr char kSoftwareId[] = "Mobrel's TGA CONV";
    std::memcpy(&extension[426], kSoftwareId, sizeof kSoftwareId - 1);
    PutLittleEndian16(&extension[467], 100);  // version 1.00
    extension[469] = 'A';
    extension[494] = 3;  // the alpha channel holds useful alpha data
    return extension;
}

std::array<uint8_t, kFooterSize> MakeFooter(uint64_t extensionOffset) {
    std::array<uint8_t, kFooterSize> footer{};
    PutLittleEndian32(&footer[0], static_cast<uint32_t>(extensionOffset));
    // The footer's signature, closing 0 included.
    constexpr uint8_t kSignature[18] = {0x54, 0x52, 0x55, 0x45, 0x56, 0x49, 0x53, 0x49, 0x4F,
                                        0x4E, 0x2D, 0x58, 0x46, 0x49, 0x4C, 0x45, 0x2E, 0x00};
    std::memcpy(&footer[8], kSignature, sizeof kSignature);
    return footer;
}

int FileErrorCode(int error) {
    switch (error) {
        case ENOENT:
            return kTgaFileNotFound;
        case ENOTDIR:
        case EINVAL:
        case ENAMETOOLONG:
        case EISDIR:
            return kTgaBadPath;
        case EIO:
            return kTgaHardwareError;
        default:
            return kTgaOtherFileError;
    }
}

struct FreeDeleter {
    void operator()(uint8_t* block) const { std::free(block); }
};

// Writes the pixel rows bottom row first and adds their byte count to
// pixelBytes. 0 or the errno of the failed write.
int WritePixelRows(const WorkImage& image, bool encode, uint8_t* rowBuffer, OutputFile& file,
                   uint64_t& pixelBytes) {
    const size_t width = static_cast<size_t>(image.width);
    for (int32_t y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.Row(y);
        size_t rowBytes = width * kPixelSize;
        if (encode) {
            rowBytes = EncodeTgaRow(row, rowBuffer, width, kPixelSize);
            row = rowBuffer;
        }
        if (const int error = file.Write(row, rowBytes); error != 0) {
            return error;
        }
        pixelBytes += rowBytes;
    }
    return 0;
}

}  // namespace

int WriteTga(const WorkImage& image, const std::string& path, bool encode) {
    if (image.colourModel != kColourModelRgba) {
        return kTgaNotRgba;
    }
    if (image.channelSequence != kChannelSequenceBgra) {
        return kTgaNotBgra;
    }
    if (image.pixels == nullptr || image.width < 1 || image.height < 1) {
        return kTgaNoPixels;
    }
    if (image.width > kMaxSide || image.height > kMaxSide) {
        return kTgaTooLarge;
    }
    const uint64_t rawPixelBytes = uint64_t{static_cast<uint32_t>(image.width)} *
                                   static_cast<uint32_t>(image.height) * kPixelSize;
    if (!encode && kHeaderSize + rawPixelBytes > kMaxExtensionOffset) {
        return kTgaTooLarge;
    }

    // Every block is had before the file is created, so a lack of memory
    // leaves nothing behind. A row of width pixels encodes to at most
    // width x 5 bytes (one-pixel raw packets).
    std::unique_ptr<uint8_t, FreeDeleter> rowBuffer;
    if (encode) {
        rowBuffer.reset(static_cast<uint8_t*>(
            std::malloc(static_cast<size_t>(image.width) * (kPixelSize + 1))));
        if (!rowBuffer) {
            return kTgaNoMemory;
        }
    }
    OutputFile file;
    if (!file.Reserve(kFileBufferSize)) {
        return kTgaNoMemory;
    }
    if (const int error = file.Open(path); error != 0) {
        return FileErrorCode(error);
    }

    const auto header = MakeHeader(image, encode);
    const auto extension = MakeExtensionArea();
    uint64_t pixelBytes = 0;
    int error = file.Write(header.data(), header.size());
    if (error == 0) {
        error = WritePixelRows(image, encode, rowBuffer.get(), file, pixelBytes);
    }
    if (error == 0 && kHeaderSize + pixelBytes > kMaxExtensionOffset) {
        file.Discard();
        return kTgaTooLarge;  // encoded, the rows did not shrink enough
    }
    if (error == 0) {
        error = file.Write(extension.data(), extension.size());
    }
    if (error == 0) {
        const auto footer = MakeFooter(kHeaderSize + pixelBytes);
        error = file.Write(footer.data(), footer.size());
    }
    if (error == 0) {
        error = file.Commit();
    } else {
        file.Discard();
    }
    return error == 0 ? kTgaWritten : FileErrorCode(error);
}

const char* TgaErrorText(int code) {
    switch (code) {
        case kTgaNotRgba:
            return "色モデルが RGBA ではありません";
        case kTgaNotBgra:
            return "チャンネルの並びが BGRA ではありません";
        case kTgaNoPixels:
            return "画素がありません";
        case kTgaTooLarge:
            return "TGA には大きすぎる画像です";
        case kTgaNoMemory:
            return "メモリが足りません";
        case kTgaFileNotFound:
            return "出力先のフォルダーが見つかりません";
        case kTgaBadPath:
            return "出力先のパスが正しくありません";
        case kTgaHardwareError:
            return "装置のエラーです";
        default:
            return "ファイルのエラーです";
    }
}

}  // namespace tinta
