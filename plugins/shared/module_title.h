// The FilterGetTitle body shared by the C++ modules.
#pragma once

#include <cstdint>
#include <cstring>

namespace tinta_module {

template <size_t kLength>
int32_t CopyTitle(const char (&text)[kLength], char* title, int32_t* value1, int32_t* value2) {
    static_assert(kLength <= 80, "titles hold at most 79 bytes");
    if (title != nullptr) {
        std::memcpy(title, text, kLength);
    }
    if (value1 != nullptr) {
        *value1 = 0;
    }
    if (value2 != nullptr) {
        *value2 = 0;
    }
    return 1;
}

}  // namespace tinta_module
