// The fused last steps of a lossy macroblock, eight pixels at a time: the
// samples are read where the sampling routine would have placed them,
// converted to colour with the float formulas of convertColourSimd, rounded
// (ties to even, the MXCSR mode) and saturated by the packing instructions,
// and stored. cvtps2dq gives 0x80000000 for NaN and values out of the int32
// range, which the signed packing turns into 0, as sampleToByte does.
//
// Included by the per-instruction-set kernel files only; everything is in an
// unnamed namespace so the differently compiled copies never mix.
#pragma once

#if defined(__AVX2__)
#include <immintrin.h>
#else
#include <emmintrin.h>

#include "eri/core/byte_packing.h"
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "eri/core/lossy_simd_kernels.h"

namespace eri::detail {

namespace {

// The frames' sampling codes.
constexpr std::uint32_t kPixelsSampling444 = 0x00040404;
constexpr std::uint32_t kPixelsSampling422 = 0x00040202;
constexpr std::uint32_t kPixelsSampling411 = 0x00040101;

// One quadrant row: colour planes as the conversion leaves them, then bytes.
struct RowSources {
    const float* luma;
    const float* u;  // colour difference rows; halved width when doubled
    const float* v;
    const float* alpha;  // read only when alpha is stored
};

#if defined(__AVX2__)

// Eight 4-byte pixels, plane-major in each 128-bit half (c0 x 4, c1 x 4,
// c2 x 4, c3 x 4); the stores put the bytes in pixel order.
struct Pixels {
    __m256i planes;
};

// The chroma products of the conversion, per sample.
struct ChromaTerms {
    __m256 red;     // 1.5 v
    __m256 greenU;  // 0.375 u
    __m256 greenV;  // 0.75 v
    __m256 blue;    // 1.75 u
};

inline ChromaTerms chromaTerms(__m256 u, __m256 v) {
    return {_mm256_mul_ps(_mm256_set1_ps(1.5f), v), _mm256_mul_ps(_mm256_set1_ps(0.375f), u),
            _mm256_mul_ps(_mm256_set1_ps(0.75f), v), _mm256_mul_ps(_mm256_set1_ps(1.75f), u)};
}

// The first two planes of eight pixels as bytes, followed by the packed
// words `rest` for the other two.
inline __m256i twoPlanes(__m256 y, const ChromaTerms& c, __m256i rest) {
    const __m256 c0 = _mm256_add_ps(y, c.red);
    const __m256 c1 = _mm256_sub_ps(_mm256_sub_ps(y, c.greenU), c.greenV);
    return _mm256_packus_epi16(_mm256_packs_epi32(_mm256_cvtps_epi32(c0), _mm256_cvtps_epi32(c1)),
                               rest);
}

// Per 128-bit half: [c0 c1] and [c2 c3] as int16, then bytes.
inline Pixels pixelsOf(__m256 y, const ChromaTerms& c, __m256i c3) {
    const __m256 c2 = _mm256_add_ps(y, c.blue);
    return {twoPlanes(y, c, _mm256_packs_epi32(_mm256_cvtps_epi32(c2), c3))};
}

template <bool Doubled>
inline __m256 chromaEight(const float* row, int x) {
    if constexpr (Doubled) {
        const __m256 four = _mm256_castps128_ps256(_mm_loadu_ps(row + x / 2));
        return _mm256_permutevar8x32_ps(four, _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3));
    } else {
        return _mm256_loadu_ps(row + x);
    }
}

template <bool Doubled, bool Alpha>
inline Pixels convertEight(const RowSources& row, int x) {
    const __m256 y = _mm256_loadu_ps(row.luma + x);
    const ChromaTerms terms =
        chromaTerms(chromaEight<Doubled>(row.u, x), chromaEight<Doubled>(row.v, x));
    const __m256i c3 =
        Alpha ? _mm256_cvtps_epi32(_mm256_loadu_ps(row.alpha + x)) : _mm256_setzero_si256();
    return pixelsOf(y, terms, c3);
}

inline __m256i pixelMajor(Pixels p) {
    return _mm256_shuffle_epi8(
        p.planes, _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 0, 4, 8,
                                   12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
}

// 24 bytes of 3-byte pixels in the low 24 bytes; the third plane's bytes
// from byte ThirdAt of each half (8, or 12 where the fourth plane's place
// holds them).
template <int ThirdAt = 8>
inline __m256i threeBytePixels(Pixels p) {
    constexpr char t = ThirdAt;
    const __m256i threes = _mm256_shuffle_epi8(
        p.planes, _mm256_setr_epi8(0, 4, t, 1, 5, t + 1, 2, 6, t + 2, 3, 7, t + 3, -1, -1, -1, -1,
                                   0, 4, t, 1, 5, t + 1, 2, 6, t + 2, 3, 7, t + 3, -1, -1, -1, -1));
    return _mm256_permutevar8x32_epi32(threes, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
}

template <int Step, int Planes>
inline void storeEight(std::uint8_t* out, Pixels p) {
    if constexpr (Step == 3) {
        const __m256i packed = threeBytePixels(p);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
    } else {
        auto* to = reinterpret_cast<__m256i*>(out);
        __m256i bytes = pixelMajor(p);
        if constexpr (Planes == 3) {
            const __m256i keepFourth = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
            bytes = _mm256_or_si256(bytes, _mm256_and_si256(_mm256_loadu_si256(to), keepFourth));
        }
        _mm256_storeu_si256(to, bytes);
    }
}

inline void pixelBytes(std::uint8_t* bytes, Pixels p) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes), pixelMajor(p));
}

