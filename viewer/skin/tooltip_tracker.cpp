#include "tooltip_tracker.h"

#include "skin_node.h"

namespace {
constexpr int32_t kShowTick = 4;    // the fifth tick at rest: 500 ms
constexpr int32_t kHideTick = 54;   // 5.5 s at rest
constexpr int32_t kRestTicks = 5;   // below this the pointer has not rested yet
constexpr int32_t kPressedTicks = 55;
}  // namespace

void TooltipTracker::PointerMoved(void* h, int32_t x, int32_t y) {
    SkinNode* e = env_.HitTest(h, x, y);
    env_.ClientToScreen(h, x, y);
    if (h == host && e == element) {
        if (x == lastX && y == lastY) return;
        lastX = x;
        lastY = y;
        if (ticks < kRestTicks) ticks = 0;
        return;
    }
    ticks = 0;
    lastX = x;
    lastY = y;
    host = h;
    element = e;
    Hide();
}

void TooltipTracker::ButtonPressed() {
    ticks = kPressedTicks;
    Hide();
}

void TooltipTracker::Tick() {
    if (!host) return;
    int32_t x = 0, y = 0;
    env_.CursorPosition(x, y);
    if (!env_.HostUnderPoint(host, x, y)) {
        lastX = x;
        lastY = y;
        host = nullptr;
        element = nullptr;
        ticks = 0;
        Hide();
        return;
    }
    if (!env_.OwnWindowActive()) return;
    int32_t n = ticks++;
    if (n == kShowTick) {
        if (element && element->tipText && element->tipText[0]) env_.ShowTip(element->tipText, x, y);
    } else if (n == kHideTick) {
        Hide();
    }
}

void TooltipTracker::Forget(void* h) {
    if (host != h) return;
    host = nullptr;
    element = nullptr;
    ticks = 0;
    Hide();
}

TipPlace PlaceTip(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t screenWidth, int32_t screenHeight) {
    TipPlace r{x, y + 18, x + cx + 5, y + cy + 22};
    if (r.bottom > screenHeight) {
        r.top -= cy + 24;
        r.bottom -= cy + 24;
    }
    if (r.right > screenWidth) {
        int32_t shift = r.right - screenWidth;
        r.left -= shift;
        r.right -= shift;
    }
    return r;
}
