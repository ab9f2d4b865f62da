#include "main_geometry.h"

#include <algorithm>
#include <cstdio>

int32_t GridStepLimit(int32_t screenHeight) {
    switch (screenHeight) {
    case 480: return 13;
    case 600: return 16;
    case 768: return 22;
    default: return screenHeight / 30 - 3;
    }
}

void ComputeGridSize(int32_t& outerWidth, int32_t& outerHeight, const FrameMetrics& m, int32_t screenWidth,
                     int32_t screenHeight) {
    const int64_t vw = int64_t(outerWidth) - m.FrameW() - kFrameMargin;
    const int64_t vh = int64_t(outerHeight) - m.FrameH() - kFrameMargin;
    // The nearest whole number of 40 x 30 steps along the diagonal.
    int64_t n = (30 * vh + 40 * vw + 1250) / 2500;
    const int32_t limit = GridStepLimit(screenHeight);
    if (40 * n > int64_t(screenWidth) - kFrameMargin) n = limit;
    if (40 * n < 120) n = 3;
    n = std::min<int64_t>(n, limit);
    outerWidth = m.FrameW() + int32_t(40 * n) + kFrameMargin;
    outerHeight = m.FrameH() + int32_t(30 * n) + kFrameMargin;
}

Placement PlaceFromSetting(const WindowSetting& s, const FrameMetrics& m, int32_t screenWidth,
                           int32_t screenHeight) {
    int32_t h = s.height;
    if (h > 660 || h < 90) h = 180;
    switch (screenHeight) {
    case 480: h = std::min(h, 390); break;
    case 600: h = std::min(h, 480); break;
    case 768: h = std::min(h, 660); break;
    default:
        if (int64_t(m.FrameH()) + h + kFrameMargin > int64_t(screenHeight) + 60)
            h = (screenHeight - 60) / 30 * 30;
    }
    h &= ~3;
    const int32_t w = h * 4 / 3;
    int32_t x = std::max(s.x, 0);
    if (int64_t(w) + m.FrameW() + x + kFrameMargin > screenWidth) x = screenWidth - m.FrameW() - w - kFrameMargin;
    int32_t y = std::max(s.y, 0);
    if (int64_t(m.FrameH()) + h + y + kFrameMargin > screenHeight) y = screenHeight - m.FrameH() - h - kFrameMargin;
    return Placement{x, y, w, h, s.pinned != 0};
}

std::string FormatWindowSetting(const Rect32& saved, const FrameMetrics& m, bool pinned) {
    char text[80];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d,%d", saved.left, saved.top,
                  saved.Width() - m.FrameW() - kFrameMargin, saved.Height() - m.FrameH() - kFrameMargin,
                  pinned ? 1 : 0);
    return text;
}

bool LimitRequestedSize(int32_t& cx, int32_t& cy, const SizeContext& c, const FrameMetrics& m,
                        int32_t screenWidth, int32_t screenHeight) {
    if (c.deckBmpMode == 1 && c.viewMode == 2) return false;  // a still at its own size
    if (c.viewMode == 0) {
        ComputeGridSize(cx, cy, m, screenWidth, screenHeight);
        return true;
    }
    if (c.deckBmpMode != 0) return false;
    cx = std::max(cx, m.FrameW() + 135);
    cx = std::min(cx, m.FrameW() + screenWidth + kFrameMargin);
    cy = std::max(cy, m.FrameH() + 105);
    return true;
}

bool GrowDragSize(int32_t& cx, int32_t& cy, const SizeContext& c, const FrameMetrics& m, int32_t screenWidth,
                  int32_t screenHeight) {
    if (c.multiScreen) return false;
    cx = std::max(cx, m.FrameW() + 135);
    cy = std::max(cy, m.FrameH() + 105);
    if ((c.deckBmpMode == 1 && c.viewMode == 2) || c.viewMode == 3) return false;
    if (c.deckBmpMode == 1 || c.viewMode == 0) ComputeGridSize(cx, cy, m, screenWidth, screenHeight);
    return true;
}

Point32 DeckDockPosition(const Rect32& main, const FrameMetrics& m) {
    return Point32{main.left + m.cxDlgFrame, main.bottom - m.cyDlgFrame - kFrameMargin};
}

Rect32 TunerDockRect(const Rect32& main, const FrameMetrics& m) {
    const int32_t x = main.right - m.cxDlgFrame - 14;
    const int32_t y = main.top + m.cyDlgFrame + m.cyCaption;
    const int32_t h = main.Height() - 2 * m.cyDlgFrame - m.cyCaption - kFrameMargin;
    return Rect32{x, y, x + 76, y + h};
}

bool TunerFitsScreen(const Rect32& main, int32_t screenWidth) { return screenWidth >= main.right + 60; }
bool DeckFitsScreen(const Rect32& main, int32_t screenHeight) { return screenHeight >= main.bottom + 103; }

int32_t LeftmostX(const FrameMetrics& m) { return -m.cxDlgFrame - 60; }

MainElements LayoutMainElements(int32_t w, int32_t h) {
    MainElements e;
    e.monitor = {0, 0, w, h};
    e.closedDeck = {1, h - 14, w - 15, h - 1};
    e.closedTuner = {w - 14, 1, w - 1, h - 15};
    e.sizeView = {w - 60, h - 13, w - 16, h - 2};
    e.growZone = {w - 15, h - 15, w, h};
    e.video = {0, 0, w - kFrameMargin, h - kFrameMargin};
    e.deckGrowZone = {w - 15, 0, w, 15};
    e.deckSizeView = {w - 60, 2, w - 16, 13};
    return e;
}

Rect32 StillViewRect(int32_t pw, int32_t ph, const Rect32& current, const FrameMetrics& m, int32_t screenWidth,
                     int32_t screenHeight) {
    if (pw == 0 && ph == 0) {
        pw = 240;
        ph = 180;
    }
    const int32_t w = std::max(pw, 120);
    int32_t x = current.left;
    if (int64_t(x) + w + m.FrameW() + kFrameMargin > screenWidth)
        x = std::max(screenWidth - m.FrameW() - w - kFrameMargin, 0);
    const int32_t right = int32_t(std::min<int64_t>(int64_t(x) + w + m.FrameW() + kFrameMargin, screenWidth));
    const int32_t h = std::max(ph, 90);
    int32_t y = current.top;
    // 118: the margin and the 103 pixels the deck needs below.
    if (int64_t(m.FrameH()) + h + y + 118 > screenHeight) y = std::max(screenHeight - m.FrameH() - h - 118, 0);
    int32_t bottom = m.FrameH() + h + y + kFrameMargin;
    if (bottom - m.cyDlgFrame + 103 > screenHeight) bottom = screenHeight - m.cyDlgFrame - 103;
    return Rect32{x, y, right, bottom};
}
