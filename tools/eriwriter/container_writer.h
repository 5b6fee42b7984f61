// Builds record-container files in memory: the 64-byte header, then records
// that may nest, with exact, all-ones or freely chosen length fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "eri/image_info.h"

namespace eriwriter {

constexpr std::uint64_t kLengthToParentEnd = ~std::uint64_t{0};

class ContainerWriter {
  public:
    explicit ContainerWriter(std::uint32_t fileKind = 0x03000100);

    // Opens a record; its length field is patched at endRecord with the data
    // size, or set to `lengthField` when one is given.
    void beginRecord(std::string_view id, std::optional<std::uint64_t> lengthField = std::nullopt);
    void endRecord();
    void write(const std::vector<std::uint8_t>& data);
    void write(const void* data, std::size_t size);
    // A whole record holding `data`.
    void record(std::string_view id, const std::vector<std::uint8_t>& data,
                std::optional<std::uint64_t> lengthField = std::nullopt);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    struct OpenRecord {
        std::size_t lengthOffset;
        std::optional<std::uint64_t> lengthField;
    };
    std::vector<std::uint8_t> bytes_;
    std::vector<OpenRecord> open_;
};

std::vector<std::uint8_t> fileHeaderRecord(std::uint32_t version);
std::vector<std::uint8_t> imageInfoRecord(const eri::ImageInfo& info);
void putLittleEndian32(std::vector<std::uint8_t>& out, std::uint32_t value);

// A complete ERI file: "Header  " with "FileHdr " and "ImageInf", then
// "Stream  " with a "Palette " record when `palette` is given (1,024 bytes)
// and "ImageFrm" holding `frame`.
std::vector<std::uint8_t> eriFile(const eri::ImageInfo& info,
                                  const std::vector<std::uint8_t>& frame,
                                  const std::vector<std::uint8_t>* palette = nullptr);

}  // namespace eriwriter
