// When a skin element's tip is shown and hidden. Portable: the windows are reached through
// TooltipEnvironment.
#pragma once
#include <cstdint>

class SkinNode;

// What the tracker needs of the system. Hosts are opaque window identities.
class TooltipEnvironment {
public:
    virtual ~TooltipEnvironment() = default;
    virtual SkinNode* HitTest(void* host, int32_t x, int32_t y) = 0;
    virtual void ClientToScreen(void* host, int32_t& x, int32_t& y) = 0;
    virtual void CursorPosition(int32_t& x, int32_t& y) = 0;
    // The host whose window is under the screen point, as the tracker knows hosts: true when
    // that window is this host's.
    virtual bool HostUnderPoint(void* host, int32_t x, int32_t y) = 0;
    virtual bool OwnWindowActive() = 0;
    virtual void ShowTip(const char* text, int32_t x, int32_t y) = 0;
    // Destroys the tip window if it is there.
    virtual void HideTip() = 0;
};

class TooltipTracker {
public:
    explicit TooltipTracker(TooltipEnvironment& env) : env_(env) {}

    void PointerMoved(void* host, int32_t x, int32_t y);
    void ButtonPressed();
    void Tick();
    void Hide() { env_.HideTip(); }
    // The host that is going away must not be tracked any more.
    void Forget(void* host);

    void* host = nullptr;
    SkinNode* element = nullptr;
    int32_t lastX = 0, lastY = 0;
    int32_t ticks = 0;

private:
    TooltipEnvironment& env_;
};

// The tip window's rectangle for a text of cx x cy pixels at the cursor (x, y): 18 pixels
// below it, above it near the bottom of the screen, shifted left to end at the right edge.
struct TipPlace {
    int32_t left, top, right, bottom;
};
TipPlace PlaceTip(int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t screenWidth, int32_t screenHeight);
