#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace tinta {

namespace {

// Bytes of the target's name that go into the temporary name, so that it
// stays inside the file system's name limit (255) for any target.
constexpr size_t kNameBytesKept = 200;

// A hidden name beside path: the folder, "." and the file name, and a
// random tail.
std::string TemporaryName(const std::string& path, uint32_t tail) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x~", tail);
    return path.substr(0, nameStart) + "." + path.substr(nameStart, kNameBytesKept) + suffix;
}

// Opens a new temporary file beside path; the descriptor or -errno.
int OpenTemporary(const std::string& path, std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = TemporaryName(path, random());
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) {
            return descriptor >= 0 ? descriptor : -errno;
        }
    }
    return -EEXIST;
}

}  // namespace

OutputFile::~OutputFile() {
    Discard();
    std::free(buffer_);
}

bool OutputFile::Reserve(size_t bufferSize) {
    std::free(buffer_);
    used_ = 0;
    buffer_ = static_cast<uint8_t*>(std::malloc(bufferSize > 0 ? bufferSize : 1));
    capacity_ = buffer_ != nullptr ? bufferSize : 0;
    return buffer_ != nullptr;
}

int OutputFile::Open(const std::string& path) {
    Discard();
    used_ = 0;
    error_ = 0;
    struct stat target {};
    const bool special = ::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode);
    if (special || path.empty() || path.back() == '/') {
        // Devices and pipes are written in place; a folder fails the open.
        const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            return errno;
        }
        descriptor_ = descriptor;
        writePath_ = path;
        removable_ = false;
    } else {
        const int descriptor = OpenTemporary(path, writePath_);
        if (descriptor < 0) {
            return -descriptor;
        }
        descriptor_ = descriptor;
        removable_ = true;
    }
    path_ = path;
    return 0;
}

int OutputFile::WriteThrough(const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor_, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

int OutputFile::Flush() {
    const int error = WriteThrough(buffer_, used_);
    used_ = 0;
    return error;
}

int OutputFile::Write(const void* data, size_t size) {
    if (error_ != 0 || descriptor_ < 0) {
        return error_ != 0 ? error_ : EBADF;
    }
    if (size == 0) {
        return 0;
    }
    if (size > capacity_ - used_) {
        error_ = Flush();
        if (error_ == 0 && size >= capacity_) {
            error_ = WriteThrough(static_cast<const uint8_t*>(data), size);
            return error_;
        }
        if (error_ != 0) {
            return error_;
        }
    }
    std::memcpy(buffer_ + used_, data, size);
    used_ += size;
    return 0;
}

int OutputFile::Commit() {
    if (descriptor_ < 0) {
        return EBADF;
    }
    int error = error_ != 0 ? error_ : Flush();
    // A failing close can be the first report of a lost write.
    if (::close(descriptor_) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    descriptor_ = -1;
    if (error == 0 && removable_ && ::rename(writePath_.c_str(), path_.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        if (removable_) {
            ::unlink(writePath_.c_str());
        }
        error_ = error;
    }
    return error;
}

void OutputFile::Discard() {
    if (descriptor_ < 0) {
        return;
    }
    ::close(descriptor_);
    descriptor_ = -1;
    if (removable_) {
        ::unlink(writePath_.c_str());
    }
}

}  // namespace tinta
