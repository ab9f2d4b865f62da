#include "overlay_compose.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace capture {

namespace {

// The video where the primary surface holds the key; whole vectors where the machine has them
// (a 640 x 480 overlay does this for every pixel of every frame).
void Select(const uint16_t* primary, const uint16_t* video, uint16_t* out, int width, uint16_t key) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi16(int16_t(key));
    for (; x + 8 <= width; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(primary + x));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(video + x));
        const __m128i m = _mm_cmpeq_epi16(p, k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(_mm_and_si128(m, v), _mm_andnot_si128(m, p)));
    }
#endif
    for (; x < width; ++x) out[x] = primary[x] == key ? video[x] : primary[x];
}

void Select(const uint32_t* primary, const uint32_t* video, uint32_t* out, int width, uint32_t key) {
    int x = 0;
#if defined(__SSE2__)
    const __m128i k = _mm_set1_epi32(int32_t(key));
    for (; x + 4 <= width; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(primary + x));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(video + x));
        const __m128i m = _mm_cmpeq_epi32(p, k);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(_mm_and_si128(m, v), _mm_andnot_si128(m, p)));
    }
#endif
    for (; x < width; ++x) out[x] = primary[x] == key ? video[x] : primary[x];
}

template <typename Pixel>
void Compose(Pixel* primary, const Pixel* shown, const Pixel* screen, const Pixel* video, Pixel* out, int width,
             Pixel key) {
    if (std::memcmp(screen, shown, size_t(width) * sizeof(Pixel)) != 0)
        for (int x = 0; x < width; ++x)
            if (screen[x] != shown[x]) primary[x] = screen[x];
    Select(primary, video, out, width, key);
}

}  // namespace

void ComposeOverlayRow(uint8_t* primary, const uint8_t* shown, const uint8_t* screen, const uint8_t* video,
                       uint8_t* out, int width, int bytesPerPixel) {
    if (width <= 0) return;
    if (bytesPerPixel == 2) {
        Compose(reinterpret_cast<uint16_t*>(primary), reinterpret_cast<const uint16_t*>(shown),
                reinterpret_cast<const uint16_t*>(screen), reinterpret_cast<const uint16_t*>(video),
                reinterpret_cast<uint16_t*>(out), width, uint16_t(kOverlayKey16));
    } else {
        Compose(reinterpret_cast<uint32_t*>(primary), reinterpret_cast<const uint32_t*>(shown),
                reinterpret_cast<const uint32_t*>(screen), reinterpret_cast<const uint32_t*>(video),
                reinterpret_cast<uint32_t*>(out), width, kOverlayKey32);
    }
}

void FillOverlayKey(uint8_t* row, int count, int bytesPerPixel) {
    if (bytesPerPixel == 2) {
        auto* p = reinterpret_cast<uint16_t*>(row);
        for (int i = 0; i < count; ++i) p[i] = uint16_t(kOverlayKey16);
    } else {
        auto* p = reinterpret_cast<uint32_t*>(row);
        for (int i = 0; i < count; ++i) p[i] = kOverlayKey32;
    }
}

void PackRgb565Row(const uint8_t* bgrx, uint8_t* out, int width) {
    int x = 0;
#if defined(__SSE2__)
    // Eight pixels a step. The words are sign-extended first, so that the signed pack keeps them.
    const __m128i red = _mm_set1_epi32(0xF800), green = _mm_set1_epi32(0x07E0), blue = _mm_set1_epi32(0x001F);
    const auto words = [&](__m128i p) {
        const __m128i w = _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(p, 8), red),
                                                    _mm_and_si128(_mm_srli_epi32(p, 5), green)),
                                       _mm_and_si128(_mm_srli_epi32(p, 3), blue));
        return _mm_srai_epi32(_mm_slli_epi32(w, 16), 16);
    };
    for (; x + 8 <= width; x += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgrx + 4 * size_t(x)));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bgrx + 4 * size_t(x) + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * size_t(x)), _mm_packs_epi32(words(a), words(b)));
    }
#endif
    // Whole words (B | G << 8 | R << 16) rather than bytes.
    for (; x < width; ++x) {
        uint32_t p;
        std::memcpy(&p, bgrx + 4 * size_t(x), 4);
        const uint16_t w = uint16_t((p >> 8 & 0xF800) | (p >> 5 & 0x07E0) | (p >> 3 & 0x001F));
        std::memcpy(out + 2 * size_t(x), &w, 2);
    }
}

}  // namespace capture
