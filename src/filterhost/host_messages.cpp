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

}  // namespace tinta
