#include "qt_codec_bridge.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

#include <bit>
#include <cstring>
#include <mutex>
#include <utility>

#include "imagefiles/completeness_check.h"
#include "imagefiles/load_reasons.h"
#include "imagefiles/metafile_rule.h"
#include "imagefiles/output_file.h"
#include "imagefiles/path_extension.h"
#include "workimage/packed_dib.h"
#include "workimage/work_image.h"

namespace tinta {
namespace {

// ARGB32 pixels are then stored as the bytes blue, green, red, alpha, the
// order of the DIB and the work image.
static_assert(std::endian::native == std::endian::little);

constexpr int32_t kDecodedResolution = 72;

// Qt refuses pictures above 256 MB by default; allow what a work image can hold.
constexpr int kDecodeLimitMegabytes = static_cast<int>(kMaxWorkImagePixels * 4 >> 20);

// A decoded picture, or none with the reason.
struct Decoded {
    QImage picture;
    std::string reason;
    bool tooLarge = false;
};

bool Exceeds(const QSize& size, uint64_t maxPixels) {
    return static_cast<uint64_t>(size.width()) * static_cast<uint64_t>(size.height()) > maxPixels;
}

Decoded TooLarge(const QSize& size, uint64_t maxPixels) {
    return {{},
            TooLargeReason(static_cast<uint64_t>(size.width()),
                           static_cast<uint64_t>(size.height()), maxPixels),
            true};
}

// A work image for the picture's rows, allocated at the header's size
// before decoding. Qt's plug-ins write straight into it when the format
// they decode to is the work image's own; otherwise it is filled from the
// decoded picture afterwards.
struct RowTarget {
    WorkImagePtr image;
    bool filled = false;
};

// The decoder's own format when it is the work image's byte order: blue,
// green, red, alpha (RGB32 holds 0xFF in the alpha byte).
bool IsWorkImageFormat(QImage::Format format) {
    return format == QImage::Format_ARGB32 || format == QImage::Format_RGB32;
}

// Reads into the target's pixel block when the plug-in accepts an image it
// is given; the result tells whether it did.
bool ReadInPlace(QImageReader& reader, const QSize& size, RowTarget& target, QImage& decoded) {
    const QImage::Format format = reader.imageFormat();
    if (!size.isValid() || !IsWorkImageFormat(format)) {
        return reader.read(&decoded);
    }
    target.image = AllocIpl(size.width(), size.height(), 8);
    if (!target.image) {
        return reader.read(&decoded);
    }
    decoded = QImage(target.image->pixels, size.width(), size.height(),
                     static_cast<qsizetype>(target.image->RowBytes()), format);
    const bool read = reader.read(&decoded);
    target.filled = read && decoded.constBits() == target.image->pixels && decoded.size() == size &&
                    IsWorkImageFormat(decoded.format());
    if (!target.filled) {
        // The plug-in made its own picture; ours is not wanted.
        if (decoded.constBits() == target.image->pixels) {
            decoded = QImage();
        }
        target.image.reset();
    }
    return read;
}

// The size is taken from the header first, so that a small file describing
// a huge picture is refused before any pixel memory is taken. Formats that
// do not tell their size up front are held by Qt's allocation limit, set to
// the same number of 32-bit pixels.
Decoded DecodeBytes(QByteArray& data, const QByteArray& formatHint, uint64_t maxPixels,
                    RowTarget* target) {
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    // Qt's limit is one process-wide setting, set once rather than per load
    // since loads run on several threads. The pixel limit of the load is
    // checked from the header before decoding and again after it.
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(kDecodeLimitMegabytes); });
    QImageReader reader(&device, formatHint);
    reader.setAutoTransform(false);
    if (formatHint.isEmpty()) {
        reader.setDecideFormatFromContent(true);
    }
    if (!reader.canRead()) {
        return {{}, CannotLoadReason(reader.errorString().toStdString())};
    }
    const QSize size = reader.size();
    if (size.isValid() && Exceeds(size, maxPixels)) {
        return TooLarge(size, maxPixels);
    }
    QImage decoded;
    const bool read =
        target != nullptr ? ReadInPlace(reader, size, *target, decoded) : reader.read(&decoded);
    if (!read) {
        return {{}, CannotLoadReason(reader.errorString().toStdString())};
    }
    if (Exceeds(decoded.size(), maxPixels)) {
        return TooLarge(decoded.size(), maxPixels);
    }
    return {std::move(decoded), {}};
}

