// The reference rows: integer arithmetic exactly as the conversions are defined.
#include <cstring>

#include "convert_row.h"
#include "yuv_pixel.h"

namespace vancodc {

namespace {

inline void Put555(uint8_t* dst, int r, int g, int b) {
    const uint16_t w = uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    dst[0] = uint8_t(w);
    dst[1] = uint8_t(w >> 8);
}

struct Out555 {
    static constexpr int kBytes = 2;
    static void Put(uint8_t* dst, int y, const ChromaTerms& c) {
        Put555(dst, Clamp255(y + c.r), Clamp255(y + c.g), Clamp255(y + c.b));
    }
};
struct Out24 {
    static constexpr int kBytes = 3;
    static void Put(uint8_t* dst, int y, const ChromaTerms& c) {
        dst[0] = uint8_t(Clamp255(y + c.b));
        dst[1] = uint8_t(Clamp255(y + c.g));
        dst[2] = uint8_t(Clamp255(y + c.r));
    }
};
struct Out32 {
    static constexpr int kBytes = 4;
    static void Put(uint8_t* dst, int y, const ChromaTerms& c) {
        Out24::Put(dst, y, c);
        dst[3] = 0;
    }
};

template <class Out>
void PackedRow(const uint8_t* src, uint8_t* dst, int pairs) {
    for (int k = 0; k < pairs; ++k, src += 4, dst += 2 * Out::kBytes) {
        const ChromaTerms c = MakeChromaTerms(src[1], src[3]);
        Out::Put(dst, src[0], c);
        Out::Put(dst + Out::kBytes, src[2], c);
    }
}

template <class Out>
void PlanarRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int pairs) {
    for (int k = 0; k < pairs; ++k, y += 2, dst += 2 * Out::kBytes) {
        const ChromaTerms c = MakeChromaTerms(u[k], v[k]);
        Out::Put(dst, y[0], c);
        Out::Put(dst + Out::kBytes, y[1], c);
    }
}

}  // namespace

void Yuy2ToRgb555Row_C(const uint8_t* s, uint8_t* d, int n) { PackedRow<Out555>(s, d, n); }
void Yuy2ToRgb24Row_C(const uint8_t* s, uint8_t* d, int n) { PackedRow<Out24>(s, d, n); }
void Yuy2ToRgb32Row_C(const uint8_t* s, uint8_t* d, int n) { PackedRow<Out32>(s, d, n); }

void I422ToRgb555Row_C(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int n) {
    PlanarRow<Out555>(y, u, v, d, n);
}
void I422ToRgb24Row_C(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int n) {
    PlanarRow<Out24>(y, u, v, d, n);
}
void I422ToRgb32Row_C(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* d, int n) {
    PlanarRow<Out32>(y, u, v, d, n);
}

// 565 to 555 drops the lowest green bit.
void Rgb565ToRgb555Row_C(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 2, dst += 2) {
        const uint8_t lo = src[0];
        const uint8_t hi = src[1];
        dst[0] = uint8_t((lo & 0x1F) | ((lo >> 6) << 5) | ((hi & 1) << 7));
        dst[1] = uint8_t(hi >> 1);
    }
}

// The low bits of each component stay zero: no bit replication.
void Rgb565ToRgb24Row_C(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 2, dst += 3) {
        const uint8_t lo = src[0];
        const uint8_t hi = src[1];
        dst[0] = uint8_t(lo * 8);
        dst[1] = uint8_t(((hi * 32) & 0xFF) | (((lo >> 5) * 4) & 0x1F));
        dst[2] = uint8_t(hi & 0xF8);
    }
}

void Rgb565ToRgb32Row_C(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 2, dst += 4) {
        Rgb565ToRgb24Row_C(src, dst, 1);
        dst[3] = 0;
    }
}

void DoubleRow16_C(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 2, dst += 4) {
        dst[0] = dst[2] = src[0];
        dst[1] = dst[3] = src[1];
    }
}

void DoubleRow32_C(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 4, dst += 8) {
        std::memcpy(dst, src, 4);
        std::memcpy(dst + 4, src, 4);
    }
}

void DoubleRow32To24_C(const uint8_t* src, uint8_t* dst, int width) {
    for (int x = 0; x < width; ++x, src += 4, dst += 6) {
        std::memcpy(dst, src, 3);
        std::memcpy(dst + 3, src, 3);
    }
}

}  // namespace vancodc
