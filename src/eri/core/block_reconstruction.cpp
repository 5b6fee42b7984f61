#include "eri/core/block_reconstruction.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define ERI_HAVE_SSE2 1
#endif

namespace eri {
namespace {

// A channel operation as "add plane `source` to every plane whose mask is all
// ones"; operations without an effect have no mask set.
struct PlaneAddition {
    int source = 0;
    std::uint32_t masks[4] = {};
};

// Operations work on the three colour planes; blocks with fewer have none.
PlaneAddition planeAddition(int operation, int planes) {
    PlaneAddition addition;
    if (planes < 3) {
        return addition;
    }
    // Bits 2-3 name the source plane (1..3 = P0..P2), bits 0-1 the targets
    // among the other two planes (1 the first, 2 the second, 3 both).
    const int source = (operation >> 2) & 3;
    const int targets = operation & 3;
    if (source == 0 || targets == 0) {
        return addition;
    }
    addition.source = source - 1;
    int other = 0;
    for (int p = 0; p < 3; ++p) {
        if (p != addition.source) {
            addition.masks[p] = (targets >> other & 1) != 0 ? ~std::uint32_t{0} : 0;
            ++other;
        }
    }
    return addition;
}

#ifdef ERI_HAVE_SSE2
inline __m128i load(const std::int32_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

inline void store(std::int32_t* at, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), value);
}

// Running sum over the four lanes.
inline __m128i prefixSum(__m128i v) {
    v = _mm_add_epi32(v, _mm_slli_si128(v, 4));
    return _mm_add_epi32(v, _mm_slli_si128(v, 8));
}

inline __m128i lastLane(__m128i v) {
    return _mm_shuffle_epi32(v, 0xFF);
}

// Four samples of a row at a time, all planes together, so that the channel
// operation sees every plane's differences before any is overwritten.
// FixedSide 0 takes the side from the pass; the common side 8 gets loops the
// compiler can lay out in full.
template <int Planes, bool Horizontal, int FixedSide>
void reconstructVectors(const BlockPass& pass, const PlaneAddition& addition) {
    // Local copies: the stores below could otherwise alias the pass's fields.
    const int side = FixedSide != 0 ? FixedSide : pass.side;
    const int area = side * side;
    const std::int32_t* const differences = pass.differences;
    std::int32_t* const samples = pass.samples;
    std::int32_t* const rowCarries = pass.rowCarries;
    std::int32_t* const lineSegments = pass.lineSegments;
    __m128i masks[Planes];
    for (int p = 0; p < Planes; ++p) {
        masks[p] = _mm_set1_epi32(static_cast<int>(addition.masks[p]));
    }
    const std::int32_t* const sourcePlane = differences + addition.source * area;
    for (int y = 0; y < side; ++y) {
        __m128i carries[Planes];
        for (int p = 0; p < Planes; ++p) {
            carries[p] = _mm_set1_epi32(rowCarries[p * side + y]);
        }
        const int rowStart = y * side;
        for (int x = 0; x < side; x += 4) {
            const __m128i from = load(sourcePlane + rowStart + x);
            __m128i values[Planes];
            for (int p = 0; p < Planes; ++p) {
                values[p] = _mm_add_epi32(load(differences + p * area + rowStart + x),
                                          _mm_and_si128(from, masks[p]));
            }
            for (int p = 0; p < Planes; ++p) {
                __m128i v = values[p];
                if (Horizontal) {
                    v = _mm_add_epi32(prefixSum(v), carries[p]);
                }
                carries[p] = lastLane(v);
                std::int32_t* const segment = lineSegments + p * side + x;
                v = _mm_add_epi32(v, load(segment));
                store(segment, v);
                store(samples + p * area + rowStart + x, v);
            }
        }
        for (int p = 0; p < Planes; ++p) {
            rowCarries[p * side + y] = _mm_cvtsi128_si32(carries[p]);
        }
    }
}

template <int Planes, bool Horizontal>
void reconstructVectors(const BlockPass& pass, const PlaneAddition& addition) {
    if (pass.side == 8) {
        reconstructVectors<Planes, Horizontal, 8>(pass, addition);
    } else {
        reconstructVectors<Planes, Horizontal, 0>(pass, addition);
    }
}

template <int Planes>
void reconstructVectors(const BlockPass& pass, const PlaneAddition& addition, bool horizontal) {
    if (horizontal) {
        reconstructVectors<Planes, true>(pass, addition);
    } else {
        reconstructVectors<Planes, false>(pass, addition);
    }
}

// False when the block's shape has no vector form.
bool reconstructWithVectors(const BlockPass& pass, const PlaneAddition& addition, bool horizontal) {
    if (pass.side < 4 || pass.side % 4 != 0) {
        return false;
    }
    switch (pass.planes) {
        case 1:
            reconstructVectors<1>(pass, addition, horizontal);
            return true;
        case 3:
            reconstructVectors<3>(pass, addition, horizontal);
            return true;
        case 4:
            reconstructVectors<4>(pass, addition, horizontal);
            return true;
        default:
            return false;
    }
}
#endif

}  // namespace

void reconstructBlockPlain(const BlockPass& pass, int operation, bool horizontalStep) {
    const PlaneAddition addition = planeAddition(operation, pass.planes);
    const int side = pass.side;
    const int area = side * side;
    const auto* const differences = reinterpret_cast<const std::uint32_t*>(pass.differences);
    const std::uint32_t keep = horizontalStep ? ~std::uint32_t{0} : 0;
    for (int y = 0; y < side; ++y) {
        std::uint32_t carries[4] = {};
        for (int p = 0; p < pass.planes; ++p) {
            carries[p] = static_cast<std::uint32_t>(pass.rowCarries[p * side + y]);
        }
        for (int x = 0; x < side; ++x) {
            const int at = y * side + x;
            const std::uint32_t from = differences[addition.source * area + at];
            std::uint32_t values[4] = {};
            for (int p = 0; p < pass.planes; ++p) {
                values[p] = differences[p * area + at] + (from & addition.masks[p]);
            }
            for (int p = 0; p < pass.planes; ++p) {
                carries[p] = (carries[p] & keep) + values[p];
                std::int32_t& segment = pass.lineSegments[p * side + x];
                segment =
                    static_cast<std::int32_t>(carries[p] + static_cast<std::uint32_t>(segment));
                pass.samples[p * area + at] = segment;
            }
        }
        for (int p = 0; p < pass.planes; ++p) {
            pass.rowCarries[p * side + y] = static_cast<std::int32_t>(carries[p]);
        }
    }
}

void reconstructBlock(const BlockPass& pass, int operation, bool horizontalStep) {
#ifdef ERI_HAVE_SSE2
    if (reconstructWithVectors(pass, planeAddition(operation, pass.planes), horizontalStep)) {
        return;
    }
#endif
    reconstructBlockPlain(pass, operation, horizontalStep);
}

}  // namespace eri
