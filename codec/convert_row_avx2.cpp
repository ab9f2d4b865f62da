// AVX2 rows: 16 pairs (32 pixels) per step, the C row on the tail. Chosen at run time.
// Nothing here may be an inline function other files share: the linker could pick this
// file's AVX2 copy for them.
#include "convert_row.h"

#if defined(VANCODC_HAS_X86)
#include <immintrin.h>

namespace vancodc {

namespace {

// Per 128-bit lane, the bytes of the even pixels of eight pairs (0-7) and of the odd ones (8-15).
struct SplitRgb {
    __m256i r, g, b;
};

inline __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline void Store(uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

inline SplitRgb YuvToRgb(__m256i ye, __m256i yo, __m256i u8, __m256i v8) {
    const __m256i k128 = _mm256_set1_epi16(128);
    // (x * 24576) >> 16 is (3 x) >> 3, rounded toward minus infinity like the arithmetic shift.
    const __m256i kThreeEighths = _mm256_set1_epi16(24576);
    const __m256i u = _mm256_sub_epi16(u8, k128);
    const __m256i v = _mm256_sub_epi16(v8, k128);
    const __m256i su = _mm256_mulhi_epi16(u, kThreeEighths);
    const __m256i sv = _mm256_mulhi_epi16(v, kThreeEighths);
    const __m256i cr = _mm256_add_epi16(v, sv);
    const __m256i cb = _mm256_add_epi16(_mm256_add_epi16(u, su), su);
    const __m256i cg =
        _mm256_sub_epi16(_mm256_sub_epi16(_mm256_setzero_si256(), su), _mm256_add_epi16(sv, sv));
    SplitRgb out;
    out.r = _mm256_packus_epi16(_mm256_add_epi16(ye, cr), _mm256_add_epi16(yo, cr));
    out.g = _mm256_packus_epi16(_mm256_add_epi16(ye, cg), _mm256_add_epi16(yo, cg));
    out.b = _mm256_packus_epi16(_mm256_add_epi16(ye, cb), _mm256_add_epi16(yo, cb));
    return out;
}

// Sixteen Y0 U Y1 V pairs. Loaded as they lie, lane 0 holds pairs 0-3 and 8-11 and lane 1 pairs
// 4-7 and 12-15 ("interleaved"); with `linear` lane 0 holds pairs 0-7 and lane 1 pairs 8-15.
inline SplitRgb LoadPacked(const uint8_t* src, bool linear) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    __m256i a = Load(src);
    __m256i b = Load(src + 32);
    if (linear) {
        const __m256i lo = _mm256_permute2x128_si256(a, b, 0x20);
        b = _mm256_permute2x128_si256(a, b, 0x31);
        a = lo;
    }
    const __m256i y = _mm256_packus_epi16(_mm256_and_si256(a, lowBytes), _mm256_and_si256(b, lowBytes));
    const __m256i c = _mm256_packus_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(b, 8));
    return YuvToRgb(_mm256_and_si256(y, lowBytes), _mm256_srli_epi16(y, 8), _mm256_and_si256(c, lowBytes),
                    _mm256_srli_epi16(c, 8));
}

// Thirty-two Y, sixteen U and V: linear lanes.
inline SplitRgb LoadPlanar(const uint8_t* yp, const uint8_t* up, const uint8_t* vp) {
    const __m256i lowBytes = _mm256_set1_epi16(0x00FF);
    const __m256i y = Load(yp);
    const __m256i u = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(up)));
    const __m256i v = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(vp)));
    return YuvToRgb(_mm256_and_si256(y, lowBytes), _mm256_srli_epi16(y, 8), u, v);
}

// 555 words of the 32 pixels: out0 holds lane-pairs 0-3 of each lane, out1 lane-pairs 4-7.
inline void Make555(const SplitRgb& p, __m256i& out0, __m256i& out1) {
    const __m256i lo = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(p.g, 2), _mm256_set1_epi8(char(0xE0))),
                                       _mm256_and_si256(_mm256_srli_epi16(p.b, 3), _mm256_set1_epi8(0x1F)));
    const __m256i hi = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(p.r, 1), _mm256_set1_epi8(0x7C)),
                                       _mm256_and_si256(_mm256_srli_epi16(p.g, 6), _mm256_set1_epi8(0x03)));
    const __m256i even = _mm256_unpacklo_epi8(lo, hi);
    const __m256i odd = _mm256_unpackhi_epi8(lo, hi);
    out0 = _mm256_unpacklo_epi16(even, odd);
    out1 = _mm256_unpackhi_epi16(even, odd);
}

