// ぼかし: a box blur of the colour channels with a radius of 1 to 32 pixels
// (default 2), kept in ./blur.dat; alpha is left alone. Edges repeat the
// outermost pixel.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "module_title.h"
#include "settings_dialog.h"
#include "settings_file.h"
#include "tinta_filter.h"

namespace {

using tinta_module::Setting;

constexpr char kSettingsPath[] = "./blur.dat";
constexpr int64_t kMaxPixels = int64_t{1} << 30;

std::vector<Setting> LoadSettings() {
    std::vector<Setting> settings{{"radius", "半径", 1, 32, 2}};
    tinta_module::ReadSettings(kSettingsPath, settings);
    return settings;
}

// Blurs count samples that lie step bytes apart in source into target.
void BlurLine(const uint8_t* source, uint8_t* target, ptrdiff_t count, size_t step, int radius) {
    const auto sample = [&](ptrdiff_t i) {
        return int{source[static_cast<size_t>(std::clamp<ptrdiff_t>(i, 0, count - 1)) * step]};
    };
    const int window = 2 * radius + 1;
    int sum = 0;
    for (ptrdiff_t k = -radius; k <= radius; ++k) {
        sum += sample(k);
    }
    for (ptrdiff_t x = 0; x < count; ++x) {
        target[static_cast<size_t>(x) * step] = static_cast<uint8_t>((sum + window / 2) / window);
        sum += sample(x + radius + 1) - sample(x - radius);
    }
}

void BlurPicture(std::vector<uint8_t>& picture, int32_t width, int32_t height, int radius) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> across(picture.size());
    for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
        for (size_t channel = 0; channel < 3; ++channel) {
            const size_t start = y * rowBytes + channel;
            BlurLine(picture.data() + start, across.data() + start, width, 3, radius);
        }
    }
    for (size_t column = 0; column < rowBytes; ++column) {
        BlurLine(across.data() + column, picture.data() + column, height, rowBytes, radius);
    }
}

}  // namespace

extern "C" int32_t FilterGetTitle(int32_t, char* title, int32_t* value1, int32_t* value2) {
    return tinta_module::CopyTitle("ぼかし", title, value1, value2);
}

extern "C" int32_t FilterOption(int32_t, const char*, uint8_t*) {
    try {
        return tinta_module::EditAndStoreSettings("ぼかしの設定", kSettingsPath, LoadSettings());
    } catch (...) {
        return 0;
    }
}

extern "C" int32_t FilterProc(int32_t, const ImageSizeRecord* size,
                              const PixelAccessTable* writeTable, const PixelAccessTable* readTable,
                              const char*, int32_t) {
    if (size == nullptr || writeTable == nullptr || readTable == nullptr || size->width < 1 ||
        size->height < 1 || int64_t{size->width} * size->height > kMaxPixels) {
        return 0;
    }
    try {
        const int radius = LoadSettings()[0].value;
        const size_t rowBytes = static_cast<size_t>(size->width) * 3;
        std::vector<uint8_t> picture(rowBytes * static_cast<size_t>(size->height));
        for (int32_t y = 0; y < size->height; ++y) {
            readTable->rgb(y, 0, size->width - 1, picture.data() + rowBytes * y);
        }
        BlurPicture(picture, size->width, size->height, radius);
        for (int32_t y = 0; y < size->height; ++y) {
            writeTable->rgb(y, 0, size->width - 1, picture.data() + rowBytes * y);
        }
        return 1;
    } catch (...) {
        return 0;
    }
}
