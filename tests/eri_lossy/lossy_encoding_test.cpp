// The encoder's pieces against the decoder's kernels: each encoding step
// followed by its decoding step must give back what went in.
#include "eriwriter/lossy_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "eri/core/colour_output.h"
#include "eri/core/inverse_transform.h"
#include "eri_lossy/scoped_features.h"

namespace {

TEST(LossyEncoding, ForwardTransformIsUndoneByTheInverse) {
    lossytest::ScopedFloatSimd path(true);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> sample(-20.0, 280.0);
    for (int s = 3; s <= 5; ++s) {
        const int n = 1 << s;
        std::vector<double> samples(n * n);
        for (double& x : samples) {
            x = sample(random);
        }
        const std::vector<double> coefficients = eriwriter::forwardTransform(samples, n);
        std::vector<float> input(coefficients.begin(), coefficients.end());
        std::vector<float> output(n * n);
        std::vector<float> work(n * n + n);
        eri::inverseTransformBlock(output.data(), input.data(), s,
                                   eri::TransformWork{work.data(), work.data() + n * n});
        for (int i = 0; i < n * n; ++i) {
            ASSERT_NEAR(output[i], samples[i], 2e-3) << "N = " << n << " sample " << i;
        }
    }
}

TEST(LossyEncoding, ColourConversionIsUndoneByTheDecoder) {
    for (bool simd : {false, true}) {
        lossytest::ScopedFloatSimd path(simd);
        std::mt19937 random(9);
        std::uniform_int_distribution<int> byte(0, 255);
        constexpr int n = 8;
        std::vector<float> storage(16 * n * n);
        float* planes[4][4];
        for (int i = 0; i < 16; ++i) {
            planes[i / 4][i % 4] = storage.data() + i * n * n;
        }
        std::vector<std::uint8_t> original(4 * n * n * 3);
        for (int q = 0; q < 4; ++q) {
            for (int i = 0; i < n * n; ++i) {
                std::uint8_t* pixel = &original[(q * n * n + i) * 3];
                for (int k = 0; k < 3; ++k) {
                    pixel[k] = static_cast<std::uint8_t>(byte(random));
                }
                const auto yuv = eriwriter::toLumaChroma(pixel[0], pixel[1], pixel[2]);
                planes[0][q][i] = static_cast<float>(yuv.y);
                planes[1][q][i] = static_cast<float>(yuv.u);
                planes[2][q][i] = static_cast<float>(yuv.v);
            }
        }
        eri::convertColourPlanes(planes, n);
        for (int q = 0; q < 4; ++q) {
            std::vector<std::uint8_t> written(n * n * 3);
            const float* quadrant[4] = {planes[0][q], planes[1][q], planes[2][q], planes[3][q]};
            eri::writePixels3(written.data(), n * 3, quadrant, n, n, n, 3);
            ASSERT_TRUE(
                std::equal(written.begin(), written.end(), original.begin() + q * n * n * 3))
                << "quadrant " << q << (simd ? " simd" : " plain");
        }
    }
}

// Chroma that is constant over what the sampling code merges comes back exactly.
TEST(LossyEncoding, SubsamplingIsUndoneByThePlacementRoutines) {
    constexpr int n = 8;
    const struct {
        std::uint32_t code;
        eri::SamplingRoutine routine;
        int mergeX, mergeY;
    } cases[] = {{eriwriter::kSampling444, eri::placeBlocks444, 1, 1},
                 {eriwriter::kSampling422, eri::placeBlocks422, 1, 2},
                 {eriwriter::kSampling411, eri::placeBlocks411, 2, 2}};
    for (const auto& c : cases) {
        for (int channels : {3, 4}) {
            std::array<std::vector<double>, 4> planes;
            for (int k = 0; k < 4; ++k) {
                planes[k].resize(4 * n * n);
                for (int y = 0; y < 2 * n; ++y) {
                    for (int x = 0; x < 2 * n; ++x) {
                        const int merged =
                            k == 0 || k == 3 ? y * 2 * n + x : (y / c.mergeY) * 97 + x / c.mergeX;
                        planes[k][y * 2 * n + x] = 1000 * k + merged;
                    }
                }
            }
            const auto blocks = eriwriter::macroblockBlocks(planes, n, c.code, channels);
            ASSERT_EQ(static_cast<int>(blocks.size()),
                      eriwriter::colourBlocksFor(c.code) + (channels == 4 ? 4 : 0));
            std::vector<std::vector<float>> floats;
            const float* sampleBlocks[16] = {};
            for (const auto& block : blocks) {
                floats.emplace_back(block.begin(), block.end());
            }
            for (std::size_t b = 0; b < floats.size(); ++b) {
                sampleBlocks[b] = floats[b].data();
            }
            std::vector<float> storage(16 * n * n);
            float* planeTable[4][4];
            for (int i = 0; i < 16; ++i) {
                planeTable[i / 4][i % 4] = storage.data() + i * n * n;
            }
            c.routine(planeTable, sampleBlocks, n, channels);
            for (int k = 0; k < channels; ++k) {
                for (int q = 0; q < 4; ++q) {
                    for (int y = 0; y < n; ++y) {
                        for (int x = 0; x < n; ++x) {
                            const int px = (q % 2) * n + x;
                            const int py = (q / 2) * n + y;
                            ASSERT_EQ(planeTable[k][q][y * n + x], planes[k][py * 2 * n + px])
                                << std::hex << c.code << std::dec << " component " << k
                                << " quadrant " << q << " at " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
