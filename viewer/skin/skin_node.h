// The skin toolkit: element trees painted from bitmaps into one host window, with hit testing,
// the press/release/repeat button logic and the value-to-pixel mapping of sliders. Portable:
// painting goes through SkinCanvas and the window through SkinHostLink.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct SkinRect {
    int32_t left, top, right, bottom;
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Empty() const { return right <= left || bottom <= top; }
    SkinRect Offset(int32_t dx, int32_t dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
};

SkinRect Intersect(const SkinRect& a, const SkinRect& b);
SkinRect Union(const SkinRect& a, const SkinRect& b);

// State bits.
enum : uint16_t {
    SKF_REPEAT = 0x01,
    SKF_ON = 0x02,
    SKF_ENABLED = 0x04,
    SKF_PRESSED = 0x08,
    SKF_FIRE_ON_PRESS = 0x10,
    SKF_RAW = 0x20,
    SKF_IMAGE_BUTTON = 0x40,
};

// The window messages the toolkit deals in.
enum : uint32_t {
    kSkinTimer = 0x0113,
    kSkinMouseMove = 0x0200,
    kSkinButtonDown = 0x0201,
    kSkinButtonUp = 0x0202,
};

class SkinBitmap;
class SkinNode;

// Where a tree paints: the host's off-screen buffer.
class SkinCanvas {
public:
    virtual ~SkinCanvas() = default;
    // Draws a bitmap at full size, or (shrunk) its top-left (width-1) x (height-1) pixels.
    virtual void DrawBitmap(SkinBitmap* bitmap, int32_t x, int32_t y, bool shrunk) = 0;
    // Fills a rectangle (window coordinates) with the light-grey pressed brush.
    virtual void FillPressed(const SkinRect& rect) = 0;
    // The device context, for paint hooks.
    virtual void* Context() = 0;
};

// The window that shows a tree.
class SkinHostLink {
public:
    virtual ~SkinHostLink() = default;
    virtual void Invalidate(const SkinRect& windowRect) = 0;
    virtual void UpdateNow() = 0;
    // Takes the mouse for the window.
    virtual void CaptureMouse() = 0;
};

using SkinAction = std::function<void(SkinNode* element, uint32_t message, int32_t x, int32_t y)>;
using SkinPaintHook = std::function<void(SkinNode* element, SkinCanvas& canvas, const SkinRect& windowRect)>;

class SkinNode {
public:
    // A plain element (panel).
    SkinNode(std::string name, const SkinRect& rect);
    // Destroys the first child and the next sibling, and so the subtree and the rest of the list.
    virtual ~SkinNode();
    SkinNode(const SkinNode&) = delete;
    SkinNode& operator=(const SkinNode&) = delete;

    std::string name;
    SkinNode* parent = nullptr;
    SkinNode* firstChild = nullptr;
    SkinNode* nextSibling = nullptr;
    SkinHostLink* host = nullptr;
    SkinPaintHook paintHook;
    SkinRect rect;
    const char* tipText = nullptr;
    SkinAction action;
    uint16_t flags = 0;

    // Tree and geometry.
    static int AddChild(SkinNode* parent, SkinNode* element);
    static int Remove(SkinNode* element);
    SkinNode* FindByName(const std::string& wanted);
    SkinNode* LastSibling();
    void ToWindow(int32_t& x, int32_t& y) const;
    void FromWindow(int32_t& x, int32_t& y) const;
    SkinHostLink* HostOf() const;
    void Invalidate();
    void Invalidate(const SkinRect& inParent);
    void MoveTo(int32_t x, int32_t y);
    void MoveX(int32_t x);
    void MoveAndRepaint(int32_t x, int32_t y, bool repaint);
    void SetRect(const SkinRect& r) { rect = r; }

    // State.
    void SetOn();
    void SetOff();
    void SetEnabled(bool repaintNow);
    void SetDisabled(bool repaintNow);
    void SetEnabledBy(int enable, bool repaintNow);
    void SetPressed(bool repaintNow);
    void MakeRaw(SkinAction handler);
    bool Has(uint16_t bit) const { return (flags & bit) != 0; }

    // Rendering and input.
    void Render(SkinCanvas& canvas, const SkinRect* clip, int32_t ox, int32_t oy);
    SkinNode* HitTest(int32_t x, int32_t y);
    int MouseDown(int32_t x, int32_t y);

    // Overridable: own draw (paint area A in the parent's coordinates) and messages
    // (point in the parent's coordinates).
    virtual void Draw(SkinCanvas& canvas, const SkinRect& area, int32_t ox, int32_t oy);
    virtual void Message(uint32_t message, int32_t x, int32_t y);

protected:
    void CallPaintHook(SkinCanvas& canvas, int32_t ox, int32_t oy);
};

class SkinButton : public SkinNode {
public:
    // Images by resource name; nullptr for an absent one. The last given image sets the size.
    SkinButton(std::string name, int32_t x, int32_t y, const char* image1, const char* image2,
               const char* image3);
    SkinBitmap* image1 = nullptr;
    SkinBitmap* image2 = nullptr;
    SkinBitmap* image3 = nullptr;
    void Draw(SkinCanvas& canvas, const SkinRect& area, int32_t ox, int32_t oy) override;
    void Message(uint32_t message, int32_t x, int32_t y) override;
    void Fire();
};

class SkinImage : public SkinNode {
public:
    SkinImage(std::string name, int32_t x, int32_t y, const char* image);
    SkinBitmap* image = nullptr;
    void Draw(SkinCanvas& canvas, const SkinRect& area, int32_t ox, int32_t oy) override;
    void ImageSize(int32_t& width, int32_t& height) const;
};

// The toolkit's application-wide state: the element holding the mouse and the repeat count.
struct SkinToolkitState {
    SkinNode* captureElement = nullptr;
    int32_t repeatCounter = 0;
};
SkinToolkitState& SkinToolkit();

// The timer's work for the held repeat button. Returns true when no repeat button is held,
// so that the caller runs the viewer's periodic tick instead.
bool SkinRepeatTick();

// Host window input: a release of the captured element (the caller released the capture).
void SkinReleaseCapture(int32_t windowX, int32_t windowY);
// A move while the window holds the capture.
void SkinCaptureMove(int32_t windowX, int32_t windowY);
