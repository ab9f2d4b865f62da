// SSE2 rows. Each body handles a fixed block; the public row runs it on the bulk and finishes the
// tail with the C row, so that any width gives the bytes of the C row.
#include "convert_row.h"

#if defined(VANCODC_HAS_X86)
#include <emmintrin.h>

namespace vancodc {

namespace {

// Bytes of the even pixels of eight pairs in lanes 0-7 and of the odd pixels in lanes 8-15.
struct SplitRgb {
    __m128i r, g, b;
};

inline SplitRgb YuvToRgb(__m128i ye, __m128i yo, __m128i u8, __m128i v8) {
    const __m128i k128 = _mm_set1_epi16(128);
    // (x * 24576) >> 16 is (3 x) >> 3, rounded toward minus infinity like the arithmetic shift.
    const __m128i kThreeEighths = _mm_set1_epi16(24576);
    const __m128i u = _mm_sub_epi16(u8, k128);
    const __m128i v = _mm_sub_epi16(v8, k128);
    const __m128i su = _mm_mulhi_epi16(u, kThreeEighths);
    const __m128i sv = _mm_mulhi_epi16(v, kThreeEighths);
    const __m128i cr = _mm_add_epi16(v, sv);
    const __m128i cb = _mm_add_epi16(_mm_add_epi16(u, su), su);
    const __m128i cg = _mm_sub_epi16(_mm_sub_epi16(_mm_setzero_si128(), su), _mm_add_epi16(sv, sv));
    SplitRgb out;
    out.r = _mm_packus_epi16(_mm_add_epi16(ye, cr), _mm_add_epi16(yo, cr));
    out.g = _mm_packus_epi16(_mm_add_epi16(ye, cg), _mm_add_epi16(yo, cg));
    out.b = _mm_packus_epi16(_mm_add_epi16(ye, cb), _mm_add_epi16(yo, cb));
    return out;
}

// Eight Y0 U Y1 V pairs.
inline SplitRgb LoadPacked(const uint8_t* src) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i y = _mm_packus_epi16(_mm_and_si128(a, lowBytes), _mm_and_si128(b, lowBytes));
    const __m128i c = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
    return YuvToRgb(_mm_and_si128(y, lowBytes), _mm_srli_epi16(y, 8), _mm_and_si128(c, lowBytes),
                    _mm_srli_epi16(c, 8));
}

// Sixteen Y, eight U and eight V.
inline SplitRgb LoadPlanar(const uint8_t* yp, const uint8_t* up, const uint8_t* vp) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i zero = _mm_setzero_si128();
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(yp));
    const __m128i u = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(up)), zero);
    const __m128i v = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(vp)), zero);
    return YuvToRgb(_mm_and_si128(y, lowBytes), _mm_srli_epi16(y, 8), u, v);
}

inline void Store(uint8_t* dst, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), v); }

inline void Store555(uint8_t* dst, const SplitRgb& p) {
    const __m128i lo = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(p.g, 2), _mm_set1_epi8(char(0xE0))),
                                     _mm_and_si128(_mm_srli_epi16(p.b, 3), _mm_set1_epi8(0x1F)));
    const __m128i hi = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(p.r, 1), _mm_set1_epi8(0x7C)),
                                     _mm_and_si128(_mm_srli_epi16(p.g, 6), _mm_set1_epi8(0x03)));
    const __m128i even = _mm_unpacklo_epi8(lo, hi);
    const __m128i odd = _mm_unpackhi_epi8(lo, hi);
    Store(dst, _mm_unpacklo_epi16(even, odd));
    Store(dst + 16, _mm_unpackhi_epi16(even, odd));
}

// The sixteen pixels as BGR0 double words, in pixel order.
struct Bgr0x16 {
    __m128i q[4];
};

