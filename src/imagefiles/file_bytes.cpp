#include "file_bytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tinta {

const uint8_t* FileBytes::MapWithQt(QFile& file, qint64 size) {
    return file.map(0, size);
}

// The file is opened by its bytes, which need not be UTF-8: a QString file
// name could not give them back.
FileBytes::FileBytes(const std::string& path, MapFunction map) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        failure_ = std::string("ファイルを開けませんでした: ") + std::strerror(errno);
        return;
    }
    if (!file_.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        failure_ = "ファイルを開けませんでした: " + file_.errorString().toStdString();
        return;
    }
    const qint64 size = file_.size();
    if (size <= 0) {
        failure_ = "空のファイルです";
        return;
    }
    if (const uint8_t* mapped = map(file_, size); mapped != nullptr) {
        data_ = mapped;
        size_ = static_cast<size_t>(size);
        mapped_ = true;
        return;
    }
    read_ = file_.readAll();
    if (read_.size() != size) {
        failure_ = "ファイルを読めませんでした: " + file_.errorString().toStdString();
        read_.clear();
        return;
    }
    data_ = reinterpret_cast<const uint8_t*>(read_.constData());
    size_ = static_cast<size_t>(read_.size());
}

}  // namespace tinta
