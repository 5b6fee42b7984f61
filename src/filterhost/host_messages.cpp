#include "host_messages.h"

#include <string_view>

namespace tinta {

std::string LoadFailedMessage(const std::string& path, const std::string& reason) {
    const std::string_view format = kLoadFailedFormat;
    const size_t placeholder = format.find("%s");
    std::string text(format.substr(0, placeholder));
    text += path;
    text += format.substr(placeholder + 2);
    if (!reason.empty()) {
        text += '\n';
        text += reason;
    }
    return text;
}

namespace {

std::string_view FileName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string NoEntryPointMessage(const std::string& modulePath, std::string_view entry) {
    std::string text(FileName(modulePath));
    text += "のエントリポイント(";
    text += entry;
    text += ")が見つかりません";
    return text;
}

}  // namespace

std::string NoGetTitleMessage(const std::string& modulePath) {
    return NoEntryPointMessage(modulePath, "GetTitle");
}

std::string NoProcMessage(const std::string& modulePath) {
    return NoEntryPointMessage(modulePath, "Proc");
}

}  // namespace tinta
