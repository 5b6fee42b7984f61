#include "eriwriter/container_writer.h"

#include <cassert>
#include <cstring>

namespace eriwriter {
namespace {

constexpr std::uint8_t kMagic[8] = {0x45, 0x6E, 0x74, 0x69, 0x73, 0x1A, 0x00, 0x00};

void patch64(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

void putLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

ContainerWriter::ContainerWriter(std::uint32_t fileKind) {
    bytes_.assign(kMagic, kMagic + 8);
    putLittleEndian32(bytes_, fileKind);
    bytes_.resize(64, 0);
}

void ContainerWriter::beginRecord(std::string_view id, std::optional<std::uint64_t> lengthField) {
    assert(id.size() == 8);
    bytes_.insert(bytes_.end(), id.begin(), id.end());
    open_.push_back({bytes_.size(), lengthField});
    bytes_.resize(bytes_.size() + 8, 0);
}

void ContainerWriter::endRecord() {
    const OpenRecord record = open_.back();
    open_.pop_back();
    const std::uint64_t size = bytes_.size() - (record.lengthOffset + 8);
    patch64(bytes_, record.lengthOffset, record.lengthField.value_or(size));
}

void ContainerWriter::write(const std::vector<std::uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ContainerWriter::write(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void ContainerWriter::record(std::string_view id, const std::vector<std::uint8_t>& data,
                             std::optional<std::uint64_t> lengthField) {
    beginRecord(id, lengthField);
    write(data);
    endRecord();
}

std::vector<std::uint8_t> fileHeaderRecord(std::uint32_t version) {
    std::vector<std::uint8_t> out;
    putLittleEndian32(out, version);
    out.resize(20, 0);
    return out;
}

std::vector<std::uint8_t> imageInfoRecord(const eri::ImageInfo& info) {
    std::vector<std::uint8_t> out;
    putLittleEndian32(out, info.codingVersion);
    putLittleEndian32(out, info.transformation);
    putLittleEndian32(out, static_cast<std::uint32_t>(info.architecture));
    putLittleEndian32(out, info.formatType);
    putLittleEndian32(out, static_cast<std::uint32_t>(info.width));
    putLittleEndian32(out, static_cast<std::uint32_t>(info.height));
    putLittleEndian32(out, info.bitsPerPixel);
    putLittleEndian32(out, 0);
    putLittleEndian32(out, info.samplingCode);
    out.resize(52, 0);
    putLittleEndian32(out, info.blockingDegree);
    out.resize(eri::kImageInfoSize, 0);
    return out;
}

std::vector<std::uint8_t> eriFile(const eri::ImageInfo& info,
                                  const std::vector<std::uint8_t>& frame,
                                  const std::vector<std::uint8_t>* palette) {
    ContainerWriter writer;
    writer.beginRecord("Header  ");
    writer.record("FileHdr ", fileHeaderRecord(0x00020100));
    writer.record("ImageInf", imageInfoRecord(info));
    writer.endRecord();
    writer.beginRecord("Stream  ");
    if (palette != nullptr) {
        writer.record("Palette ", *palette);
    }
    writer.record("ImageFrm", frame);
    writer.endRecord();
    return writer.bytes();
}

}  // namespace eriwriter
