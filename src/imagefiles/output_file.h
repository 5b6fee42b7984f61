// A file being written through POSIX calls with a block buffer in front. The
// file counts as written only once Commit succeeds: a file given up on (a
// failed write, or an OutputFile destroyed before Commit) is removed again,
// so no partial file is left behind as if it were complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tinta {

class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Takes the block buffer; false when the memory cannot be had. Call it
    // before Open so that a lack of memory leaves no file behind.
    bool Reserve(size_t bufferSize);

    // Opens path for writing, creating the file or replacing an existing one.
    // 0 or the open's errno.
    int Open(const std::string& path);

    // Hands size bytes to the file: copied into the buffer, or written
    // straight through when they do not fit. 0 or the errno of the failed
    // write; after a failure every later call fails with the same errno.
    int Write(const void* data, size_t size);

    // Writes what the buffer still holds and closes the file. 0 or the errno
    // of the failure, in which case the file has been removed.
    int Commit();

    // Closes the file and removes it, unless it is no regular file (a device
    // or a pipe named by the path is never removed).
    void Discard();

  private:
    int Flush();
    int WriteThrough(const uint8_t* data, size_t size);

    std::string path_;
    int descriptor_ = -1;
    bool removable_ = false;
    int error_ = 0;
    uint8_t* buffer_ = nullptr;
    size_t capacity_ = 0;
    size_t used_ = 0;
};

}  // namespace tinta
