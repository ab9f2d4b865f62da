// AVX-512 (BW and VBMI) rows for the full-size YUV conversions: 32 pairs (64 pixels) per step,
// the C row on the tail. Chosen at run time; the other rows of this set are the AVX2 ones.
#include "convert_row.h"

#if defined(VANCODC_HAS_X86)
#include <immintrin.h>

namespace vancodc {

namespace {

struct SplitRgb {
    __m512i r, g, b;
};

// How the pairs lie in the 128-bit lanes of the byte vectors. Interleaved (packed frames as
// loaded): lane i holds pairs 4i..4i+3 and 16+4i..16+4i+3. Linear (planar rows): pairs 8i..8i+7.
// In each lane the even pixels come first (bytes 0-7), the odd ones after (8-15).
constexpr int ByteOfPixel(int p, bool interleaved) {
    const int pair = p / 2;
    int lane, j;
    if (interleaved) {
        lane = pair < 16 ? pair / 4 : (pair - 16) / 4;
        j = pair < 16 ? pair % 4 : 4 + (pair - 16) % 4;
    } else {
        lane = pair / 8;
        j = pair % 8;
    }
    return 16 * lane + (p % 2 ? 8 : 0) + j;
}

// Byte permutations laying 64 pixels out as BGR (3 chunks of 64 bytes) or BGR0 (4 chunks).
struct Layout {
    uint8_t index[4][64];
    uint64_t mask[4][3];  // [chunk][component]
};

constexpr Layout MakeLayout(int bytesPerPixel, bool interleaved) {
    Layout l{};
    for (int chunk = 0; chunk < bytesPerPixel; ++chunk) {
        for (int b = 0; b < 64; ++b) {
            const int pos = 64 * chunk + b;
            const int comp = pos % bytesPerPixel;
            l.index[chunk][b] = uint8_t(ByteOfPixel(pos / bytesPerPixel, interleaved));
            if (comp < 3) l.mask[chunk][comp] |= uint64_t(1) << b;
        }
    }
    return l;
}

constexpr Layout k24Interleaved = MakeLayout(3, true);
constexpr Layout k24Linear = MakeLayout(3, false);
constexpr Layout k32Interleaved = MakeLayout(4, true);
constexpr Layout k32Linear = MakeLayout(4, false);

inline __m512i Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
inline void Store(uint8_t* p, __m512i v) { _mm512_storeu_si512(p, v); }

inline SplitRgb YuvToRgb(__m512i ye, __m512i yo, __m512i u8, __m512i v8) {
    const __m512i k128 = _mm512_set1_epi16(128);
    // (x * 24576) >> 16 is (3 x) >> 3, rounded toward minus infinity like the arithmetic shift.
    const __m512i kThreeEighths = _mm512_set1_epi16(24576);
    const __m512i u = _mm512_sub_epi16(u8, k128);
    const __m512i v = _mm512_sub_epi16(v8, k128);
    const __m512i su = _mm512_mulhi_epi16(u, kThreeEighths);
    const __m512i sv = _mm512_mulhi_epi16(v, kThreeEighths);
    const __m512i cr = _mm512_add_epi16(v, sv);
    const __m512i cb = _mm512_add_epi16(_mm512_add_epi16(u, su), su);
    const __m512i cg = _mm512_sub_epi16(_mm512_sub_epi16(_mm512_setzero_si512(), su), _mm512_add_epi16(sv, sv));
    SplitRgb out;
    out.r = _mm512_packus_epi16(_mm512_add_epi16(ye, cr), _mm512_add_epi16(yo, cr));
    out.g = _mm512_packus_epi16(_mm512_add_epi16(ye, cg), _mm512_add_epi16(yo, cg));
    out.b = _mm512_packus_epi16(_mm512_add_epi16(ye, cb), _mm512_add_epi16(yo, cb));
    return out;
}

inline SplitRgb LoadPacked(const uint8_t* src) {
    const __m512i lowBytes = _mm512_set1_epi16(0x00FF);
    const __m512i a = Load(src);
    const __m512i b = Load(src + 64);
    const __m512i y = _mm512_packus_epi16(_mm512_and_si512(a, lowBytes), _mm512_and_si512(b, lowBytes));
    const __m512i c = _mm512_packus_epi16(_mm512_srli_epi16(a, 8), _mm512_srli_epi16(b, 8));
    return YuvToRgb(_mm512_and_si512(y, lowBytes), _mm512_srli_epi16(y, 8), _mm512_and_si512(c, lowBytes),
                    _mm512_srli_epi16(c, 8));
}

inline SplitRgb LoadPlanar(const uint8_t* yp, const uint8_t* up, const uint8_t* vp) {
    const __m512i lowBytes = _mm512_set1_epi16(0x00FF);
    const __m512i y = Load(yp);
    const __m512i u = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(up)));
    const __m512i v = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(vp)));
    return YuvToRgb(_mm512_and_si512(y, lowBytes), _mm512_srli_epi16(y, 8), u, v);
}

