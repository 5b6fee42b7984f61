// A file being written through POSIX calls with a block buffer in front. The
// bytes go to a hidden temporary file beside the target, which Commit
// renames into place: a file given up on (a failed write, a stop, a crash,
// or an OutputFile destroyed before Commit) never appears under the
// target's name, and an older file there stays whole until the new one
// replaces it. A target that exists and is no regular file (a device or a
// pipe) is written directly and never removed.
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

    // Opens path for writing; Commit creates the file or replaces an existing
    // one. 0 or the open's errno.
    int Open(const std::string& path);

    // Hands size bytes to the file: copied into the buffer, or written
    // straight through when they do not fit. 0 or the errno of the failed
    // write; after a failure every later call fails with the same errno.
    int Write(const void* data, size_t size);

    // Writes what the buffer still holds, closes the file and renames it
    // into place. 0 or the errno of the failure, in which case nothing is
    // left of the new file.
    int Commit();

    // Closes the file and removes it, unless it is no regular file (a device
    // or a pipe named by the path is never removed).
    void Discard();

  private:
    int Flush();
    int WriteThrough(const uint8_t* data, size_t size);

    std::string path_;       // the target
    std::string writePath_;  // where the bytes go: a temporary file, or the target
    int descriptor_ = -1;
    bool removable_ = false;
    int error_ = 0;
    uint8_t* buffer_ = nullptr;
    size_t capacity_ = 0;
    size_t used_ = 0;
};

}  // namespace tinta