#else

// Eight 4-byte pixels in two registers.
struct Pixels {
    __m128i first;
    __m128i second;
};

// Eight samples as int16, rounded and saturated.
inline __m128i wordsOf(__m128 low, __m128 high) {
    return _mm_packs_epi32(_mm_cvtps_epi32(low), _mm_cvtps_epi32(high));
}

template <bool Doubled>
inline __m128 chromaFour(const float* row, int x) {
    if constexpr (Doubled) {
        const __m128 pair =
            _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x / 2)));
        return _mm_unpacklo_ps(pair, pair);
    } else {
        return _mm_loadu_ps(row + x);
    }
}

template <bool Doubled, bool Alpha>
inline Pixels convertEight(const RowSources& row, int x) {
    const __m128 vScale = _mm_set1_ps(1.5f);
    const __m128 uToGreen = _mm_set1_ps(0.375f);
    const __m128 vToGreen = _mm_set1_ps(0.75f);
    const __m128 uScale = _mm_set1_ps(1.75f);
    __m128 c[3][2];
    for (int h = 0; h < 2; ++h) {
        const __m128 y = _mm_loadu_ps(row.luma + x + 4 * h);
        const __m128 u = chromaFour<Doubled>(row.u, x + 4 * h);
        const __m128 v = chromaFour<Doubled>(row.v, x + 4 * h);
        c[0][h] = _mm_add_ps(y, _mm_mul_ps(vScale, v));
        c[1][h] = _mm_sub_ps(_mm_sub_ps(y, _mm_mul_ps(uToGreen, u)), _mm_mul_ps(vToGreen, v));
        c[2][h] = _mm_add_ps(y, _mm_mul_ps(uScale, u));
    }
    const __m128i alpha =
        Alpha ? wordsOf(_mm_loadu_ps(row.alpha + x), _mm_loadu_ps(row.alpha + x + 4))
              : _mm_setzero_si128();
    // [c0 x 8 | c1 x 8] and [c2 x 8 | c3 x 8] bytes to pixel-major order.
    const __m128i planes01 = _mm_packus_epi16(wordsOf(c[0][0], c[0][1]), wordsOf(c[1][0], c[1][1]));
    const __m128i planes23 = _mm_packus_epi16(wordsOf(c[2][0], c[2][1]), alpha);
    const __m128i pairs01 = _mm_unpacklo_epi8(planes01, _mm_unpackhi_epi64(planes01, planes01));
    const __m128i pairs23 = _mm_unpacklo_epi8(planes23, _mm_unpackhi_epi64(planes23, planes23));
    return {_mm_unpacklo_epi16(pairs01, pairs23), _mm_unpackhi_epi16(pairs01, pairs23)};
}

