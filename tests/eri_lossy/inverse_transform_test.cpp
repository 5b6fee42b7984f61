#include "eri/core/inverse_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "eri_lossy/scoped_features.h"

namespace {

struct Block {
    explicit Block(int s) : side(1 << s), coefficients(side * side), output(side * side, -7.0f) {
        work.block = workBlock.data();
        work.scratch = workScratch.data();
    }
    int side;
    std::vector<float> coefficients;
    std::vector<float> output;
    std::vector<float> workBlock = std::vector<float>(32 * 32);
    std::vector<float> workScratch = std::vector<float>(32);
    eri::TransformWork work;
};

// The defining double sum, evaluated separably.
std::vector<double> directInverse(const std::vector<float>& f, int n) {
    std::vector<double> cosine(n * n);
    for (int k = 0; k < n; ++k) {
        for (int x = 0; x < n; ++x) {
            cosine[k * n + x] = std::cos((2 * x + 1) * k * std::numbers::pi / (2 * n));
        }
    }
    std::vector<double> columns(n * n);  // row y, column u: sum over v
    for (int y = 0; y < n; ++y) {
        for (int u = 0; u < n; ++u) {
            double sum = 0;
            for (int v = 0; v < n; ++v) {
                sum += f[v * n + u] * cosine[v * n + y];
            }
            columns[y * n + u] = sum;
        }
    }
    std::vector<double> out(n * n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            double sum = 0;
            for (int u = 0; u < n; ++u) {
                sum += columns[y * n + u] * cosine[u * n + x];
            }
            out[y * n + x] = sum;
        }
    }
    return out;
}

class InverseTransform : public ::testing::TestWithParam<std::tuple<int, bool>> {
  protected:
    int degree() const { return std::get<0>(GetParam()); }
    lossytest::ScopedFloatSimd path_{std::get<1>(GetParam())};
};

// Agreement with the defining sum to within the rounding of 32-bit floats:
// the error is measured against the sum of the magnitudes that enter a sample.
TEST_P(InverseTransform, AgreesWithTheDefiningSum) {
    Block block(degree());
    const int n = block.side;
    std::mt19937 random(1234 + degree());
    std::uniform_real_distribution<float> value(-300.0f, 300.0f);
    for (int round = 0; round < 20; ++round) {
        double magnitude = 0;
        for (float& c : block.coefficients) {
            c = round % 2 == 0 ? value(random) : std::round(value(random) / 16) * 4;
            magnitude += std::fabs(c);
        }
        eri::inverseTransformBlock(block.output.data(), block.coefficients.data(), degree(),
                                   block.work);
        const std::vector<double> expected = directInverse(block.coefficients, n);
        double worst = 0;
        for (int i = 0; i < n * n; ++i) {
            worst = std::max(worst, std::fabs(block.output[i] - expected[i]));
        }
        // One float epsilon of the total magnitude.
        EXPECT_LE(worst, magnitude * 1.2e-7) << "round " << round;
        if (round == 0) {
            std::printf("N = %d: worst error %.3g of magnitude %.3g\n", n, worst, magnitude);
        }
    }
}

// Every coefficient alone, DC and the first horizontal frequency included.
TEST_P(InverseTransform, BasisFunctionsOneByOne) {
    Block block(degree());
    const int n = block.side;
    for (int i = 0; i < n * n; ++i) {
        std::fill(block.coefficients.begin(), block.coefficients.end(), 0.0f);
        block.coefficients[i] = 1.0f;
        eri::inverseTransformBlock(block.output.data(), block.coefficients.data(), degree(),
                                   block.work);
        const std::vector<double> expected = directInverse(block.coefficients, n);
        for (int k = 0; k < n * n; ++k) {
            ASSERT_NEAR(block.output[k], expected[k], 2e-6) << "coefficient " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothPaths, InverseTransform,
                         ::testing::Combine(::testing::Values(3, 4, 5), ::testing::Bool()));

TEST(InverseTransformDegrees, OutsideThreeToFiveNothingIsWritten) {
    eri::initializeDecodingCore();
    for (int s : {0, 1, 2, 6, -1}) {
        Block block(5);
        block.coefficients[0] = 5.0f;
        eri::inverseTransformBlock(block.output.data(), block.coefficients.data(), s, block.work);
        for (float sample : block.output) {
            ASSERT_EQ(sample, -7.0f) << "degree " << s;
        }
    }
}

}  // namespace
