#include "eri/core/cosine_tables.h"

#include <cmath>

namespace eri {

namespace {

constexpr int kCosineStorage = (2 << kLargestCosineTable) - 2;  // 2 + 4 + ... + 2048
float cosineStorage[kCosineStorage];

const long double kPi = 3.141592653589793238462643383279502884L;

}  // namespace

const float* cosineTables[kLargestCosineTable + 1] = {};
float inverseMatrix4[4][4] = {};
float forwardMatrix4[4][4] = {};

void buildCosineTables() {
    float* entry = cosineStorage;
    for (int i = 1; i <= kLargestCosineTable; ++i) {
        const int size = 1 << i;
        cosineTables[i] = entry;
        for (int k = 0; k < size; ++k) {
            *entry++ = static_cast<float>(std::cos((2 * k + 1) * kPi / (4.0L * size)));
        }
    }
    for (int u = 0; u < 4; ++u) {
        for (int x = 0; x < 4; ++x) {
            const auto c = static_cast<float>(std::cos(u * (2 * x + 1) * kPi / 8.0L));
            inverseMatrix4[u][x] = c;
            forwardMatrix4[x][u] = u == 0 ? 0.5f * c : c;
        }
    }
}

}  // namespace eri