inline void Store555Interleaved(uint8_t* dst, const SplitRgb& p) {
    __m256i a, b;
    Make555(p, a, b);
    Store(dst, a);
    Store(dst + 32, b);
}

inline void Store555Linear(uint8_t* dst, const SplitRgb& p) {
    __m256i a, b;
    Make555(p, a, b);
    Store(dst, _mm256_permute2x128_si256(a, b, 0x20));
    Store(dst + 32, _mm256_permute2x128_si256(a, b, 0x31));
}

// BGR0 double words: q[k] holds lane-pairs 2k and 2k+1 of each lane.
inline void Make32(const SplitRgb& p, __m256i q[4]) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i bgEven = _mm256_unpacklo_epi8(p.b, p.g);
    const __m256i bgOdd = _mm256_unpackhi_epi8(p.b, p.g);
    const __m256i rEven = _mm256_unpacklo_epi8(p.r, zero);
    const __m256i rOdd = _mm256_unpackhi_epi8(p.r, zero);
    const __m256i even0 = _mm256_unpacklo_epi16(bgEven, rEven);
    const __m256i even1 = _mm256_unpackhi_epi16(bgEven, rEven);
    const __m256i odd0 = _mm256_unpacklo_epi16(bgOdd, rOdd);
    const __m256i odd1 = _mm256_unpackhi_epi16(bgOdd, rOdd);
    q[0] = _mm256_unpacklo_epi32(even0, odd0);
    q[1] = _mm256_unpackhi_epi32(even0, odd0);
    q[2] = _mm256_unpacklo_epi32(even1, odd1);
    q[3] = _mm256_unpackhi_epi32(even1, odd1);
}

// Interleaved lanes: q0 q1 carry pixels 0-7 | 8-15, q2 q3 pixels 16-23 | 24-31.
inline void Store32Interleaved(uint8_t* dst, const SplitRgb& p) {
    __m256i q[4];
    Make32(p, q);
    Store(dst, _mm256_permute2x128_si256(q[0], q[1], 0x20));
    Store(dst + 32, _mm256_permute2x128_si256(q[0], q[1], 0x31));
    Store(dst + 64, _mm256_permute2x128_si256(q[2], q[3], 0x20));
    Store(dst + 96, _mm256_permute2x128_si256(q[2], q[3], 0x31));
}

// Linear lanes: q0 q1 carry pixels 0-7 | 16-23, q2 q3 pixels 8-15 | 24-31.
inline void Store32Linear(uint8_t* dst, const SplitRgb& p) {
    __m256i q[4];
    Make32(p, q);
    Store(dst, _mm256_permute2x128_si256(q[0], q[1], 0x20));
    Store(dst + 32, _mm256_permute2x128_si256(q[2], q[3], 0x20));
    Store(dst + 64, _mm256_permute2x128_si256(q[0], q[1], 0x31));
    Store(dst + 96, _mm256_permute2x128_si256(q[2], q[3], 0x31));
}

// Byte shuffles that lay sixteen pixels of planar B, G and R bytes out as 48 bytes of BGR.
// `split`: the pixels lie even ones first (0-7), odd ones after (8-15); else in order.
struct Bgr24Masks {
    int8_t m[3][3][16];  // [output chunk][component][byte]
};

constexpr Bgr24Masks MakeBgr24Masks(bool split) {
    Bgr24Masks masks{};
    for (int chunk = 0; chunk < 3; ++chunk) {
        for (int c = 0; c < 3; ++c) {
            for (int j = 0; j < 16; ++j) {
                const int pos = 16 * chunk + j;
                const int pixel = pos / 3;
                const int index = split ? (pixel % 2 ? 8 + pixel / 2 : pixel / 2) : pixel;
                masks.m[chunk][c][j] = pos % 3 == c ? int8_t(index) : int8_t(-128);
            }
        }
    }
    return masks;
}

