// Separable inverse cosine transform of an N x N block, N = 8, 16 or 32:
// f(x, y) = sum over u, v of F(v, u) cos((2x + 1) u pi / 2N) cos((2y + 1) v pi / 2N),
// DC weight 1 and no overall scale (the dequantisation carries it).
#pragma once

namespace eri {

// Work areas of inverseTransformBlock: `block` of N x N floats, `scratch` of N floats.
struct TransformWork {
    float* block = nullptr;
    float* scratch = nullptr;
};

// N = 2^s. Reads `coefficients` (row v = vertical frequency), writes `output`
// (row y), may overwrite both work areas. Degrees other than 3..5 write nothing.
// Needs the cosine tables (initializeDecodingCore).
void inverseTransformBlock(float* output, const float* coefficients, int s,
                           const TransformWork& work);

}  // namespace eri
