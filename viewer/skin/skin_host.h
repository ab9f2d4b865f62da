// The window that shows a skin tree: every panel of the viewer is one.
#pragma once
#include <functional>

#include "framework.h"
#include "skin_node.h"

class SkinHost : public CWnd, public SkinHostLink {
public:
    KIVO_DECLARE_CLASS(SkinHost)
    using RootFactory = std::function<SkinNode*()>;

    SkinHost() = default;
    ~SkinHost() override;

    // Builds the tree with the factory and creates the window at (x, y), the root's size,
    // owned by the control window.
    BOOL CreateHost(const RootFactory& factory, const char* title, DWORD style, int x, int y);

    SkinNode* Root() const { return root_; }

    // SkinHostLink.
    void Invalidate(const SkinRect& windowRect) override;
    void UpdateNow() override;
    void CaptureMouse() override;

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnPaletteChanged(HWND changer) override;
    void OnDestroy() override;

    SkinNode* root_ = nullptr;
};

// The class every skin host window has.
extern const char kSkinHostClass[];
