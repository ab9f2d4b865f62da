#include "caption.h"

#include <cstdlib>

#include "skin_bitmap.h"
#include "skin_gdi.h"
#include "skin_host.h"
#include "viewer_state.h"
#include "viewer_util.h"

void PaintCaption(HDC dc, const SkinRect& windowRect) {
    RECT r = ToRect(windowRect);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    --r.right;
    --r.bottom;
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ++r.left;
    ++r.top;
    if (g_viewer.backgroundBrush) FillRect(dc, &r, g_viewer.backgroundBrush);
    DrawSkinBitmap(GetSkinBitmap(IsOwnWindowActive() ? "LOGO" : "LOGO2"), dc, windowRect.left, windowRect.top, false);
}

namespace {

struct Drag {
    bool down = false;
    bool moving = false;
    POINT start{};     // screen point of the press
    RECT outline{};    // the outline drawn now
    RECT window{};     // the window's rectangle at the press
};
Drag g_drag;

void DrawOutline(const RECT& r) {
    HDC screen = GetDC(nullptr);
    DrawFocusRect(screen, &r);
    ReleaseDC(nullptr, screen);
}

}  // namespace

void CaptionDrag(SkinNode* element, uint32_t message, int32_t, int32_t) {
    auto* host = dynamic_cast<SkinHost*>(element->HostOf());
    if (!host || !host->m_hWnd) return;
    POINT cursor;
    GetCursorPos(&cursor);
    switch (message) {
    case kSkinButtonDown:
        g_drag = Drag{};
        g_drag.down = true;
        g_drag.start = cursor;
        GetWindowRect(host->m_hWnd, &g_drag.window);
        break;
    case kSkinMouseMove: {
        if (!g_drag.down) break;
        int dx = cursor.x - g_drag.start.x, dy = cursor.y - g_drag.start.y;
        if (!g_drag.moving && std::abs(dx) + std::abs(dy) < 3) break;
        if (g_drag.moving) DrawOutline(g_drag.outline);
        g_drag.moving = true;
        g_drag.outline = g_drag.window;
        OffsetRect(&g_drag.outline, dx, dy);
        DrawOutline(g_drag.outline);
        break;
    }
    case kSkinButtonUp:
        if (g_drag.moving) {
            DrawOutline(g_drag.outline);
            const RECT& r = g_drag.outline;
            MoveWindow(host->m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        }
        g_drag = Drag{};
        break;
    }
}
