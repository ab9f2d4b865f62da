// The main video window's geometry: the 4:3 size grid, its limits per screen, placement from
// the "Window" setting, the free-size limits of the clip and still views, where the panels dock
// and whether they fit. Portable.
#pragma once
#include <cstdint>
#include <string>

#include "window_setting.h"

// The margin right of and below the video area, where the panels' tabs and the grow zone lie.
constexpr int32_t kFrameMargin = 15;

// The window's frame: a caption and a dialog-style border.
struct FrameMetrics {
    int32_t cxDlgFrame;
    int32_t cyDlgFrame;
    int32_t cyCaption;
    int32_t FrameW() const { return 2 * cxDlgFrame; }
    int32_t FrameH() const { return cyCaption + 2 * cyDlgFrame; }
};

struct Rect32 {
    int32_t left, top, right, bottom;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

struct Size32 {
    int32_t cx, cy;
};

// The largest grid step n (video area 40n x 30n) on a screen of that height.
int32_t GridStepLimit(int32_t screenHeight);

// Snaps an outer size to the nearest 40 x 30 step along the 4:3 diagonal, within the limits.
void ComputeGridSize(int32_t& outerWidth, int32_t& outerHeight, const FrameMetrics& m, int32_t screenWidth,
                     int32_t screenHeight);

// Where the main window goes at creation: outer top-left and video area.
struct Placement {
    int32_t x, y;
    int32_t videoWidth, videoHeight;
    bool pinned;
};
Placement PlaceFromSetting(const WindowSetting& s, const FrameMetrics& m, int32_t screenWidth,
                           int32_t screenHeight);

// The "Window" text written when the window is destroyed: the video area of the saved rectangle.
std::string FormatWindowSetting(const Rect32& saved, const FrameMetrics& m, bool pinned);

// The view modes a size request is judged by.
struct SizeContext {
    bool multiScreen;
    int32_t viewMode;     // 0 live, 1 clip paused, 2 playing (clip or still), 3 capturing
    int32_t deckBmpMode;  // 1 still mode
};

// What WM_WINDOWPOSCHANGING does to a requested outer size (outside multi-screen): the grid in
// live view, the free limits in the clip view, nothing for a still shown at its own size.
// Returns false when the size is left alone.
bool LimitRequestedSize(int32_t& cx, int32_t& cy, const SizeContext& c, const FrameMetrics& m,
                        int32_t screenWidth, int32_t screenHeight);

// The outline size of a grow-zone drag for the pointer's proposed size; false when the drag
// does not change the size in this view.
bool GrowDragSize(int32_t& cx, int32_t& cy, const SizeContext& c, const FrameMetrics& m, int32_t screenWidth,
                  int32_t screenHeight);

// Docking: the deck's top-left under the video area, the tuner panel's rectangle right of it.
struct Point32 {
    int32_t x, y;
};
Point32 DeckDockPosition(const Rect32& main, const FrameMetrics& m);
Rect32 TunerDockRect(const Rect32& main, const FrameMetrics& m);

// Whether the panels fit on the screen beside and below the window.
bool TunerFitsScreen(const Rect32& main, int32_t screenWidth);
bool DeckFitsScreen(const Rect32& main, int32_t screenHeight);

// The leftmost x a move may reach: the window may leave the screen by its border plus 60.
int32_t LeftmostX(const FrameMetrics& m);

// The main window's skin elements for a client area of w x h.
struct MainElements {
    Rect32 monitor, closedDeck, closedTuner, sizeView, growZone, video;
    // The deck's own grow zone and size label, in the deck's coordinates.
    Rect32 deckGrowZone, deckSizeView;
};
MainElements LayoutMainElements(int32_t clientWidth, int32_t clientHeight);

// The still view's outer rectangle for a picture of w x h (0 x 0: none, shown as 240 x 180),
// starting from the current rectangle, kept on the screen with room for the deck below.
Rect32 StillViewRect(int32_t pictureWidth, int32_t pictureHeight, const Rect32& current, const FrameMetrics& m,
                     int32_t screenWidth, int32_t screenHeight);
