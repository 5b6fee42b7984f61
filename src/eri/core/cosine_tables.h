// Cosine tables of the lossy inverse transform, filled once by
// initializeDecodingCore and read-only afterwards.
#pragma once

namespace eri {

constexpr int kLargestCosineTable = 11;

// cosineTables[i] (i = 1..11) points at 2^i floats: entry k = cos((2k + 1) pi / (4 * 2^i)).
extern const float* cosineTables[kLargestCosineTable + 1];
// Row u, column x: cos(u (2x + 1) pi / 8).
extern float inverseMatrix4[4][4];
// Row x, column u: cos(u (2x + 1) pi / 8), the u = 0 column halved.
extern float forwardMatrix4[4][4];

constexpr double kCosQuarterPi = 0.70710678118654752440;
constexpr double kTwoCosQuarterPi = 1.41421356237309504880;

// Fills the tables above; idempotent.
void buildCosineTables();

}  // namespace eri
