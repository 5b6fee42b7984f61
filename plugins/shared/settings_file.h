// Module settings kept as "name=value" lines of integers in a small text
// file. Unknown names, bad numbers and a missing file leave the defaults.
#pragma once

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string>
#include <vector>

namespace tinta_module {

struct Setting {
    const char* name;
    const char* label;  // shown in the settings dialog
    int minimum;
    int maximum;
    int value;
};

inline void ReadSettings(const std::string& path, std::vector<Setting>& settings) {
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(0, equals);
        const char* first = line.data() + equals + 1;
        const char* last = line.data() + line.size();
        int value = 0;
        const auto parsed = std::from_chars(first, last, value);
        if (parsed.ec != std::errc()) {
            continue;
        }
        for (Setting& setting : settings) {
            if (name == setting.name) {
                setting.value = std::clamp(value, setting.minimum, setting.maximum);
            }
        }
    }
}

inline bool WriteSettings(const std::string& path, const std::vector<Setting>& settings) {
    std::ofstream file(path, std::ios::trunc);
    for (const Setting& setting : settings) {
        file << setting.name << '=' << setting.value << '\n';
    }
    file.close();
    return !file.fail();
}

}  // namespace tinta_module
