// Row functions of the frame conversions. The _C rows are the reference; every faster row must
// write the same bytes. A YUV row converts `pairs` pixel pairs (2 x pairs pixels); the other rows
// take a pixel count.
#pragma once
#include <cstdint>

namespace vancodc {

// Output pixel layouts, in the order rows are indexed.
enum OutKind : int { kOut555 = 0, kOut24 = 1, kOut32 = 2 };
constexpr int kOutBytes[3] = {2, 3, 4};

using PackedRowFn = void (*)(const uint8_t* yuy2, uint8_t* dst, int pairs);
using PlanarRowFn = void (*)(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst,
                             int pairs);
using PixelRowFn = void (*)(const uint8_t* src, uint8_t* dst, int width);

// The rows a frame conversion uses.
struct RowSet {
    PackedRowFn packed[3];   // Y0 U Y1 V pairs to 555 / 24 / 32
    PlanarRowFn planar[3];   // Y, U and V rows (one U and V per pair) to 555 / 24 / 32
    PixelRowFn rgb565[3];    // RGB 565 to 555 / 24 / 32
    PixelRowFn double16;     // 16-bit pixels, each written twice
    PixelRowFn double32;     // 32-bit pixels, each written twice
    PixelRowFn double32To24; // BGR0 pixels written twice as BGR
};

void Yuy2ToRgb555Row_C(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb24Row_C(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb32Row_C(const uint8_t* src, uint8_t* dst, int pairs);
void I422ToRgb555Row_C(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb24Row_C(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb32Row_C(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void Rgb565ToRgb555Row_C(const uint8_t* src, uint8_t* dst, int width);
void Rgb565ToRgb24Row_C(const uint8_t* src, uint8_t* dst, int width);
void Rgb565ToRgb32Row_C(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow16_C(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow32_C(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow32To24_C(const uint8_t* src, uint8_t* dst, int width);

#if defined(__x86_64__) || defined(__i386__)
#define VANCODC_HAS_X86 1
// Any width: the SIMD body on the bulk, the C row on the tail.
void Yuy2ToRgb555Row_SSE2(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb24Row_SSE2(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb32Row_SSE2(const uint8_t* src, uint8_t* dst, int pairs);
void I422ToRgb555Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb24Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb32Row_SSE2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void Rgb565ToRgb555Row_SSE2(const uint8_t* src, uint8_t* dst, int width);
void Rgb565ToRgb24Row_SSE2(const uint8_t* src, uint8_t* dst, int width);
void Rgb565ToRgb32Row_SSE2(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow16_SSE2(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow32_SSE2(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow32To24_SSE2(const uint8_t* src, uint8_t* dst, int width);
void Yuy2ToRgb555Row_AVX2(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb24Row_AVX2(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb32Row_AVX2(const uint8_t* src, uint8_t* dst, int pairs);
void I422ToRgb555Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb24Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb32Row_AVX2(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void Rgb565ToRgb555Row_AVX2(const uint8_t* src, uint8_t* dst, int width);
void Rgb565ToRgb24Row_AVX2(const uint8_t* src, uint8_t* dst, int width);
void Rgb565ToRgb32Row_AVX2(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow16_AVX2(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow32_AVX2(const uint8_t* src, uint8_t* dst, int width);
void DoubleRow32To24_AVX2(const uint8_t* src, uint8_t* dst, int width);
void Yuy2ToRgb555Row_AVX512(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb24Row_AVX512(const uint8_t* src, uint8_t* dst, int pairs);
void Yuy2ToRgb32Row_AVX512(const uint8_t* src, uint8_t* dst, int pairs);
void I422ToRgb555Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb24Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
void I422ToRgb32Row_AVX512(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs);
#endif

// The plain rows, the SSE2 rows (x86 only) and the rows the CPU is best served by.
const RowSet& PlainRows();
const RowSet* Sse2Rows();  // nullptr where not built
const RowSet* Avx2Rows();  // nullptr where not built
const RowSet* Avx512Rows();  // nullptr where not built
const RowSet& SelectedRows();

}  // namespace vancodc
