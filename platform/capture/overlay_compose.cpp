#include "overlay_compose.h"

#include <cstring>

namespace capture {

namespace {

template <typename Pixel>
void Compose(Pixel* primary, const Pixel* shown, const Pixel* screen, const Pixel* video, Pixel* out, int width,
             Pixel key) {
    if (std::memcmp(screen, shown, size_t(width) * sizeof(Pixel)) != 0)
        for (int x = 0; x < width; ++x)
            if (screen[x] != shown[x]) primary[x] = screen[x];
    for (int x = 0; x < width; ++x) out[x] = primary[x] == key ? video[x] : primary[x];
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
    auto* o = reinterpret_cast<uint16_t*>(out);
    for (int x = 0; x < width; ++x) {
        const uint8_t* p = bgrx + 4 * x;
        o[x] = uint16_t((p[2] >> 3) << 11 | (p[1] >> 2) << 5 | p[0] >> 3);
    }
}

}  // namespace capture
