#include "skin_gdi.h"

void InstallSkinResourceLoader() {
    SetSkinResourceLoader([](const char* name, size_t* size) -> const void* {
        HMODULE module = GetModuleHandleA(nullptr);
        HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(2));
        if (!found) return nullptr;
        HGLOBAL loaded = LoadResource(module, found);
        if (!loaded) return nullptr;
        *size = SizeofResource(module, found);
        return LockResource(loaded);
    });
}

void DrawSkinBitmap(SkinBitmap* bitmap, HDC dc, int x, int y, bool shrunk) {
    if (!bitmap || !bitmap->data) return;
    DibLayout d = ReadDibLayout(bitmap->data, bitmap->size);
    if (!d.valid) return;
    auto* info = static_cast<const BITMAPINFO*>(bitmap->data);
    const BYTE* bits = static_cast<const BYTE*>(bitmap->data) + d.pixelOffset;
    HBITMAP device = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS);
    if (!device) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, device);
    int width = d.width, height = d.height < 0 ? -d.height : d.height;
    if (shrunk) {
        --width;
        --height;
    }
    BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(device);
}

HBRUSH SkinPatternBrush(SkinBitmap* bitmap) {
    if (!bitmap || !bitmap->data || !ReadDibLayout(bitmap->data, bitmap->size).valid) return nullptr;
    return CreateDIBPatternBrushPt(bitmap->data, DIB_RGB_COLORS);
}

void GdiCanvas::DrawBitmap(SkinBitmap* bitmap, int32_t x, int32_t y, bool shrunk) {
    DrawSkinBitmap(bitmap, dc_, x, y, shrunk);
}

void GdiCanvas::FillPressed(const SkinRect& rect) {
    if (rect.Empty() || !pressed_) return;
    RECT r = ToRect(rect);
    FillRect(dc_, &r, pressed_);
}

void DrawSkinText(HDC dc, const char* text, const RECT& rect, int size, int weight, const char* face,
                  COLORREF colour, UINT format) {
    LOGFONTA f = {};
    f.lfHeight = -size;
    f.lfWeight = weight;
    f.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(f.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectA(&f);
    HGDIOBJ old = SelectObject(dc, font);
    COLORREF oldColour = SetTextColor(dc, colour);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT r = rect;
    DrawTextA(dc, text, -1, &r, format);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    SelectObject(dc, old);
    DeleteObject(font);
}
