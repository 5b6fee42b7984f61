// The SIMD paths of the lossy kernels; callers go through the dispatching
// entry points, which also check the shape conditions.
#pragma once

#include <cstddef>
#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__)
#define ERI_FLOAT_SIMD 1
#endif

namespace eri::detail {

// One macroblock as decoded: `values` holds `side` x `side` rows of `blocks`
// values each, row p being zigzag position p (row 0 the predicted DC values),
// and stays readable for 16 values past its end. `zigzag` is the frame's
// order of buildZigzagTable (the AVX2 build has the 8 x 8 one built in).
// The scales are per block and hold 16 entries, zero past `blocks`.
struct QuantisedMacroblock {
    const std::int32_t* values = nullptr;
    int blocks = 0;
    int side = 0;
    const std::int32_t* zigzag = nullptr;
    const float* dcScales = nullptr;
    const float* lowScales = nullptr;
    const float* highScales = nullptr;
};

// Where one macroblock's pixels go: its top-left pixel, the line step, the
// bytes per pixel (3 or 4), the planes stored (3 keeps a fourth byte as it
// was, 4 stores alpha too), and the pixels of it inside the picture.
struct MacroblockTarget {
    std::uint8_t* corner = nullptr;
    std::ptrdiff_t lineStep = 0;
    int pixelStep = 0;
    int planeCount = 0;
    int width = 0;
    int height = 0;
};

// The sample blocks of a macroblock in coded order and how they are laid out.
struct MacroblockSamples {
    const float* const* blocks = nullptr;  // 16, valid even past the macroblock's own
    std::uint32_t samplingCode = 0;        // 4:4:4, 4:2:2 or 4:1:1
    int side = 0;
    int colourBlocks = 0;  // the first alpha block
};

#ifdef ERI_FLOAT_SIMD
void inverseTransformSimd(float* output, const float* coefficients, int s, float* work);
void convertColourSimd(float* channel0, float* channel1, float* channel2, int count);
// Rows of `width` pixels, width a multiple of 4; `planeCount` 3 or 4 planes,
// `pixelStep` 3 or 4. With 3 planes and a pixel step of 4 the fourth byte is kept.
void writePixelsSimd(std::uint8_t* dest, std::ptrdiff_t lineStep, const float* const* planes,
                     int planeStride, int width, int height, int planeCount, int pixelStep);

// Dequantises and transforms every block of `block` into `sampleBlocks`
// (16 blocks of side x side floats; those past `blocks` may be overwritten).
// `work` holds 16 x side x side floats.
void reconstructBlocksSimd(const QuantisedMacroblock& block, float* const* sampleBlocks,
                           float* work);

// Places, converts to colour, rounds, clamps and stores a whole macroblock
// in one pass: the same results as the sampling routine, convertColourPlanes
// and the SIMD writers in turn.
void writeMacroblockSimd(const MacroblockSamples& samples, const MacroblockTarget& target);

// The builds behind the two above, for the tests that hold them side by side.
void reconstructBlocksSse2(const QuantisedMacroblock& block, float* const* sampleBlocks,
                           float* work);
void writeMacroblockSse2(const MacroblockSamples& samples, const MacroblockTarget& target);
#ifdef ERI_AVX2_KERNELS
void reconstructBlocksAvx2(const QuantisedMacroblock& block, float* const* sampleBlocks,
                           float* work);
void writeMacroblockAvx2(const MacroblockSamples& samples, const MacroblockTarget& target);
#endif
#endif

}  // namespace eri::detail