inline Bgr0x16 ToBgr0(const SplitRgb& p) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i bgEven = _mm_unpacklo_epi8(p.b, p.g);
    const __m128i bgOdd = _mm_unpackhi_epi8(p.b, p.g);
    const __m128i rEven = _mm_unpacklo_epi8(p.r, zero);
    const __m128i rOdd = _mm_unpackhi_epi8(p.r, zero);
    const __m128i even0 = _mm_unpacklo_epi16(bgEven, rEven);
    const __m128i even1 = _mm_unpackhi_epi16(bgEven, rEven);
    const __m128i odd0 = _mm_unpacklo_epi16(bgOdd, rOdd);
    const __m128i odd1 = _mm_unpackhi_epi16(bgOdd, rOdd);
    Bgr0x16 out;
    out.q[0] = _mm_unpacklo_epi32(even0, odd0);
    out.q[1] = _mm_unpackhi_epi32(even0, odd0);
    out.q[2] = _mm_unpacklo_epi32(even1, odd1);
    out.q[3] = _mm_unpackhi_epi32(even1, odd1);
    return out;
}

inline void Store32(uint8_t* dst, const Bgr0x16& p) {
    for (int i = 0; i < 4; ++i) Store(dst + 16 * i, p.q[i]);
}

// Four BGR0 pixels to their twelve BGR bytes, in the low bytes of the result.
inline __m128i Squeeze4(__m128i x) {
    const __m128i low24 = _mm_set_epi32(0, 0x00FFFFFF, 0, 0x00FFFFFF);
    const __m128i high24 = _mm_set_epi32(0xFFFF, int(0xFF000000), 0xFFFF, int(0xFF000000));
    const __m128i lanes =
        _mm_or_si128(_mm_and_si128(x, low24), _mm_and_si128(_mm_srli_epi64(x, 8), high24));
    return _mm_or_si128(_mm_move_epi64(lanes), _mm_slli_si128(_mm_srli_si128(lanes, 8), 6));
}

// Sixteen BGR0 pixels as 48 bytes of BGR.
inline void Store24(uint8_t* dst, const Bgr0x16& p) {
    const __m128i a = Squeeze4(p.q[0]);
    const __m128i b = Squeeze4(p.q[1]);
    const __m128i c = Squeeze4(p.q[2]);
    const __m128i d = Squeeze4(p.q[3]);
    Store(dst, _mm_or_si128(a, _mm_slli_si128(b, 12)));
    Store(dst + 16, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
    Store(dst + 32, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
}

// Eight RGB 565 pixels as BGR0.
inline void Rgb565ToBgr0(__m128i w, __m128i& lo, __m128i& hi) {
    const __m128i bg = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(w, 3), _mm_set1_epi16(0x00F8)),
                                    _mm_and_si128(_mm_slli_epi16(w, 5), _mm_set1_epi16(short(0xFC00))));
    const __m128i r = _mm_and_si128(_mm_srli_epi16(w, 8), _mm_set1_epi16(0x00F8));
    lo = _mm_unpacklo_epi16(bg, r);
    hi = _mm_unpackhi_epi16(bg, r);
}

inline __m128i Load(const uint8_t* src) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(src)); }

}  // namespace

void Yuy2ToRgb555Row_SSE2(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~7;
    for (int k = 0; k < bulk; k += 8) Store555(dst + 4 * k, LoadPacked(src + 4 * k));
    Yuy2ToRgb555Row_C(src + 4 * bulk, dst + 4 * bulk, pairs - bulk);
}

void Yuy2ToRgb24Row_SSE2(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~7;
    for (int k = 0; k < bulk; k += 8) Store24(dst + 6 * k, ToBgr0(LoadPacked(src + 4 * k)));
    Yuy2ToRgb24Row_C(src + 4 * bulk, dst + 6 * bulk, pairs - bulk);
}

void Yuy2ToRgb32Row_SSE2(const uint8_t* src, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~7;
    for (int k = 0; k < bulk; k += 8) Store32(dst + 8 * k, ToBgr0(LoadPacked(src + 4 * k)));
    Yuy2ToRgb32Row_C(src + 4 * bulk, dst + 8 * bulk, pairs - bulk);
}

