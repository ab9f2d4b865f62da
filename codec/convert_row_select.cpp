// The row sets, and the choice among them for this processor.
#include "convert_row.h"
#include "cpu_id.h"

namespace vancodc {

namespace {

const RowSet kPlainRows = {
    {Yuy2ToRgb555Row_C, Yuy2ToRgb24Row_C, Yuy2ToRgb32Row_C},
    {I422ToRgb555Row_C, I422ToRgb24Row_C, I422ToRgb32Row_C},
    {Rgb565ToRgb555Row_C, Rgb565ToRgb24Row_C, Rgb565ToRgb32Row_C},
    DoubleRow16_C,
    DoubleRow32_C,
    DoubleRow32To24_C,
};

#if defined(VANCODC_HAS_X86)
const RowSet kSse2Rows = {
    {Yuy2ToRgb555Row_SSE2, Yuy2ToRgb24Row_SSE2, Yuy2ToRgb32Row_SSE2},
    {I422ToRgb555Row_SSE2, I422ToRgb24Row_SSE2, I422ToRgb32Row_SSE2},
    {Rgb565ToRgb555Row_SSE2, Rgb565ToRgb24Row_SSE2, Rgb565ToRgb32Row_SSE2},
    DoubleRow16_SSE2,
    DoubleRow32_SSE2,
    DoubleRow32To24_SSE2,
};

const RowSet kAvx2Rows = {
    {Yuy2ToRgb555Row_AVX2, Yuy2ToRgb24Row_AVX2, Yuy2ToRgb32Row_AVX2},
    {I422ToRgb555Row_AVX2, I422ToRgb24Row_AVX2, I422ToRgb32Row_AVX2},
    {Rgb565ToRgb555Row_AVX2, Rgb565ToRgb24Row_AVX2, Rgb565ToRgb32Row_AVX2},
    DoubleRow16_AVX2,
    DoubleRow32_AVX2,
    DoubleRow32To24_AVX2,
};

const RowSet kAvx512Rows = {
    {Yuy2ToRgb555Row_AVX512, Yuy2ToRgb24Row_AVX512, Yuy2ToRgb32Row_AVX512},
    {I422ToRgb555Row_AVX512, I422ToRgb24Row_AVX512, I422ToRgb32Row_AVX512},
    {Rgb565ToRgb555Row_AVX2, Rgb565ToRgb24Row_AVX2, Rgb565ToRgb32Row_AVX2},
    DoubleRow16_AVX2,
    DoubleRow32_AVX2,
    DoubleRow32To24_AVX2,
};
#endif

}  // namespace

const RowSet& PlainRows() { return kPlainRows; }

const RowSet* Sse2Rows() {
#if defined(VANCODC_HAS_X86)
    return &kSse2Rows;
#else
    return nullptr;
#endif
}

const RowSet* Avx2Rows() {
#if defined(VANCODC_HAS_X86)
    return &kAvx2Rows;
#else
    return nullptr;
#endif
}

const RowSet* Avx512Rows() {
#if defined(VANCODC_HAS_X86)
    return &kAvx512Rows;
#else
    return nullptr;
#endif
}

const RowSet& SelectedRows() {
    const int features = CpuFeatures();
#if defined(VANCODC_HAS_X86)
    if ((features & kCpuAvx512) && (features & kCpuAvx2)) return kAvx512Rows;
    if (features & kCpuAvx2) return kAvx2Rows;
    if (features & kCpuSse2) return kSse2Rows;
#endif
    (void)features;
    return kPlainRows;
}

}  // namespace vancodc
