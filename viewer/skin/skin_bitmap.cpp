#include "skin_bitmap.h"

#include <cstring>

namespace {

SkinBitmap* g_cache = nullptr;
SkinResourceLoader g_loader;

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

DibLayout ReadDibLayout(const void* data, size_t size) {
    DibLayout d{};
    if (!data || size < 40) return d;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t headerSize = U32(p);
    if (headerSize < 40 || headerSize > size) return d;
    d.width = static_cast<int32_t>(U32(p + 4));
    d.height = static_cast<int32_t>(U32(p + 8));
    d.bitCount = U16(p + 14);
    uint32_t used = U32(p + 32);
    d.colours = used;
    if (used == 0 && d.bitCount >= 2 && d.bitCount <= 14) d.colours = 1u << d.bitCount;
    if (d.colours > 4096) return d;
    d.pixelOffset = headerSize + 4 * static_cast<size_t>(d.colours);
    if (d.width <= 0 || d.height == 0 || d.width > 32767 || d.height > 32767 || d.height < -32767) return d;
    uint64_t stride = ((static_cast<uint64_t>(d.width) * d.bitCount + 31) / 32) * 4;
    uint64_t rows = static_cast<uint64_t>(d.height < 0 ? -d.height : d.height);
    if (d.pixelOffset + stride * rows > size) return d;
    d.valid = true;
    return d;
}

void SkinBitmap::Size(int32_t& width, int32_t& height) {
    if (!sized_) {
        DibLayout d = ReadDibLayout(data, size);
        if (d.valid) {
            width_ = d.width;
            height_ = d.height < 0 ? -d.height : d.height;
        }
        sized_ = true;
    }
    width = width_;
    height = height_;
}

void SetSkinResourceLoader(SkinResourceLoader loader) { g_loader = std::move(loader); }

SkinBitmap* GetSkinBitmap(const char* name) {
    if (!name) return nullptr;
    for (SkinBitmap* b = g_cache; b; b = b->next)
        if (b->name == name) return b;
    auto* b = new SkinBitmap;
    b->name = name;
    if (g_loader) b->data = g_loader(name, &b->size);
    if (!b->data) b->size = 0;
    b->next = g_cache;
    g_cache = b;
    return b;
}

void FreeSkinBitmaps() {
    while (g_cache) {
        SkinBitmap* next = g_cache->next;
        delete g_cache;
        g_cache = next;
    }
}

SkinBitmap* SkinBitmapCache() { return g_cache; }
