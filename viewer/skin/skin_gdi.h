// The skin toolkit's drawing on Windows: bitmap resources, DIB blitting, the canvas.
#pragma once
#include <windows.h>

#include "skin_bitmap.h"
#include "skin_node.h"

// Makes the cache load bitmaps from the program's own resources (type RT_BITMAP).
void InstallSkinResourceLoader();

// Draws a cached bitmap; a missing or broken resource draws nothing.
void DrawSkinBitmap(SkinBitmap* bitmap, HDC dc, int x, int y, bool shrunk);
// A pattern brush made from the bitmap; the caller deletes it. nullptr when missing.
HBRUSH SkinPatternBrush(SkinBitmap* bitmap);

// The one text routine of the panels' labels: a font of that pixel height, weight and face,
// transparent background, DrawTextA with the format flags.
void DrawSkinText(HDC dc, const char* text, const RECT& rect, int size, int weight, const char* face,
                  COLORREF colour, UINT format);

class GdiCanvas : public SkinCanvas {
public:
    GdiCanvas(HDC dc, HBRUSH pressedBrush) : dc_(dc), pressed_(pressedBrush) {}
    void DrawBitmap(SkinBitmap* bitmap, int32_t x, int32_t y, bool shrunk) override;
    void FillPressed(const SkinRect& rect) override;
    void* Context() override { return dc_; }
    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HBRUSH pressed_;
};

inline RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline SkinRect FromRect(const RECT& r) { return SkinRect{r.left, r.top, r.right, r.bottom}; }
