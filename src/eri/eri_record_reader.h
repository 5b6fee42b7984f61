// Reader of the record container: presents the innermost record entered as a
// stream of its own, and holds the information records of an ERI image file.
#pragma once

#include <cstdint>
#include <memory>

#include "eri/image_info.h"
#include "eri/input_stream.h"
#include "eri/load_error.h"
#include "eri/text_buffer.h"

namespace eri {

constexpr std::size_t kRecordIdSize = 8;
constexpr std::size_t kFileHeaderRecordSize = 20;
constexpr std::size_t kPreviewInfoSize = 68;
constexpr std::size_t kSoundInfoSize = 40;
constexpr std::size_t kPaletteSize = 1024;
constexpr std::uint32_t kEriFileKind = 0x03000100;
constexpr std::uint32_t kNewestFileVersion = 0x00020100;
constexpr std::uint32_t kContainerHeaderSize = 64;

// infoFlags bits: which information records were found.
constexpr std::uint32_t kHasFileHeader = 0x01;
constexpr std::uint32_t kHasPreviewInfo = 0x02;
constexpr std::uint32_t kHasImageInfo = 0x04;
constexpr std::uint32_t kHasSoundInfo = 0x08;
constexpr std::uint32_t kHasCopyright = 0x10;
constexpr std::uint32_t kHasDescription = 0x20;
constexpr std::uint32_t kHasPalette = 0x40;

struct RecordFrame {
    std::uint8_t id[kRecordIdSize] = {};
    std::uint64_t length = 0;
    std::unique_ptr<RecordFrame> parent;
    std::uint32_t dataStart = 0;
    std::uint32_t dataEnd = 0;
};

class EriRecordReader : public InputStream {
  public:
    EriRecordReader() = default;
    ~EriRecordReader() override;
    EriRecordReader(const EriRecordReader&) = delete;
    EriRecordReader& operator=(const EriRecordReader&) = delete;

    // Checks the file header and reads the information records; depth 0 to 3
    // (anything else as 3) says how far. `stream` is borrowed and must outlive this reader.
    bool open(InputStream& stream, int depth);

    // Enters the next record with identifier `id` (8 bytes), or the very next
    // record when `id` is null.
    bool descend(const char* id);
    void ascend();
    void closeRecords();
    const RecordFrame* top() const { return top_.get(); }

    // Relative to the record entered last.
    std::uint32_t read(void* buffer, std::uint32_t count) override;
    std::uint32_t getSize() override;
    std::uint32_t getPosition() override;
    void seek(std::uint32_t offset) override;

    // Why the last open returned false.
    LoadError openFailure = LoadError::none;
    std::uint32_t infoFlags = 0;
    std::uint8_t fileHeader[kFileHeaderRecordSize] = {};
    std::uint8_t previewInfo[kPreviewInfoSize] = {};
    ImageInfo imageInfo;
    std::uint8_t soundInfo[kSoundInfoSize] = {};
    std::uint8_t palette[kPaletteSize] = {};
    TextBuffer cpyrightText;
    TextBuffer descriptText;

  private:
    bool failOpen(LoadError cause) {
        openFailure = cause;
        return false;
    }
    bool readHeaderRecords();
    void seekSource(std::uint32_t position);
    bool readText(TextBuffer& text);

    InputStream* source_ = nullptr;
    // The source's position, kept here: every move of the source goes
    // through this reader, so reads need not ask the source where it is.
    std::uint32_t position_ = 0;
    std::unique_ptr<RecordFrame> top_;
};

}  // namespace eri
