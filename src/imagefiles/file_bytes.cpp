#include "file_bytes.h"

#include <QString>

namespace tinta {

const uint8_t* FileBytes::MapWithQt(QFile& file, qint64 size) {
    return file.map(0, size);
}

FileBytes::FileBytes(const std::string& path, MapFunction map)
    : file_(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()))) {
    if (!file_.open(QIODevice::ReadOnly)) {
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
