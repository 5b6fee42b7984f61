#include "eri/core/colour_output.h"

#include <cstring>

#include "eri/core/lossy_simd_kernels.h"
#include "eri/core/processor_features.h"

namespace eri {

namespace {

void copyPlane(float* to, const float* from, int blockSide) {
    std::memcpy(to, from, sizeof(float) * static_cast<std::size_t>(blockSide) * blockSide);
}

void placeLumaAndAlpha(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                       int channels, int firstAlphaBlock) {
    for (int q = 0; q < 4; ++q) {
        copyPlane(planeTable[0][q], sampleBlocks[q], blockSide);
        if (channels > 3) {
            copyPlane(planeTable[3][q], sampleBlocks[firstAlphaBlock + q], blockSide);
        }
    }
}

// Source rows of `block` from `firstRow` on, each written to two rows of `to`.
void doubleRows(float* to, const float* block, int firstRow, int blockSide) {
    const std::size_t rowBytes = sizeof(float) * static_cast<std::size_t>(blockSide);
    for (int r = 0; r < blockSide / 2; ++r) {
        const float* source = block + static_cast<std::ptrdiff_t>(firstRow + r) * blockSide;
        std::memcpy(to + static_cast<std::ptrdiff_t>(2 * r) * blockSide, source, rowBytes);
        std::memcpy(to + static_cast<std::ptrdiff_t>(2 * r + 1) * blockSide, source, rowBytes);
    }
}

// The half-size quarter of `block` starting at `offset`, each sample a 2 x 2 square of `to`.
void doubleBoth(float* to, const float* block, int offset, int blockSide) {
    const int half = blockSide / 2;
    for (int r = 0; r < half; ++r) {
        const float* source = block + offset + r * blockSide;
        float* upper = to + 2 * r * blockSide;
        float* lower = upper + blockSide;
        for (int x = 0; x < half; ++x) {
            upper[2 * x] = upper[2 * x + 1] = source[x];
            lower[2 * x] = lower[2 * x + 1] = source[x];
        }
    }
}

void convertPlain(float* c0, float* c1, float* c2, int count) {
    for (int i = 0; i < count; ++i) {
        const double y = c0[i];
        const double u = c1[i];
        const double v = c2[i];
        c0[i] = static_cast<float>(y + 1.5 * v);
        c1[i] = static_cast<float>(y - 0.375 * u - 0.75 * v);
        c2[i] = static_cast<float>(y + 1.75 * u);
    }
}

void writePlain(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                int blockSide, int width, int height, int planeCount, int pixelStep) {
    for (int y = 0; y < height; ++y) {
        const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(y) * blockSide;
        std::uint8_t* pixel = dest + y * lineStep;
        for (int x = 0; x < width; ++x) {
            for (int k = 0; k < planeCount; ++k) {
                pixel[k] = sampleToByte(planes[k][row + x]);
            }
            pixel += pixelStep;
        }
    }
}

bool floatSimd() {
    return (processorFeatures & kFloatSimd) != 0;
}

}  // namespace

void placeBlocks444(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                    int channels) {
    placeLumaAndAlpha(planeTable, sampleBlocks, blockSide, channels, 12);
    for (int c = 1; c < 3; ++c) {
        for (int q = 0; q < 4; ++q) {
            copyPlane(planeTable[c][q], sampleBlocks[4 * c + q], blockSide);
        }
    }
}

void placeBlocks422(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                    int channels) {
    placeLumaAndAlpha(planeTable, sampleBlocks, blockSide, channels, 8);
    for (int c = 1; c < 3; ++c) {
        for (int pair = 0; pair < 2; ++pair) {
            const float* block = sampleBlocks[2 + 2 * c + pair];
            doubleRows(planeTable[c][2 * pair], block, 0, blockSide);
            doubleRows(planeTable[c][2 * pair + 1], block, blockSide / 2, blockSide);
        }
    }
}

void placeBlocks411(PlaneTable planeTable, const float* const* sampleBlocks, int blockSide,
                    int channels) {
    placeLumaAndAlpha(planeTable, sampleBlocks, blockSide, channels, 6);
    const int half = blockSide / 2;
    const int quarterStart[4] = {0, half, half * blockSide, half * blockSide + half};
    for (int c = 1; c < 3; ++c) {
        for (int q = 0; q < 4; ++q) {
            doubleBoth(planeTable[c][q], sampleBlocks[3 + c], quarterStart[q], blockSide);
        }
    }
}

void convertColourPlanes(PlaneTable planeTable, int blockSide) {
    const int count = blockSide * blockSide;
    for (int q = 0; q < 4; ++q) {
#ifdef ERI_FLOAT_SIMD
        if (floatSimd()) {
            detail::convertColourSimd(planeTable[0][q], planeTable[1][q], planeTable[2][q], count);
            continue;
        }
#endif
        convertPlain(planeTable[0][q], planeTable[1][q], planeTable[2][q], count);
    }
}

std::uint8_t sampleToByte(float value) {
    if (!(value > 0.0f) || !(value < 2147483648.0f)) {
        return 0;
    }
    if (value > 255.0f) {
        return 255;
    }
    // Adding 2^23 leaves no fraction bits, so the sum is rounded to an integer
    // in the current mode (nearest, ties to even).
    const float shifted = value + 8388608.0f;
    return static_cast<std::uint8_t>(shifted - 8388608.0f);
}

void writePixels3(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                  int blockSide, int width, int height, int pixelStep) {
#ifdef ERI_FLOAT_SIMD
    if (floatSimd() && width % 4 == 0) {
        detail::writePixelsSimd(dest, lineStep, planes, blockSide, width, height, 3, pixelStep);
        return;
    }
#endif
    writePlain(dest, lineStep, planes, blockSide, width, height, 3, pixelStep);
}

void writePixels4(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                  int blockSide, int width, int height, int /*pixelStep*/) {
#ifdef ERI_FLOAT_SIMD
    if (floatSimd() && width % 4 == 0) {
        detail::writePixelsSimd(dest, lineStep, planes, blockSide, width, height, 4, 4);
        return;
    }
#endif
    writePlain(dest, lineStep, planes, blockSide, width, height, 4, 4);
}

}  // namespace eri
