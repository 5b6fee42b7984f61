// dn_quor: a tone filter. Brightness shifts every colour channel, contrast
// stretches it around the middle grey, saturation moves each pixel away from
// or towards its grey. Each setting runs from -100 to 100 (0 changes
// nothing) and is kept in ./dn_quor.dat; alpha is left alone.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "module_title.h"
#include "settings_dialog.h"
#include "settings_file.h"
#include "tinta_filter.h"

namespace {

using tinta_module::Setting;

constexpr char kSettingsPath[] = "./dn_quor.dat";

std::vector<Setting> LoadSettings() {
    std::vector<Setting> settings{{"brightness", "明るさ", -100, 100, 0},
                                  {"contrast", "コントラスト", -100, 100, 0},
                                  {"saturation", "彩度", -100, 100, 0}};
    tinta_module::ReadSettings(kSettingsPath, settings);
    return settings;
}

uint8_t Clamp(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// Brightness and contrast for every channel value at once.
std::array<uint8_t, 256> ToneTable(int brightness, int contrast) {
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const int stretched = ((v - 128) * (100 + contrast) + (v >= 128 ? 50 : -50)) / 100;
        table[static_cast<size_t>(v)] = Clamp(stretched + 128 + brightness * 255 / 100);
    }
    return table;
}

void ToneRow(uint8_t* row, size_t pixels, const std::array<uint8_t, 256>& table, int saturation) {
    for (size_t i = 0; i < pixels * 3; i += 3) {
        const int blue = table[row[i]];
        const int green = table[row[i + 1]];
        const int red = table[row[i + 2]];
        const int grey = (114 * blue + 587 * green + 299 * red + 500) / 1000;
        const int factor = 100 + saturation;
        row[i] = Clamp(grey + (blue - grey) * factor / 100);
        row[i + 1] = Clamp(grey + (green - grey) * factor / 100);
        row[i + 2] = Clamp(grey + (red - grey) * factor / 100);
    }
}

}  // namespace

extern "C" int32_t FilterGetTitle(int32_t, char* title, int32_t* value1, int32_t* value2) {
    return tinta_module::CopyTitle("dn_quor", title, value1, value2);
}

extern "C" int32_t FilterOption(int32_t, const char*, uint8_t*) {
    try {
        return tinta_module::EditAndStoreSettings("dn_quorの設定", kSettingsPath, LoadSettings());
    } catch (...) {
        return 0;
    }
}

extern "C" int32_t FilterProc(int32_t, const ImageSizeRecord* size,
                              const PixelAccessTable* writeTable, const PixelAccessTable* readTable,
                              const char*, int32_t) {
    if (size == nullptr || writeTable == nullptr || readTable == nullptr || size->width < 1) {
        return 0;
    }
    try {
        const std::vector<Setting> settings = LoadSettings();
        const auto table = ToneTable(settings[0].value, settings[1].value);
        const int saturation = settings[2].value;
        std::vector<uint8_t> row(static_cast<size_t>(size->width) * 3);
        for (int32_t y = 0; y < size->height; ++y) {
            readTable->rgb(y, 0, size->width - 1, row.data());
            ToneRow(row.data(), static_cast<size_t>(size->width), table, saturation);
            writeTable->rgb(y, 0, size->width - 1, row.data());
        }
        return 1;
    } catch (...) {
        return 0;
    }
}