template <int Step, int Planes>
inline void storeEight(std::uint8_t* out, Pixels p) {
    if constexpr (Step == 3) {
        const __m128i low = dropFourthBytes(p.first);
        const __m128i high = dropFourthBytes(p.second);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_or_si128(low, _mm_slli_si128(high, 12)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm_srli_si128(high, 4));
    } else {
        auto* to = reinterpret_cast<__m128i*>(out);
        if constexpr (Planes == 3) {
            const __m128i keepFourth = _mm_set1_epi32(static_cast<int>(0xFF000000u));
            p.first = _mm_or_si128(p.first, _mm_and_si128(_mm_loadu_si128(to), keepFourth));
            p.second = _mm_or_si128(p.second, _mm_and_si128(_mm_loadu_si128(to + 1), keepFourth));
        }
        _mm_storeu_si128(to, p.first);
        _mm_storeu_si128(to + 1, p.second);
    }
}

inline void pixelBytes(std::uint8_t* bytes, Pixels p) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), p.first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes) + 1, p.second);
}

#endif

// `width` pixels (1..side) of one quadrant row, eight at a time; the last
// part of a row cut by the picture edge goes through a small buffer.
template <bool Doubled, int Step, int Planes>
void writeQuadrantRow(const RowSources& row, std::uint8_t* out, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        storeEight<Step, Planes>(out + x * Step, convertEight<Doubled, Planes == 4>(row, x));
    }
    if (x < width) {
        std::uint8_t bytes[32];
        pixelBytes(bytes, convertEight<Doubled, Planes == 4>(row, x));
        for (int i = 0; i < width - x; ++i) {
            std::memcpy(out + (x + i) * Step, bytes + 4 * i, Planes);
        }
    }
}

// Where the sampling routine would have put the quadrant's first row from.
template <std::uint32_t Sampling>
RowSources firstRowSources(const MacroblockSamples& s, int q) {
    const float* const* b = s.blocks;
    const int n = s.side;
    const int half = n / 2;
    RowSources row{b[q], nullptr, nullptr, b[s.colourBlocks + q]};
    if constexpr (Sampling == kPixelsSampling444) {
        row.u = b[4 + q];
        row.v = b[8 + q];
    } else if constexpr (Sampling == kPixelsSampling422) {
        row.u = b[4 + q / 2] + (q % 2) * half * n;
        row.v = b[6 + q / 2] + (q % 2) * half * n;
    } else {
        const int at = (q / 2) * half * n + (q % 2) * half;
        row.u = b[4] + at;
        row.v = b[5] + at;
    }
    return row;
}

// Quadrant by quadrant, clipped to the picture; the source rows step down
// with the lines (colour differences every other line when halved).
template <std::uint32_t Sampling, int Step, int Planes>
__attribute__((flatten)) void writeLines(const MacroblockSamples& s, const MacroblockTarget& t) {
    constexpr bool doubled = Sampling == kPixelsSampling411;
    constexpr bool halvedRows = Sampling != kPixelsSampling444;
    const int n = s.side;
    for (int q = 0; q < 4; ++q) {
        const int width = std::min(t.width - (q % 2) * n, n);
        const int height = std::min(t.height - (q / 2) * n, n);
        if (width <= 0 || height <= 0) {
            continue;
        }
        RowSources row = firstRowSources<Sampling>(s, q);
        std::uint8_t* out = t.corner + (q / 2) * n * t.lineStep + (q % 2) * n * Step;
        for (int y = 0; y < height; ++y) {
            writeQuadrantRow<doubled, Step, Planes>(row, out, width);
            out += t.lineStep;
            row.luma += n;
            row.alpha += n;
            if (!halvedRows || y % 2 == 1) {
                row.u += n;
                row.v += n;
            }
        }
    }
}

template <std::uint32_t Sampling>
void writeInFormat(const MacroblockSamples& s, const MacroblockTarget& t) {
    if (t.pixelStep == 3) {
        writeLines<Sampling, 3, 3>(s, t);
    } else if (t.planeCount == 3) {
        writeLines<Sampling, 4, 3>(s, t);
    } else {
        writeLines<Sampling, 4, 4>(s, t);
    }
}