// The bytes are checked for completeness before they are decoded. With a
// target, a picture the plug-in wrote into it is returned as a view of the
// target's rows.
Decoded DecodeExactly(const std::string& path, uint64_t maxPixels, FileBytes::MapFunction map,
                      RowTarget* target = nullptr) {
    const FileBytes bytes(path, map);
    if (bytes.data() == nullptr) {
        return {{}, CannotLoadReason(bytes.failure())};
    }
    if (!LooksComplete(bytes.data(), bytes.size())) {
        return {{}, CannotLoadReason(kIncompleteCause)};
    }
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    const QByteArray word = QByteArray::fromStdString(LowerExtensionWord(path));
    const bool metafile = IsMetafilePath(path);
    if (metafile && !QImageReader::supportedImageFormats().contains(word)) {
        return {{}, CannotLoadReason(kNoMetafileReaderCause)};
    }
    // A metafile is drawn afterwards: its decoded picture is never the result.
    RowTarget* const rows = metafile ? nullptr : target;
    Decoded decoded = DecodeBytes(data, word, maxPixels, rows);
    if (decoded.picture.isNull() && !decoded.tooLarge && !metafile) {
        // A file whose name does not fit its content is decoded by content.
        decoded = DecodeBytes(data, {}, maxPixels, rows);
    }
    if (decoded.picture.isNull() || (rows != nullptr && rows->filled)) {
        return decoded;
    }
    // Opaque pictures already hold 0xFFRRGGBB: the same bytes, no copy.
    if (decoded.picture.format() == QImage::Format_RGB32 &&
        decoded.picture.reinterpretAsFormat(QImage::Format_ARGB32)) {
        return decoded;
    }
    // A plain format conversion: colour-space data is carried along, never applied.
    decoded.picture = decoded.picture.convertToFormat(QImage::Format_ARGB32);
    if (decoded.picture.isNull()) {
        return {{}, CannotLoadReason(kNoWorkImageCause)};
    }
    return decoded;
}

bool StoreAsDib(const QImage& picture, DibBuffer& buffer) {
    const int32_t width = picture.width();
    const int32_t height = picture.height();
    const int64_t blockSize = DibBlockSize(width, height, 32);
    if (blockSize < 0 || !buffer.Resize(static_cast<size_t>(blockSize))) {
        return false;
    }
    DibHeader header = MakeDibHeader(width, height, 32);
    header.xResolution = kDecodedResolution;
    header.yResolution = kDecodedResolution;
    WriteDibHeader(header, buffer.data());
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    uint8_t* rows = buffer.data() + kDibHeaderSize;
    for (int32_t stored = 0; stored < height; ++stored) {
        std::memcpy(rows + static_cast<size_t>(stored) * rowBytes,
                    picture.constScanLine(height - 1 - stored), rowBytes);
    }
    return true;
}

// Encoded in memory, then written to a temporary file beside the target
// and renamed into place only when complete.
bool EncodeAndWrite(const std::string& path, const QImage& picture) {
    const std::string encoder = FindQtEncoder(path);
    if (encoder.empty()) {
        return false;
    }
    QByteArray encoded;
    QBuffer device(&encoded);
    device.open(QIODevice::WriteOnly);
    QImageWriter writer(&device, QByteArray::fromStdString(encoder));
    if (!writer.write(picture)) {
        return false;
    }
    OutputFile file;
    if (!file.Reserve(0) || file.Open(path) != 0 ||
        file.Write(encoded.constData(), static_cast<size_t>(encoded.size())) != 0) {
        return false;
    }
    return file.Commit() == 0;
}

}  // namespace