void I422ToRgb555Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~7;
    for (int k = 0; k < bulk; k += 8) Store555(dst + 4 * k, LoadPlanar(y + 2 * k, u + k, v + k));
    I422ToRgb555Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 4 * bulk, pairs - bulk);
}

void I422ToRgb24Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~7;
    for (int k = 0; k < bulk; k += 8) Store24(dst + 6 * k, ToBgr0(LoadPlanar(y + 2 * k, u + k, v + k)));
    I422ToRgb24Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 6 * bulk, pairs - bulk);
}

void I422ToRgb32Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    const int bulk = pairs & ~7;
    for (int k = 0; k < bulk; k += 8) Store32(dst + 8 * k, ToBgr0(LoadPlanar(y + 2 * k, u + k, v + k)));
    I422ToRgb32Row_C(y + 2 * bulk, u + bulk, v + bulk, dst + 8 * bulk, pairs - bulk);
}

void Rgb565ToRgb555Row_SSE2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~7;
    const __m128i keep = _mm_set1_epi16(0x001F);
    const __m128i moved = _mm_set1_epi16(0x7FE0);
    for (int x = 0; x < bulk; x += 8) {
        const __m128i w = Load(src + 2 * x);
        Store(dst + 2 * x, _mm_or_si128(_mm_and_si128(w, keep), _mm_and_si128(_mm_srli_epi16(w, 1), moved)));
    }
    Rgb565ToRgb555Row_C(src + 2 * bulk, dst + 2 * bulk, width - bulk);
}

void Rgb565ToRgb24Row_SSE2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~15;
    for (int x = 0; x < bulk; x += 16) {
        Bgr0x16 p;
        Rgb565ToBgr0(Load(src + 2 * x), p.q[0], p.q[1]);
        Rgb565ToBgr0(Load(src + 2 * x + 16), p.q[2], p.q[3]);
        Store24(dst + 3 * x, p);
    }
    Rgb565ToRgb24Row_C(src + 2 * bulk, dst + 3 * bulk, width - bulk);
}

void Rgb565ToRgb32Row_SSE2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~7;
    for (int x = 0; x < bulk; x += 8) {
        __m128i lo, hi;
        Rgb565ToBgr0(Load(src + 2 * x), lo, hi);
        Store(dst + 4 * x, lo);
        Store(dst + 4 * x + 16, hi);
    }
    Rgb565ToRgb32Row_C(src + 2 * bulk, dst + 4 * bulk, width - bulk);
}

void DoubleRow16_SSE2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~7;
    for (int x = 0; x < bulk; x += 8) {
        const __m128i p = Load(src + 2 * x);
        Store(dst + 4 * x, _mm_unpacklo_epi16(p, p));
        Store(dst + 4 * x + 16, _mm_unpackhi_epi16(p, p));
    }
    DoubleRow16_C(src + 2 * bulk, dst + 4 * bulk, width - bulk);
}

void DoubleRow32_SSE2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~3;
    for (int x = 0; x < bulk; x += 4) {
        const __m128i p = Load(src + 4 * x);
        Store(dst + 8 * x, _mm_unpacklo_epi32(p, p));
        Store(dst + 8 * x + 16, _mm_unpackhi_epi32(p, p));
    }
    DoubleRow32_C(src + 4 * bulk, dst + 8 * bulk, width - bulk);
}

void DoubleRow32To24_SSE2(const uint8_t* src, uint8_t* dst, int width) {
    const int bulk = width & ~7;
    for (int x = 0; x < bulk; x += 8) {
        const __m128i a = Load(src + 4 * x);
        const __m128i b = Load(src + 4 * x + 16);
        Bgr0x16 p;
        p.q[0] = _mm_unpacklo_epi32(a, a);
        p.q[1] = _mm_unpackhi_epi32(a, a);
        p.q[2] = _mm_unpacklo_epi32(b, b);
        p.q[3] = _mm_unpackhi_epi32(b, b);
        Store24(dst + 6 * x, p);
    }
    DoubleRow32To24_C(src + 4 * bulk, dst + 6 * bulk, width - bulk);
}

}  // namespace vancodc

#endif
