#include "reference_convert.h"

#include <algorithm>

namespace vancodc::test {

namespace {

int Bytes(int kind) { return kind == 0 ? 2 : kind == 1 ? 3 : 4; }

void PutYuv(uint8_t* out, int kind, int y, int U, int V) {
    const int u = U - 128;
    const int v = V - 128;
    const int su = (3 * u) >> 3;
    const int sv = (3 * v) >> 3;
    const int r = std::clamp(y + v + sv, 0, 255);
    const int g = std::clamp(y - su - 2 * sv, 0, 255);
    const int b = std::clamp(y + u + 2 * su, 0, 255);
    if (kind == 0) {
        const int w = (r >> 3) * 1024 + (g >> 3) * 32 + (b >> 3);
        out[0] = uint8_t(w & 0xFF);
        out[1] = uint8_t(w >> 8);
        return;
    }
    out[0] = uint8_t(b);
    out[1] = uint8_t(g);
    out[2] = uint8_t(r);
    if (kind == 2) out[3] = 0;
}

void Stored(uint16_t flags, int w, int h, int& ws, int& hs) {
    ws = w;
    hs = h;
    if (flags & 2) ws /= 2;
    if (flags & 1) hs /= 2;
    int maxW = 320, maxH = 240;
    if ((flags & 0x0C) == 0x0C) {
        maxW = (flags & 0x10) ? 320 : 608;
        maxH = 228;
    } else if (flags & 0x04) {
        maxW = (flags & 0x10) ? 320 : 640;
    }
    ws = std::min(ws, maxW);
    hs = std::min(hs, maxH);
}

// The stretch with one row buffer, horizontal accumulator B and vertical accumulator A.
void StretchPacked(const uint8_t* frame, int ws, int hs, int w, int h, int kind, uint8_t* out) {
    const int bpp = Bytes(kind);
    std::vector<uint8_t> row(size_t(w) * bpp, 0);
    int a = 0;
    int outRow = 0;
    for (int r = 0; r < hs; ++r) {
        int b = 0;
        int pos = 0;
        for (int k = 0; k < ws / 2; ++k) {
            const uint8_t* p = frame + size_t(r) * ws * 2 + 4 * k;
            uint8_t px[2][4];
            PutYuv(px[0], kind, p[0], p[1], p[3]);
            PutYuv(px[1], kind, p[2], p[1], p[3]);
            for (auto& pixel : px) {
                while (b < w) {
                    std::copy(pixel, pixel + bpp, row.begin() + size_t(pos) * bpp);
                    ++pos;
                    b += ws;
                }
                b -= w;
            }
        }
        while (a < h) {
            std::copy(row.begin(), row.end(), out + size_t(outRow) * w * bpp);
            ++outRow;
            a += hs;
        }
        a -= h;
    }
}

}  // namespace

std::vector<uint8_t> ReferenceConvert(uint32_t srcId, uint16_t flags, const std::vector<uint8_t>& src,
                                      int w, int h, int kind) {
    const int bpp = Bytes(kind);
    std::vector<uint8_t> out(size_t(w) * h * bpp, 0xCD);
    switch (srcId) {
    case 107:
        for (int i = 0; i < w * h; ++i) {
            const uint8_t lo = src[2 * i];
            const uint8_t hi = src[2 * i + 1];
            uint8_t* o = &out[size_t(i) * bpp];
            if (kind == 0) {
                o[0] = uint8_t((lo & 0x1F) | ((lo >> 6) << 5) | ((hi & 1) << 7));
                o[1] = uint8_t(hi >> 1);
            } else {
                o[0] = uint8_t((lo * 8) & 0xFF);
                o[1] = uint8_t(((hi * 32) & 0xFF) | (((lo >> 5) * 4) & 0x1F));
                o[2] = uint8_t(hi & 0xF8);
                if (kind == 2) o[3] = 0;
            }
        }
        break;
    case 112:
        for (int r = 0; r < h; ++r) {
            for (int k = 0; k < w / 2; ++k) {
                const uint8_t* p = &src[size_t(r) * w * 2 + 4 * k];
                uint8_t* o = &out[(size_t(r) * w + 2 * k) * bpp];
                PutYuv(o, kind, p[0], p[1], p[3]);
                PutYuv(o + bpp, kind, p[2], p[1], p[3]);
            }
            if (w & 1) std::fill_n(&out[(size_t(r) * w + w - 1) * bpp], bpp, 0);
        }
        break;
    case 117:
    case 119: {
        int ws, hs;
        Stored(flags, w, h, ws, hs);
        StretchPacked(src.data(), ws, hs, w, h, kind, out.data());
        break;
    }
    case 118: {
        int ws, hs;
        Stored(flags, w, h, ws, hs);
        std::vector<uint8_t> scratch(size_t(ws) * hs * 2, 0);
        const uint8_t* yPlane = src.data();
        const uint8_t* uPlane = yPlane + size_t(ws) * hs;
        const uint8_t* vPlane = uPlane + size_t(ws / 2) * (hs / 2);
        for (int r = 0; r < hs; ++r) {
            for (int k = 0; k < ws / 2; ++k) {
                uint8_t* s = &scratch[size_t(r) * ws * 2 + 4 * k];
                s[0] = yPlane[size_t(r) * ws + 2 * k];
                s[1] = uPlane[size_t(r / 2) * (ws / 2) + k];
                s[2] = yPlane[size_t(r) * ws + 2 * k + 1];
                s[3] = vPlane[size_t(r / 2) * (ws / 2) + k];
            }
        }
        StretchPacked(scratch.data(), ws, hs, w, h, kind, out.data());
        break;
    }
    default: break;
    }
    return out;
}

}  // namespace vancodc::test
