#include "eriwriter/lossy_encoding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace eriwriter {

LumaChroma toLumaChroma(double c0, double c1, double c2) {
    const double y = (7 * c0 + 14 * c1 + 3 * c2) / 24;
    return {y, (c2 - y) / 1.75, (c0 - y) / 1.5};
}

std::vector<double> forwardTransform(const std::vector<double>& samples, int blockSide) {
    const int n = blockSide;
    std::vector<double> cosine(n * n);
    for (int k = 0; k < n; ++k) {
        for (int x = 0; x < n; ++x) {
            cosine[k * n + x] = std::cos((2 * x + 1) * k * std::numbers::pi / (2 * n));
        }
    }
    // Rows first, then columns, each with its weight.
    std::vector<double> rows(n * n);
    for (int y = 0; y < n; ++y) {
        for (int u = 0; u < n; ++u) {
            double sum = 0;
            for (int x = 0; x < n; ++x) {
                sum += samples[y * n + x] * cosine[u * n + x];
            }
            rows[y * n + u] = sum * (u == 0 ? 1.0 : 2.0) / n;
        }
    }
    std::vector<double> coefficients(n * n);
    for (int v = 0; v < n; ++v) {
        for (int u = 0; u < n; ++u) {
            double sum = 0;
            for (int y = 0; y < n; ++y) {
                sum += rows[y * n + u] * cosine[v * n + y];
            }
            coefficients[v * n + u] = sum * (v == 0 ? 1.0 : 2.0) / n;
        }
    }
    return coefficients;
}

int colourBlocksFor(std::uint32_t samplingCode) {
    switch (samplingCode) {
        case kSampling444:
            return 12;
        case kSampling422:
            return 8;
        case kSampling411:
            return 6;
        default:
            return 0;
    }
}

namespace {

// The N x N region of a 2N x 2N plane at quadrant q.
std::vector<double> quadrant(const std::vector<double>& plane, int n, int q) {
    std::vector<double> block(n * n);
    const int x0 = (q % 2) * n;
    const int y0 = (q / 2) * n;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            block[y * n + x] = plane[(y0 + y) * 2 * n + x0 + x];
        }
    }
    return block;
}

// 4:2:2 here halves the rows: the block of a pair holds the first quadrant's
// row pairs averaged in its upper half and the second quadrant's in its lower.
std::vector<double> halveRows(const std::vector<double>& plane, int n, int firstQuadrant) {
    std::vector<double> block(n * n);
    for (int half = 0; half < 2; ++half) {
        const std::vector<double> source = quadrant(plane, n, firstQuadrant + half);
        for (int r = 0; r < n / 2; ++r) {
            for (int x = 0; x < n; ++x) {
                block[(half * n / 2 + r) * n + x] =
                    (source[2 * r * n + x] + source[(2 * r + 1) * n + x]) / 2;
            }
        }
    }
    return block;
}

// 4:1:1: the whole macroblock averaged over 2 x 2 squares.
std::vector<double> halveBoth(const std::vector<double>& plane, int n) {
    std::vector<double> block(n * n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double* top = &plane[2 * y * 2 * n + 2 * x];
            const double* bottom = top + 2 * n;
            block[y * n + x] = (top[0] + top[1] + bottom[0] + bottom[1]) / 4;
        }
    }
    return block;
}

}  // namespace

std::vector<std::vector<double>> macroblockBlocks(const std::array<std::vector<double>, 4>& planes,
                                                  int blockSide, std::uint32_t samplingCode,
                                                  int channels) {
    const int n = blockSide;
    std::vector<std::vector<double>> blocks;
    for (int q = 0; q < 4; ++q) {
        blocks.push_back(quadrant(planes[0], n, q));
    }
    for (int c = 1; c < 3; ++c) {
        switch (samplingCode) {
            case kSampling444:
                for (int q = 0; q < 4; ++q) {
                    blocks.push_back(quadrant(planes[c], n, q));
                }
                break;
            case kSampling422:
                blocks.push_back(halveRows(planes[c], n, 0));
                blocks.push_back(halveRows(planes[c], n, 2));
                break;
            default:
                blocks.push_back(halveBoth(planes[c], n));
                break;
        }
    }
    if (channels > 3) {
        for (int q = 0; q < 4; ++q) {
            blocks.push_back(quadrant(planes[3], n, q));
        }
    }
    return blocks;
}

double quantisationScale(int code, int blockSide) {
    return 2.0 / blockSide * (256.0 / (code + 1));
}

int lowBandEnd(int blockSide) {
    return (blockSide - 1) * blockSide / 2;
}

std::vector<int> zigzagOrder(int blockSide) {
    const int n = blockSide;
    std::vector<int> order(n * n);
    for (int i = 0; i < n * n; ++i) {
        order[i] = i;
    }
    // Sort key: anti-diagonal d = row + column; along odd diagonals rows rise
    // (down-left), along even ones they fall (up-right).
    std::sort(order.begin(), order.end(), [n](int a, int b) {
        const int da = a / n + a % n;
        const int db = b / n + b % n;
        if (da != db) {
            return da < db;
        }
        return da % 2 == 1 ? a / n < b / n : a / n > b / n;
    });
    return order;
}

}  // namespace eriwriter