void writeMacroblock(const MacroblockSamples& s, const MacroblockTarget& t) {
    if (s.samplingCode == kPixelsSampling444) {
        writeInFormat<kPixelsSampling444>(s, t);
    } else if (s.samplingCode == kPixelsSampling422) {
        writeInFormat<kPixelsSampling422>(s, t);
    } else {
        writeInFormat<kPixelsSampling411>(s, t);
    }
}

#if defined(__AVX2__)
// A 4:1:1 macroblock of 8 x 8 blocks wholly inside the picture, colour
// planes only: each chroma row serves two lines of sixteen pixels, its
// products worked out once for both halves of both lines. With 3-byte
// pixels the left half is stored 32 bytes wide; the right half's store
// then replaces the 8 spare bytes.
template <int Step>
void writeWhole411(const MacroblockSamples& s, const MacroblockTarget& t) {
    const __m256i leftLanes = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
    const __m256i rightLanes = _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7);
    const __m256i noAlpha = _mm256_setzero_si256();
    for (int half = 0; half < 2; ++half) {
        const float* const lumaLeft = s.blocks[2 * half];
        const float* const lumaRight = s.blocks[2 * half + 1];
        const float* const u = s.blocks[4] + half * 32;
        const float* const v = s.blocks[5] + half * 32;
        std::uint8_t* const out = t.corner + half * 8 * t.lineStep;
        for (int r = 0; r < 4; ++r) {
            const __m256 uRow = _mm256_loadu_ps(u + 8 * r);
            const __m256 vRow = _mm256_loadu_ps(v + 8 * r);
            const ChromaTerms left = chromaTerms(_mm256_permutevar8x32_ps(uRow, leftLanes),
                                                 _mm256_permutevar8x32_ps(vRow, leftLanes));
            const ChromaTerms right = chromaTerms(_mm256_permutevar8x32_ps(uRow, rightLanes),
                                                  _mm256_permutevar8x32_ps(vRow, rightLanes));
            for (int line = 2 * r; line < 2 * r + 2; ++line) {
                std::uint8_t* const at = out + line * t.lineStep;
                const __m256 yLeft = _mm256_loadu_ps(lumaLeft + 8 * line);
                const __m256 yRight = _mm256_loadu_ps(lumaRight + 8 * line);
                if constexpr (Step == 3) {
                    // Both halves' third planes packed once, in the fourth
                    // plane's place of the other half.
                    const __m256i thirds =
                        _mm256_packs_epi32(_mm256_cvtps_epi32(_mm256_add_ps(yLeft, left.blue)),
                                           _mm256_cvtps_epi32(_mm256_add_ps(yRight, right.blue)));
                    const Pixels leftPixels{twoPlanes(yLeft, left, thirds)};
                    const Pixels rightPixels{twoPlanes(yRight, right, thirds)};
                    _mm256_storeu_si256(reinterpret_cast<__m256i*>(at),
                                        threeBytePixels<8>(leftPixels));
                    const __m256i packed = threeBytePixels<12>(rightPixels);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 24),
                                     _mm256_castsi256_si128(packed));
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(at + 40),
                                     _mm256_extracti128_si256(packed, 1));
                } else {
                    storeEight<4, 3>(at, pixelsOf(yLeft, left, noAlpha));
                    storeEight<4, 3>(at + 32, pixelsOf(yRight, right, noAlpha));
                }
            }
        }
    }
}

// True when the whole-macroblock 4:1:1 path took the macroblock.
inline bool writeWhole411IfFits(const MacroblockSamples& s, const MacroblockTarget& t) {
    if (s.samplingCode != kPixelsSampling411 || s.side != 8 || t.width != 16 || t.height != 16 ||
        t.planeCount != 3) {
        return false;
    }
    if (t.pixelStep == 3) {
        writeWhole411<3>(s, t);
    } else {
        writeWhole411<4>(s, t);
    }
    return true;
}
#endif

}  // namespace

}  // namespace eri::detail