DibLoadResult LoadQtImage(const std::string& path, DibBuffer& buffer, const LoadLimits& limits,
                          int32_t defaultWidth, int32_t defaultHeight, FileBytes::MapFunction map) {
    Decoded decoded = DecodeExactly(path, EffectiveMaxPixels(limits), map);
    if (decoded.picture.isNull()) {
        return {false, std::move(decoded.reason)};
    }
    QImage picture = std::move(decoded.picture);
    if (IsMetafilePath(path)) {
        picture = DrawAsMetafile(picture, defaultWidth, defaultHeight);
        if (picture.isNull()) {
            return {false, CannotLoadReason(kNoWorkImageCause)};
        }
    }
    if (!StoreAsDib(picture, buffer)) {
        return {false, CannotLoadReason(kNoWorkImageCause)};
    }
    return {true, {}};
}

QtWorkImage LoadQtWorkImage(const std::string& path, const LoadLimits& limits, int32_t defaultWidth,
                            int32_t defaultHeight, FileBytes::MapFunction map) {
    RowTarget target;
    Decoded decoded = DecodeExactly(path, EffectiveMaxPixels(limits), map, &target);
    if (decoded.picture.isNull()) {
        return {nullptr, std::move(decoded.reason)};
    }
    if (target.filled) {
        decoded.picture = QImage();  // a view of the work image's rows
        return {std::move(target.image), {}};
    }
    QImage picture = std::move(decoded.picture);
    if (IsMetafilePath(path)) {
        picture = DrawAsMetafile(picture, defaultWidth, defaultHeight);
        if (picture.isNull()) {
            return {nullptr, CannotLoadReason(kNoWorkImageCause)};
        }
    }
    WorkImagePtr image = AllocIpl(picture.width(), picture.height(), 8);
    if (!image) {
        return {nullptr, CannotLoadReason(kNoWorkImageCause), true};
    }
    for (int32_t y = 0; y < image->height; ++y) {
        std::memcpy(image->Row(y), picture.constScanLine(y), image->RowBytes());
    }
    return {std::move(image), {}};
}

std::string FindQtEncoder(std::string_view path) {
    const std::string word = LowerExtensionWord(path);
    if (word.empty()) {
        return {};
    }
    for (const QByteArray& format : QImageWriter::supportedImageFormats()) {
        if (format.toLower().toStdString() == word) {
            return format.toStdString();
        }
    }
    return {};
}

bool SaveQtImage(const std::string& path, const uint8_t* dib, size_t dibSize) {
    const auto header = ReadDibHeader(dib, dibSize);
    if (!header || header->bitsPerPixel != 32) {
        return false;
    }
    QImage picture(header->width, header->height, QImage::Format_ARGB32);
    if (picture.isNull()) {
        return false;
    }
    const size_t rowBytes = static_cast<size_t>(header->width) * 4;
    const uint8_t* rows = dib + kDibHeaderSize;
    for (int32_t stored = 0; stored < header->height; ++stored) {
        std::memcpy(picture.scanLine(header->height - 1 - stored),
                    rows + static_cast<size_t>(stored) * rowBytes, rowBytes);
    }
    return EncodeAndWrite(path, picture);
}

bool SaveQtWorkImage(const std::string& path, const WorkImage& image) {
    if (image.pixels == nullptr || image.width < 1 || image.height < 1) {
        return false;
    }
    // A read-only view of the rows: the encoder reads them where they are.
    const QImage picture(image.pixels, image.width, image.height,
                         static_cast<qsizetype>(image.RowBytes()), QImage::Format_ARGB32);
    return !picture.isNull() && EncodeAndWrite(path, picture);
}

}  // namespace tinta