constexpr Bgr24Masks kSplitMasks = MakeBgr24Masks(true);
constexpr Bgr24Masks kLinearMasks = MakeBgr24Masks(false);

inline __m256i Mask(const int8_t* m) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m));
    return _mm256_broadcastsi128_si256(v);
}

// Lanes of sixteen consecutive pixels each (lane 0 first) as 96 bytes of BGR.
inline void Store24(uint8_t* dst, __m256i b, __m256i g, __m256i r, const Bgr24Masks& masks) {
    __m256i o[3];
    for (int k = 0; k < 3; ++k) {
        o[k] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(b, Mask(masks.m[k][0])),
                                               _mm256_shuffle_epi8(g, Mask(masks.m[k][1]))),
                               _mm256_shuffle_epi8(r, Mask(masks.m[k][2])));
    }
    Store(dst, _mm256_permute2x128_si256(o[0], o[1], 0x20));
    Store(dst + 32, _mm256_permute2x128_si256(o[2], o[0], 0x30));
    Store(dst + 64, _mm256_permute2x128_si256(o[1], o[2], 0x31));
}

}  // namespace

void Yuy2ToRgb555Row_AVX2(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~15;
    for (int k = 0; k < bulk; k += 16) Store555Interleaved(dst + 4 * k, LoadPacked(src + 4 * k, false));
    Yuy2ToRgb555Row_C(src + 4 * bulk, dst + 4 * bulk, pairs - bulk);
}

void Yuy2ToRgb24Row_AVX2(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~15;
    for (int k = 0; k < bulk; k += 16) {
        const SplitRgb p = LoadPacked(src + 4 * k, true);
        Store24(dst + 6 * k, p.b, p.g, p.r, kSplitMasks);
    }
    Yuy2ToRgb24Row_C(src + 4 * bulk, dst + 6 * bulk, pairs - bulk);
}

void Yuy2ToRgb32Row_AVX2(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~15;
    for (int k = 0; k < bulk; k += 16) Store32Interleaved(dst + 8 * k, LoadPacked(src + 4 * k, false));
    Yuy2ToRgb32Row_C(src + 4 * bulk, dst + 8 * bulk, pairs - bulk);
}

void I422ToRgb555Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~15;
    for (int k = 0; k < bulk; k += 16) Store555Linear(dst + 4 * k, LoadPlanar(y + 2 * k, u + k, v + k));
    I422ToRgb555Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 4 * bulk, pairs - bulk);
}

void I422ToRgb24Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~15;
    for (int k = 0; k < bulk; k += 16) {
        const SplitRgb p = LoadPlanar(y + 2 * k, u + k, v + k);
        Store24(dst + 6 * k, p.b, p.g, p.r, kSplitMasks);
    }
    I422ToRgb24Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 6 * bulk, pairs - bulk);
}

void I422ToRgb32Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~15;
    for (int k = 0; k < bulk; k += 16) Store32Linear(dst + 8 * k, LoadPlanar(y + 2 * k, u + k, v + k));
    I422ToRgb32Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 8 * bulk, pairs - bulk);
}

void Rgb565ToRgb555Row_AVX2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~15;
    const __m256i keep = _mm256_set1_epi16(0x001F);
    const __m256i moved = _mm256_set1_epi16(0x7FE0);
    for (int x = 0; x < bulk; x += 16) {
        const __m256i w = Load(src + 2 * x);
        Store(dst + 2 * x, _mm256_or_si256(_mm256_and_si256(w, keep), _mm256_and_si256(_mm256_srli_epi16(w, 1), moved)));
    }
    Rgb565ToRgb555Row_C(src + 2 * bulk, dst + 2 * bulk, width - bulk);
}

namespace {

// Blue, green and red of 565 words, each in the low byte of its word.
inline void Split565(__m256i w, __m256i& b, __m256i& g, __m256i& r) {
    b = _mm256_and_si256(_mm256_slli_epi16(w, 3), _mm256_set1_epi16(0x00F8));
    g = _mm256_and_si256(_mm256_srli_epi16(w, 3), _mm256_set1_epi16(0x00FC));
    r = _mm256_and_si256(_mm256_srli_epi16(w, 8), _mm256_set1_epi16(0x00F8));
}

}  // namespace

