#include "eri/eri_record_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace eri {
namespace {

constexpr std::uint64_t kLengthToParentEnd = ~std::uint64_t{0};
constexpr std::uint32_t kRecordHeaderSize = 16;

std::uint64_t readLittleEndian64(const std::uint8_t* bytes) {
    return static_cast<std::uint64_t>(readLittleEndian32(bytes)) |
           static_cast<std::uint64_t>(readLittleEndian32(bytes + 4)) << 32;
}

}  // namespace

EriRecordReader::~EriRecordReader() {
    closeRecords();
}

bool EriRecordReader::descend(const char* id) {
    if (source_ == nullptr || !top_) {
        return false;
    }
    for (;;) {
        std::unique_ptr<RecordFrame> frame(new (std::nothrow) RecordFrame);
        if (!frame) {
            return false;
        }
        std::uint8_t header[kRecordHeaderSize];
        if (read(header, kRecordHeaderSize) < kRecordHeaderSize) {
            return false;
        }
        std::memcpy(frame->id, header, kRecordIdSize);
        frame->length = readLittleEndian64(header + kRecordIdSize);
        frame->dataStart = position_;
        const std::uint32_t parentEnd = top_->dataEnd;
        if (frame->length == kLengthToParentEnd) {
            frame->dataEnd = parentEnd;
        } else {
            // Only the low 32 bits of the length count; stored files may
            // carry anything in the high word. A record whose end would
            // wrap past the 32-bit position space is not entered.
            const std::uint64_t end =
                std::uint64_t{frame->dataStart} + static_cast<std::uint32_t>(frame->length);
            if (end > 0xFFFFFFFFu) {
                return false;
            }
            frame->dataEnd = std::min(static_cast<std::uint32_t>(end), parentEnd);
        }
        frame->dataEnd = std::max(frame->dataEnd, frame->dataStart);
        frame->parent = std::move(top_);
        top_ = std::move(frame);
        if (id == nullptr || std::memcmp(top_->id, id, kRecordIdSize) == 0) {
            return true;
        }
        ascend();
    }
}

void EriRecordReader::ascend() {
    if (!top_ || !top_->parent) {
        return;
    }
    seekSource(top_->dataEnd);
    top_ = std::move(top_->parent);
}

void EriRecordReader::closeRecords() {
    while (top_) {
        top_ = std::move(top_->parent);
    }
}

std::uint32_t EriRecordReader::read(void* buffer, std::uint32_t count) {
    if (source_ == nullptr || !top_) {
        return 0;
    }
    if (position_ >= top_->dataEnd) {
        return 0;  // at the end of the record: no call to the source
    }
    const std::uint32_t got = source_->read(buffer, std::min(count, top_->dataEnd - position_));
    position_ += got;
    return got;
}

std::uint32_t EriRecordReader::getSize() {
    if (source_ == nullptr || !top_) {
        return 0;
    }
    return top_->dataEnd - top_->dataStart;
}

std::uint32_t EriRecordReader::getPosition() {
    if (source_ == nullptr || !top_) {
        return 0;
    }
    return position_ > top_->dataStart ? position_ - top_->dataStart : 0;
}

void EriRecordReader::seek(std::uint32_t offset) {
    if (source_ == nullptr || !top_) {
        return;
    }
    const std::uint64_t target = std::uint64_t{top_->dataStart} + offset;
    seekSource(static_cast<std::uint32_t>(std::min<std::uint64_t>(target, top_->dataEnd)));
}

void EriRecordReader::seekSource(std::uint32_t position) {
    if (source_ != nullptr) {
        source_->seek(position);
        position_ = position;
    }
}

}  // namespace eri
