#include "eri/file_input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace eri {
namespace {

constexpr std::uint64_t kLargestFile = 0xFFFFFFFFu;

}  // namespace

FileInputStream::~FileInputStream() {
    close();
}

bool FileInputStream::open(const char* path) {
    close();
    const int handle = ::open(path, O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        return false;
    }
    struct stat status {};
    if (fstat(handle, &status) != 0 || status.st_size < 0 ||
        static_cast<std::uint64_t>(status.st_size) > kLargestFile) {
        ::close(handle);
        return false;
    }
    handle_ = handle;
    ownsHandle_ = true;
    return true;
}

void FileInputStream::close() {
    if (!ownsHandle_) {
        return;
    }
    ::close(handle_);
    handle_ = -1;
    ownsHandle_ = false;
}

std::uint32_t FileInputStream::read(void* buffer, std::uint32_t count) {
    if (handle_ < 0) {
        return 0;
    }
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::uint32_t total = 0;
    while (total < count) {
        const ssize_t got = ::read(handle_, bytes + total, count - total);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        total += static_cast<std::uint32_t>(got);
    }
    return total;
}

std::uint32_t FileInputStream::getSize() {
    struct stat status {};
    if (handle_ < 0 || fstat(handle_, &status) != 0 || status.st_size < 0) {
        return 0;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    return static_cast<std::uint32_t>(size > kLargestFile ? kLargestFile : size);
}

std::uint32_t FileInputStream::getPosition() {
    if (handle_ < 0) {
        return 0;
    }
    const off_t position = lseek(handle_, 0, SEEK_CUR);
    if (position < 0 || static_cast<std::uint64_t>(position) > kLargestFile) {
        return 0;
    }
    return static_cast<std::uint32_t>(position);
}

void FileInputStream::seek(std::uint32_t offset) {
    if (handle_ >= 0) {
        lseek(handle_, static_cast<off_t>(offset), SEEK_SET);
    }
}

}  // namespace eri
