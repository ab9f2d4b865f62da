#include "skin_node.h"

#include <algorithm>

#include "skin_bitmap.h"

SkinRect Intersect(const SkinRect& a, const SkinRect& b) {
    SkinRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (r.Empty()) return {0, 0, 0, 0};
    return r;
}

SkinRect Union(const SkinRect& a, const SkinRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

SkinToolkitState& SkinToolkit() {
    static SkinToolkitState state;
    return state;
}

// SkinNode ---------------------------------------------------------------------------------

SkinNode::SkinNode(std::string n, const SkinRect& r) : name(std::move(n)), rect(r) {}

SkinNode::~SkinNode() {
    if (SkinToolkit().captureElement == this) SkinToolkit().captureElement = nullptr;
    // Iteratively, so a long sibling list does not recurse deeply.
    SkinNode* child = firstChild;
    firstChild = nullptr;
    while (child) {
        SkinNode* next = child->nextSibling;
        child->nextSibling = nullptr;
        child->parent = nullptr;
        delete child;
        child = next;
    }
}

int SkinNode::AddChild(SkinNode* parent, SkinNode* element) {
    if (!parent || !element || element->parent) return 0;
    element->parent = parent;
    element->nextSibling = nullptr;
    element->host = nullptr;
    if (!parent->firstChild) parent->firstChild = element;
    else parent->firstChild->LastSibling()->nextSibling = element;
    return 1;
}

int SkinNode::Remove(SkinNode* element) {
    if (!element || !element->parent) return 0;
    SkinNode** link = &element->parent->firstChild;
    while (*link && *link != element) link = &(*link)->nextSibling;
    if (*link) *link = element->nextSibling;
    element->parent = nullptr;
    element->nextSibling = nullptr;
    element->host = nullptr;
    return 1;
}

SkinNode* SkinNode::FindByName(const std::string& wanted) {
    if (name == wanted) return this;
    for (SkinNode* c = firstChild; c; c = c->nextSibling)
        if (SkinNode* found = c->FindByName(wanted)) return found;
    return nullptr;
}

SkinNode* SkinNode::LastSibling() {
    SkinNode* e = this;
    while (e->nextSibling) e = e->nextSibling;
    return e;
}

void SkinNode::ToWindow(int32_t& x, int32_t& y) const {
    for (const SkinNode* a = parent; a; a = a->parent) {
        x += a->rect.left;
        y += a->rect.top;
    }
}

void SkinNode::FromWindow(int32_t& x, int32_t& y) const {
    for (const SkinNode* a = parent; a; a = a->parent) {
        x -= a->rect.left;
        y -= a->rect.top;
    }
}

SkinHostLink* SkinNode::HostOf() const {
    const SkinNode* e = this;
    while (e->parent) e = e->parent;
    return e->host;
}

void SkinNode::Invalidate() { Invalidate(rect); }

void SkinNode::Invalidate(const SkinRect& inParent) {
    SkinHostLink* h = HostOf();
    if (!h) return;
    int32_t x = 0, y = 0;
    ToWindow(x, y);
    h->Invalidate(inParent.Offset(x, y));
}

void SkinNode::MoveTo(int32_t x, int32_t y) {
    rect = {x, y, x + rect.right - rect.left, y + rect.bottom - rect.top};
}

void SkinNode::MoveX(int32_t x) { MoveTo(x, rect.top); }

void SkinNode::MoveAndRepaint(int32_t x, int32_t y, bool repaint) {
    if (!parent) return;
    SkinRect old = rect;
    MoveTo(x, y);
    if (repaint) Invalidate(Union(old, rect));
}

void SkinNode::SetOn() {
    flags |= SKF_ON;
    if (SkinHostLink* h = HostOf()) {
        Invalidate();
        h->UpdateNow();
    }
}

void SkinNode::SetOff() {
    flags &= ~SKF_ON;
    if (SkinHostLink* h = HostOf()) {
        Invalidate();
        h->UpdateNow();
    }
}

void SkinNode::SetEnabled(bool repaintNow) {
    flags |= SKF_ENABLED;
    if (repaintNow) Invalidate();
}

void SkinNode::SetDisabled(bool repaintNow) {
    flags &= ~SKF_ENABLED;
    if (repaintNow) Invalidate();
}

void SkinNode::SetEnabledBy(int enable, bool repaintNow) {
    if (enable) SetEnabled(repaintNow);
    else SetDisabled(repaintNow);
}

void SkinNode::SetPressed(bool repaintNow) {
    flags |= SKF_PRESSED;
    if (repaintNow) Invalidate();
}

void SkinNode::MakeRaw(SkinAction handler) {
    flags |= SKF_RAW | SKF_ON;
    action = std::move(handler);
}

void SkinNode::CallPaintHook(SkinCanvas& canvas, int32_t ox, int32_t oy) {
    if (paintHook) paintHook(this, canvas, rect.Offset(ox, oy));
}

void SkinNode::Draw(SkinCanvas& canvas, const SkinRect&, int32_t ox, int32_t oy) {
    CallPaintHook(canvas, ox, oy);
}

void SkinNode::Message(uint32_t message, int32_t x, int32_t y) {
    if (action) action(this, message, x, y);
}

void SkinNode::Render(SkinCanvas& canvas, const SkinRect* clip, int32_t ox, int32_t oy) {
    SkinRect area = clip ? Intersect(*clip, rect) : rect;
    if (area.Empty()) return;
    Draw(canvas, area, ox, oy);
    SkinRect inside = area.Offset(-rect.left, -rect.top);
    for (SkinNode* c = firstChild; c; c = c->nextSibling)
        c->Render(canvas, &inside, ox + rect.left, oy + rect.top);
}

SkinNode* SkinNode::HitTest(int32_t x, int32_t y) {
    // Later siblings lie on top: they are asked first.
    if (nextSibling)
        if (SkinNode* hit = nextSibling->HitTest(x, y)) return hit;
    int32_t px = x, py = y;
    FromWindow(px, py);
    if (!rect.Contains(px, py)) return nullptr;
    if (firstChild)
        if (SkinNode* hit = firstChild->HitTest(x, y)) return hit;
    return this;
}

int SkinNode::MouseDown(int32_t x, int32_t y) {
    SkinNode* hit = HitTest(x, y);
    if (!hit) return 0;
    if (SkinHostLink* h = hit->HostOf()) h->CaptureMouse();
    SkinToolkit().captureElement = hit;
    int32_t px = x, py = y;
    hit->FromWindow(px, py);
    hit->Message(kSkinButtonDown, px, py);
    return 1;
}

// SkinButton -------------------------------------------------------------------------------

SkinButton::SkinButton(std::string n, int32_t x, int32_t y, const char* i1, const char* i2,
                       const char* i3)
    : SkinNode(std::move(n), SkinRect{x, y, x + 8, y + 8}) {
    SkinBitmap** slots[] = {&image1, &image2, &image3};
    const char* names[] = {i1, i2, i3};
    for (int i = 0; i < 3; ++i) {
        if (!names[i]) continue;
        *slots[i] = GetSkinBitmap(names[i]);
        int32_t w = 0, h = 0;
        (*slots[i])->Size(w, h);
        rect.right = x + w;
        rect.bottom = y + h;
    }
    flags = SKF_ENABLED;
}

void SkinButton::Draw(SkinCanvas& canvas, const SkinRect& area, int32_t ox, int32_t oy) {
    int32_t x = ox + rect.left, y = oy + rect.top;
    bool enabled = Has(SKF_ENABLED), pressed = Has(SKF_PRESSED), on = Has(SKF_ON);
    auto draw = [&](SkinBitmap* b, int32_t dx, int32_t dy, bool shrunk) {
        if (b) canvas.DrawBitmap(b, dx, dy, shrunk);
    };
    if (Has(SKF_IMAGE_BUTTON)) {
        if (!enabled) {
            draw(image1, x, y, false);
        } else if (!pressed) {
            draw(on ? image2 : image3, x, y, false);
        } else {
            draw(on ? image2 : image3, x + 1, y + 1, true);
            SkinRect a = area.Offset(ox, oy);
            canvas.FillPressed({a.left, a.top, a.right, std::min(a.top + 2, a.bottom)});
            canvas.FillPressed({a.left, a.top, std::min(a.left + 2, a.right), a.bottom});
        }
    } else {
        if (!enabled) draw(image1, x, y, false);
        else if (pressed) draw(image3, x, y, false);
        else if (on) draw(image2, x, y, false);
    }
    CallPaintHook(canvas, ox, oy);
}

void SkinButton::Fire() {
    if (action) action(this, 0, 0, 0);
}

void SkinButton::Message(uint32_t message, int32_t x, int32_t y) {
    if (Has(SKF_RAW)) {
        if (message != kSkinTimer && action) action(this, message, x, y);
        return;
    }
    bool inside = rect.Contains(x, y);
    switch (message) {
    case kSkinMouseMove:
        if (inside != Has(SKF_PRESSED)) {
            if (inside) flags |= SKF_PRESSED;
            else flags &= ~SKF_PRESSED;
            Invalidate();
        }
        break;
    case kSkinButtonDown:
        flags |= SKF_PRESSED;
        Invalidate();
        if (SkinHostLink* h = HostOf()) h->UpdateNow();
        SkinToolkit().repeatCounter = 0;
        if (flags & (SKF_REPEAT | SKF_FIRE_ON_PRESS)) Fire();
        break;
    case kSkinButtonUp:
        if (Has(SKF_PRESSED)) {
            flags &= ~SKF_PRESSED;
            Invalidate();
            if (!(flags & (SKF_REPEAT | SKF_FIRE_ON_PRESS))) Fire();
        }
        break;
    case kSkinTimer:
        if (Has(SKF_REPEAT)) Fire();
        break;
    }
}

// SkinImage ---------------------------------------------------------------------------------

SkinImage::SkinImage(std::string n, int32_t x, int32_t y, const char* imageName)
    : SkinNode(std::move(n), SkinRect{x, y, x, y}) {
    image = GetSkinBitmap(imageName);
    int32_t w = 0, h = 0;
    if (image) image->Size(w, h);
    rect = {x, y, x + w, y + h};
}

void SkinImage::ImageSize(int32_t& width, int32_t& height) const {
    width = height = 0;
    if (image) image->Size(width, height);
}

void SkinImage::Draw(SkinCanvas& canvas, const SkinRect&, int32_t ox, int32_t oy) {
    if (image) canvas.DrawBitmap(image, ox + rect.left, oy + rect.top, false);
    CallPaintHook(canvas, ox, oy);
}

// Timer and capture ---------------------------------------------------------------------------

bool SkinRepeatTick() {
    SkinToolkitState& t = SkinToolkit();
    SkinNode* e = t.captureElement;
    if (!e || !e->Has(SKF_REPEAT)) return true;
    int32_t n = ++t.repeatCounter;
    if (n < 7) return false;
    if (n < 25 && n % 2 == 0) return false;
    if (e->Has(SKF_PRESSED)) {
        int32_t x = 0, y = 0;
        e->Message(kSkinTimer, x, y);
    }
    return false;
}

void SkinCaptureMove(int32_t windowX, int32_t windowY) {
    SkinNode* e = SkinToolkit().captureElement;
    if (!e) return;
    e->FromWindow(windowX, windowY);
    e->Message(kSkinMouseMove, windowX, windowY);
}

void SkinReleaseCapture(int32_t windowX, int32_t windowY) {
    SkinNode* e = SkinToolkit().captureElement;
    SkinToolkit().captureElement = nullptr;
    if (!e) return;
    e->FromWindow(windowX, windowY);
    e->Message(kSkinButtonUp, windowX, windowY);
}
