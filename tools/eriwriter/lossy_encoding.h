// The building blocks of the lossy encoder, each the inverse of one decoding
// step: colour conversion, chroma subsampling by sampling code, the forward
// cosine transform, quantisation scales and the zigzag order.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace eriwriter {

constexpr std::uint32_t kSampling444 = 0x00040404;
constexpr std::uint32_t kSampling422 = 0x00040202;
constexpr std::uint32_t kSampling411 = 0x00040101;

// (c0, c1, c2) = (blue, green, red) to luminance and the two colour
// differences that the decoder turns back with c0 = Y + 1.5 V,
// c1 = Y - 0.375 U - 0.75 V, c2 = Y + 1.75 U.
struct LumaChroma {
    double y, u, v;
};
LumaChroma toLumaChroma(double c0, double c1, double c2);

// F(v, u) = k_u k_v / N^2 * sum f(x, y) cos((2x + 1) u pi / 2N) cos((2y + 1) v pi / 2N),
// k_0 = 1, otherwise 2: the exact inverse of the decoder's transform.
std::vector<double> forwardTransform(const std::vector<double>& samples, int blockSide);

// Colour blocks per macroblock (12, 8 or 6); 0 for an unknown code.
int colourBlocksFor(std::uint32_t samplingCode);

// A macroblock's planes: component (0 Y, 1 U, 2 V, 3 alpha) of 2N x 2N
// samples, row-major. Returns its blocks in coded order (luminance, then the
// two colour differences as the sampling code arranges them, then alpha when
// `channels` is 4), each N x N row-major.
std::vector<std::vector<double>> macroblockBlocks(const std::array<std::vector<double>, 4>& planes,
                                                  int blockSide, std::uint32_t samplingCode,
                                                  int channels);

// The decoder's factor for a code (DC codes and band codes alike): 2/N * 256 / (code + 1).
double quantisationScale(int code, int blockSide);
// Zigzag positions p = 1 .. lowBandEnd - 1 use the low-band codes, the rest the high band.
int lowBandEnd(int blockSide);

// Entry p: the natural position (row * N + column) of zigzag position p,
// ordered by anti-diagonal, walking odd diagonals down-left, even ones up-right.
std::vector<int> zigzagOrder(int blockSide);

}  // namespace eriwriter
