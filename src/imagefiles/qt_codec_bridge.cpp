#include "qt_codec_bridge.h"

#include <fcntl.h>
#include <unistd.h>
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

#include <bit>
#include <cstring>
#include <mutex>

#include "imagefiles/completeness_check.h"
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

// Opens path by its bytes, which need not be UTF-8: a QString file name
// could not give them back.
bool OpenForReading(const std::string& path, QFile& file) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    return true;
}

QImage DecodeBytes(QByteArray& data, const QByteArray& formatHint) {
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    // Qt's limit is one process-wide setting; set once, not per load, since
    // loads run on several threads.
    static std::once_flag limitSet;
    std::call_once(limitSet, [] { QImageReader::setAllocationLimit(kDecodeLimitMegabytes); });
    QImageReader reader(&device, formatHint);
    reader.setAutoTransform(false);
    if (formatHint.isEmpty()) {
        reader.setDecideFormatFromContent(true);
    }
    QImage decoded;
    if (!reader.read(&decoded)) {
        return {};
    }
    return decoded;
}

// The file is mapped rather than read so that its bytes can be checked for
// completeness before decoding without a copy.
QImage DecodeExactly(const std::string& path) {
    QFile file;
    if (!OpenForReading(path, file)) {
        return {};
    }
    const qint64 size = file.size();
    const uchar* bytes = size > 0 ? file.map(0, size) : nullptr;
    if (bytes == nullptr || !LooksComplete(bytes, static_cast<size_t>(size))) {
        return {};
    }
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), size);
    QImage decoded = DecodeBytes(data, QByteArray::fromStdString(LowerExtensionWord(path)));
    if (decoded.isNull()) {
        // A file whose name does not fit its content is decoded by content.
        decoded = DecodeBytes(data, {});
    }
    if (decoded.isNull()) {
        return {};
    }
    // Opaque pictures already hold 0xFFRRGGBB: the same bytes, no copy.
    if (decoded.format() == QImage::Format_RGB32 &&
        decoded.reinterpretAsFormat(QImage::Format_ARGB32)) {
        return decoded;
    }
    // A plain format conversion: colour-space data is carried along, never applied.
    return decoded.convertToFormat(QImage::Format_ARGB32);
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

}  // namespace

bool LoadQtImage(const std::string& path, DibBuffer& buffer, int32_t defaultWidth,
                 int32_t defaultHeight) {
    QImage picture = DecodeExactly(path);
    if (picture.isNull()) {
        return false;
    }
    if (IsMetafilePath(path)) {
        picture = DrawAsMetafile(picture, defaultWidth, defaultHeight);
        if (picture.isNull()) {
            return false;
        }
    }
    return StoreAsDib(picture, buffer);
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
    const std::string encoder = FindQtEncoder(path);
    if (encoder.empty()) {
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
    // Encoded in memory, then written to a temporary file beside the target
    // and renamed into place only when complete.
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

}  // namespace tinta