// 555 words: out0 holds lane-pairs 0-3 of each lane, out1 lane-pairs 4-7.
inline void Make555(const SplitRgb& p, __m512i& out0, __m512i& out1) {
    const __m512i lo = _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(p.g, 2), _mm512_set1_epi8(char(0xE0))),
                                       _mm512_and_si512(_mm512_srli_epi16(p.b, 3), _mm512_set1_epi8(0x1F)));
    const __m512i hi = _mm512_or_si512(_mm512_and_si512(_mm512_srli_epi16(p.r, 1), _mm512_set1_epi8(0x7C)),
                                       _mm512_and_si512(_mm512_srli_epi16(p.g, 6), _mm512_set1_epi8(0x03)));
    const __m512i even = _mm512_unpacklo_epi8(lo, hi);
    const __m512i odd = _mm512_unpackhi_epi8(lo, hi);
    out0 = _mm512_unpacklo_epi16(even, odd);
    out1 = _mm512_unpackhi_epi16(even, odd);
}

inline void StoreBytes(uint8_t* dst, const SplitRgb& p, const Layout& l, int chunks) {
    for (int c = 0; c < chunks; ++c) {
        const __m512i index = _mm512_loadu_si512(l.index[c]);
        __m512i out = _mm512_maskz_permutexvar_epi8(l.mask[c][0], index, p.b);
        out = _mm512_mask_permutexvar_epi8(out, l.mask[c][1], index, p.g);
        out = _mm512_mask_permutexvar_epi8(out, l.mask[c][2], index, p.r);
        Store(dst + 64 * c, out);
    }
}

}  // namespace

void Yuy2ToRgb555Row_AVX512(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~31;
    for (int k = 0; k < bulk; k += 32) {
        __m512i a, b;
        Make555(LoadPacked(src + 4 * k), a, b);
        Store(dst + 4 * k, a);
        Store(dst + 4 * k + 64, b);
    }
    Yuy2ToRgb555Row_C(src + 4 * bulk, dst + 4 * bulk, pairs - bulk);
}

void Yuy2ToRgb24Row_AVX512(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~31;
    for (int k = 0; k < bulk; k += 32) StoreBytes(dst + 6 * k, LoadPacked(src + 4 * k), k24Interleaved, 3);
    Yuy2ToRgb24Row_C(src + 4 * bulk, dst + 6 * bulk, pairs - bulk);
}

void Yuy2ToRgb32Row_AVX512(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~31;
    for (int k = 0; k < bulk; k += 32) StoreBytes(dst + 8 * k, LoadPacked(src + 4 * k), k32Interleaved, 4);
    Yuy2ToRgb32Row_C(src + 4 * bulk, dst + 8 * bulk, pairs - bulk);
}

void I422ToRgb555Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~31;
    // Lane i of out0 holds pixels 16i..16i+7, of out1 pixels 16i+8..16i+15.
    const __m512i first = _mm512_setr_epi64(0, 1, 8, 9, 2, 3, 10, 11);
    const __m512i second = _mm512_setr_epi64(4, 5, 12, 13, 6, 7, 14, 15);
    for (int k = 0; k < bulk; k += 32) {
        __m512i a, b;
        Make555(LoadPlanar(y + 2 * k, u + k, v + k), a, b);
        Store(dst + 4 * k, _mm512_permutex2var_epi64(a, first, b));
        Store(dst + 4 * k + 64, _mm512_permutex2var_epi64(a, second, b));
    }
    I422ToRgb555Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 4 * bulk, pairs - bulk);
}

void I422ToRgb24Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~31;
    for (int k = 0; k < bulk; k += 32) StoreBytes(dst + 6 * k, LoadPlanar(y + 2 * k, u + k, v + k), k24Linear, 3);
    I422ToRgb24Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 6 * bulk, pairs - bulk);
}

void I422ToRgb32Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~31;
    for (int k = 0; k < bulk; k += 32) StoreBytes(dst + 8 * k, LoadPlanar(y + 2 * k, u + k, v + k), k32Linear, 4);
    I422ToRgb32Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 8 * bulk, pairs - bulk);
}

}  // namespace vancodc

#endif
