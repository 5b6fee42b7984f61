// The bytes of a whole input file in memory: mapped where the file system
// allows it, so that they can be checked before decoding without a copy,
// and read into memory where mapping fails (some network and user-space
// file systems refuse it).
#pragma once

#include <QByteArray>
#include <QFile>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tinta {

class FileBytes {
  public:
    // Maps size bytes of the open file; null when the file system refuses.
    using MapFunction = const uint8_t* (*)(QFile& file, qint64 size);
    static const uint8_t* MapWithQt(QFile& file, qint64 size);

    // Opens the file (path as bytes) and maps it with map, or reads it when
    // that gives nothing.
    explicit FileBytes(const std::string& path, MapFunction map = MapWithQt);
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Null when the bytes could not be had; failure() then says why.
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool mapped() const { return mapped_; }
    const std::string& failure() const { return failure_; }

  private:
    QFile file_;
    QByteArray read_;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    bool mapped_ = false;
    std::string failure_;
};

}  // namespace tinta
