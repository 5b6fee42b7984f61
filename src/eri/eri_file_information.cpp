#include <cstring>
#include <new>
#include <string>

#include "eri/eri_record_reader.h"
#include "eri/utf16_text.h"

namespace eri {
namespace {

// The container's signature, as the eight bytes that open every file.
constexpr std::uint8_t kContainerMagic[8] = {0x45, 0x6E, 0x74, 0x69, 0x73, 0x1A, 0x00, 0x00};

bool idIs(const RecordFrame* frame, const char* id) {
    return std::memcmp(frame->id, id, kRecordIdSize) == 0;
}

}  // namespace

bool EriRecordReader::open(InputStream& stream, int depth) {
    closeRecords();
    source_ = nullptr;
    infoFlags = 0;
    openFailure = LoadError::none;
    std::uint8_t header[kContainerHeaderSize];
    if (stream.read(header, kContainerHeaderSize) < kContainerHeaderSize) {
        return failOpen(LoadError::notEri);
    }
    if (std::memcmp(header, kContainerMagic, sizeof kContainerMagic) != 0 ||
        readLittleEndian32(header + 8) != kEriFileKind) {
        return failOpen(LoadError::notEri);
    }
    source_ = &stream;
    top_.reset(new (std::nothrow) RecordFrame);
    if (!top_) {
        return failOpen(LoadError::outOfMemory);
    }
    position_ = stream.getPosition();
    top_->dataStart = position_;
    top_->dataEnd = std::max(stream.getSize(), top_->dataStart);
    if (depth == 0) {
        return true;
    }
    if (!readHeaderRecords()) {
        return false;
    }
    if ((infoFlags & (kHasImageInfo | kHasSoundInfo)) == 0) {
        return failOpen(LoadError::damagedRecords);
    }
    if (depth == 1) {
        return true;
    }
    if (!descend("Stream  ")) {
        return failOpen(LoadError::damagedRecords);
    }
    if (depth == 2) {
        return true;
    }
    while (descend(nullptr)) {
        if (idIs(top_.get(), "ImageFrm")) {
            return true;
        }
        if (idIs(top_.get(), "Palette ")) {
            std::memset(palette, 0, sizeof palette);
            read(palette, sizeof palette);
            infoFlags |= kHasPalette;
        }
        ascend();
    }
    return failOpen(LoadError::damagedRecords);
}

bool EriRecordReader::readHeaderRecords() {
    if (!descend("Header  ") || !descend("FileHdr ")) {
        return failOpen(LoadError::damagedRecords);
    }
    if (read(fileHeader, sizeof fileHeader) < sizeof fileHeader) {
        return failOpen(LoadError::damagedRecords);
    }
    ascend();
    infoFlags |= kHasFileHeader;
    if (readLittleEndian32(fileHeader) > kNewestFileVersion) {
        return failOpen(LoadError::unsupportedFormat);
    }
    while (descend(nullptr)) {
        const RecordFrame* record = top_.get();
        if (idIs(record, "PrevwInf")) {
            if (read(previewInfo, sizeof previewInfo) == sizeof previewInfo) {
                infoFlags |= kHasPreviewInfo;
            }
        } else if (idIs(record, "ImageInf")) {
            std::uint8_t bytes[kImageInfoSize];
            if (read(bytes, sizeof bytes) == sizeof bytes) {
                imageInfo = ImageInfo::fromBytes(bytes);
                infoFlags |= kHasImageInfo;
            }
        } else if (idIs(record, "SoundInf")) {
            if (read(soundInfo, sizeof soundInfo) == sizeof soundInfo) {
                infoFlags |= kHasSoundInfo;
            }
        } else if (idIs(record, "cpyright")) {
            infoFlags |= kHasCopyright;
            if (!readText(cpyrightText)) {
                return failOpen(LoadError::outOfMemory);
            }
        } else if (idIs(record, "descript")) {
            infoFlags |= kHasDescription;
            if (!readText(descriptText)) {
                return failOpen(LoadError::outOfMemory);
            }
        }
        ascend();
    }
    ascend();
    return true;
}

bool EriRecordReader::readText(TextBuffer& text) {
    // The record size comes from the file: checked before the block is sized.
    const std::uint32_t size = getSize();
    if (size > 0xFFFFFFFFu - 2) {
        return false;
    }
    BlockPtr<std::uint8_t> block = allocateBlockOf<std::uint8_t>(std::size_t{size} + 2);
    if (!block) {
        return false;
    }
    std::uint8_t* bytes = block.get();
    const std::uint32_t n = read(bytes, size);
    if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        return text.assign(utf16LittleEndianToUtf8(bytes + 2, (n - 2) / 2));
    }
    const auto* chars = reinterpret_cast<const char*>(bytes);
    return text.assign(std::string_view(chars, strnlen(chars, n)));
}

}  // namespace eri
