// Four floats in an SSE register, with the operations the transform's
// butterflies use; shared by the single-block and the macroblock kernels.
#pragma once

#include <xmmintrin.h>

namespace eri::detail {

struct Float4 {
    __m128 v;
};
inline Float4 operator+(Float4 a, Float4 b) {
    return {_mm_add_ps(a.v, b.v)};
}
inline Float4 operator-(Float4 a, Float4 b) {
    return {_mm_sub_ps(a.v, b.v)};
}
inline Float4 mul(Float4 a, double c) {
    return {_mm_mul_ps(a.v, _mm_set1_ps(static_cast<float>(c)))};
}

}  // namespace eri::detail
