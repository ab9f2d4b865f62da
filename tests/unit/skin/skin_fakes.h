// Test doubles of the skin toolkit's window and canvas.
#pragma once
#include <string>
#include <vector>

#include "skin_bitmap.h"
#include "skin_node.h"

struct FakeHost : SkinHostLink {
    std::vector<SkinRect> invalidated;
    int updates = 0, captures = 0;
    void Invalidate(const SkinRect& r) override { invalidated.push_back(r); }
    void UpdateNow() override { ++updates; }
    void CaptureMouse() override { ++captures; }
};

struct FakeCanvas : SkinCanvas {
    std::vector<std::string> ops;
    void DrawBitmap(SkinBitmap* b, int32_t x, int32_t y, bool shrunk) override {
        ops.push_back((shrunk ? "shrunk " : "draw ") + b->name + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void FillPressed(const SkinRect& r) override {
        ops.push_back("fill " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                      std::to_string(r.right) + "," + std::to_string(r.bottom));
    }
    void* Context() override { return nullptr; }
};

// A packed DIB of w x h, 8 bits, biClrUsed 0 (a full colour table).
inline std::vector<uint8_t> MakeDib(int32_t w, int32_t h, uint16_t bits = 8, uint32_t used = 0) {
    uint32_t colours = used ? used : (bits <= 8 ? 1u << bits : 0);
    uint32_t stride = ((w * bits + 31) / 32) * 4;
    std::vector<uint8_t> d(40 + 4 * colours + stride * static_cast<uint32_t>(h < 0 ? -h : h));
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(w));
    put32(8, static_cast<uint32_t>(h));
    d[12] = 1;
    d[14] = static_cast<uint8_t>(bits);
    put32(32, used);
    return d;
}

// Installs a loader that knows a few named bitmaps of given sizes.
void InstallFakeBitmaps();