void Rgb565ToRgb24Row_AVX2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~31;
    for (int x = 0; x < bulk; x += 32) {
        const __m256i a = Load(src + 2 * x);
        const __m256i c = Load(src + 2 * x + 32);
        // Lane 0 of the packed bytes must hold pixels 0-15, lane 1 pixels 16-31.
        const __m256i first = _mm256_permute2x128_si256(a, c, 0x20);
        const __m256i second = _mm256_permute2x128_si256(a, c, 0x31);
        __m256i b0, g0, r0, b1, g1, r1;
        Split565(first, b0, g0, r0);
        Split565(second, b1, g1, r1);
        Store24(dst + 3 * x, _mm256_packus_epi16(b0, b1), _mm256_packus_epi16(g0, g1),
                _mm256_packus_epi16(r0, r1), kLinearMasks);
    }
    Rgb565ToRgb24Row_C(src + 2 * bulk, dst + 3 * bulk, width - bulk);
}

void Rgb565ToRgb32Row_AVX2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~15;
    for (int x = 0; x < bulk; x += 16) {
        // Words in lane order 0-3, 8-11 | 4-7, 12-15 unpack to pixels 0-7 | 8-15 in order.
        const __m256i w = _mm256_permute4x64_epi64(Load(src + 2 * x), 0xD8);
        const __m256i bg = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(w, 3), _mm256_set1_epi16(0x00F8)),
                                           _mm256_and_si256(_mm256_slli_epi16(w, 5), _mm256_set1_epi16(short(0xFC00))));
        const __m256i r = _mm256_and_si256(_mm256_srli_epi16(w, 8), _mm256_set1_epi16(0x00F8));
        Store(dst + 4 * x, _mm256_unpacklo_epi16(bg, r));
        Store(dst + 4 * x + 32, _mm256_unpackhi_epi16(bg, r));
    }
    Rgb565ToRgb32Row_C(src + 2 * bulk, dst + 4 * bulk, width - bulk);
}

void DoubleRow16_AVX2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~15;
    for (int x = 0; x < bulk; x += 16) {
        const __m256i p = _mm256_permute4x64_epi64(Load(src + 2 * x), 0xD8);
        Store(dst + 4 * x, _mm256_unpacklo_epi16(p, p));
        Store(dst + 4 * x + 32, _mm256_unpackhi_epi16(p, p));
    }
    DoubleRow16_C(src + 2 * bulk, dst + 4 * bulk, width - bulk);
}

void DoubleRow32_AVX2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~7;
    for (int x = 0; x < bulk; x += 8) {
        const __m256i p = _mm256_permute4x64_epi64(Load(src + 4 * x), 0xD8);
        Store(dst + 8 * x, _mm256_unpacklo_epi32(p, p));
        Store(dst + 8 * x + 32, _mm256_unpackhi_epi32(p, p));
    }
    DoubleRow32_C(src + 4 * bulk, dst + 8 * bulk, width - bulk);
}

// Four BGR0 pixels become eight BGR pixels (24 bytes): two shuffles, two overlapping stores.
void DoubleRow32To24_AVX2(const uint8_t* src, uint8_t* dst, int width) {
    const __m128i first = _mm_setr_epi8(0, 1, 2, 0, 1, 2, 4, 5, 6, 4, 5, 6, 8, 9, 10, 8);
    // Output bytes 8-23: the second store ends exactly at the group's last byte.
    const __m128i second = _mm_setr_epi8(6, 4, 5, 6, 8, 9, 10, 8, 9, 10, 12, 13, 14, 12, 13, 14);
    const int bulk = width & ~3;
    for (int x = 0; x < bulk; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 4 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 6 * x), _mm_shuffle_epi8(p, first));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 6 * x + 8), _mm_shuffle_epi8(p, second));
    }
    DoubleRow32To24_C(src + 4 * bulk, dst + 6 * bulk, width - bulk);
}

}  // namespace vancodc

#endif
