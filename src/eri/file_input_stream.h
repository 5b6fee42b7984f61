#pragma once

#include "eri/input_stream.h"

namespace eri {

// A read-only file. Files of 4 GiB or more are refused at open, because every
// position of the container is 32 bits wide.
class FileInputStream : public InputStream {
  public:
    FileInputStream() = default;
    ~FileInputStream() override;
    FileInputStream(const FileInputStream&) = delete;
    FileInputStream& operator=(const FileInputStream&) = delete;

    bool open(const char* path);
    void close();
    bool isOpen() const { return ownsHandle_; }

    std::uint32_t read(void* buffer, std::uint32_t count) override;
    std::uint32_t getSize() override;
    std::uint32_t getPosition() override;
    void seek(std::uint32_t offset) override;

  private:
    int handle_ = -1;
    bool ownsHandle_ = false;
};

}  // namespace eri
