#include "stored_size.h"

#include "codec_format.h"

namespace vancodc {

StoredSize ComputeStoredSize(uint16_t width, uint16_t height, uint16_t decodeFlags) {
    uint16_t w = width;
    uint16_t h = height;
    if (decodeFlags & 0x02) w = uint16_t(w / 2);
    if (decodeFlags & 0x01) h = uint16_t(h / 2);

    uint16_t maxW;
    uint16_t maxH;
    if ((decodeFlags & 0x0C) == 0x0C) {
        maxW = (decodeFlags & 0x10) ? 320 : 608;
        maxH = 228;
    } else if (decodeFlags & 0x04) {
        maxW = (decodeFlags & 0x10) ? 320 : 640;
        maxH = 240;
    } else {
        maxW = 320;
        maxH = 240;
    }
    if (w > maxW) w = maxW;
    if (h > maxH) h = maxH;
    return {w, h};
}

uint32_t StoredImageSize(uint32_t formatId, uint16_t width, uint16_t height, uint16_t decodeFlags) {
    const StoredSize s = ComputeStoredSize(width, height, decodeFlags);
    const uint32_t pixels = uint32_t(s.width) * s.height;
    switch (formatId) {
    case 100:
    case 105:
    case 113: return pixels;
    case kFormatTy0n: return pixels * 3 / 2;
    default: return pixels * 2;
    }
}

}  // namespace vancodc
