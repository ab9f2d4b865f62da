#include "skin_host.h"

#include "skin_gdi.h"
#include "tip_window.h"
#include "viewer_state.h"

const char kSkinHostClass[] = "KivoSkinHost";

SkinHost::~SkinHost() {
    delete root_;
    root_ = nullptr;
}

BOOL SkinHost::CreateHost(const RootFactory& factory, const char* title, DWORD style, int x, int y) {
    root_ = factory();
    if (!root_) return FALSE;
    root_->host = this;
    SkinRect r = root_->rect.Offset(x - root_->rect.left, y - root_->rect.top);
    RegisterFrameworkClass(kSkinHostClass, CS_OWNDC, LoadIconA(GetModuleHandleA(nullptr), "TVICON"),
                           LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    HWND owner = CWnd::SafeHandle(reinterpret_cast<CWnd*>(g_viewer.controlFrame));
    return CreateEx(0, kSkinHostClass, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                    owner, nullptr);
}

void SkinHost::Invalidate(const SkinRect& windowRect) {
    if (!m_hWnd) return;
    RECT r = ToRect(windowRect);
    InvalidateRect(m_hWnd, &r, FALSE);
}

void SkinHost::UpdateNow() {
    if (m_hWnd) ::UpdateWindow(m_hWnd);
}

void SkinHost::CaptureMouse() {
    if (m_hWnd) SetCapture(m_hWnd);
}

void SkinHost::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (root_) {
        SkinRect clip = FromRect(ps.rcPaint);
        SkinRect area = Intersect(clip, root_->rect);
        if (!area.Empty()) {
            // The whole damaged area is composed off-screen and copied once.
            HDC memory = CreateCompatibleDC(dc);
            HBITMAP buffer = CreateCompatibleBitmap(dc, area.right, area.bottom);
            HGDIOBJ old = SelectObject(memory, buffer);
            GdiCanvas canvas(memory, g_viewer.backgroundBrush);
            root_->Render(canvas, &clip, 0, 0);
            BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory,
                   area.left, area.top, SRCCOPY);
            SelectObject(memory, old);
            DeleteObject(buffer);
            DeleteDC(memory);
        }
    }
    EndPaint(m_hWnd, &ps);
}

void SkinHost::OnLButtonDown(UINT, POINT point) {
    Tooltips().ButtonPressed();
    if (root_) root_->MouseDown(point.x, point.y);
}

void SkinHost::OnMouseMove(UINT, POINT point) {
    if (GetCapture() == m_hWnd) SkinCaptureMove(point.x, point.y);
    else Tooltips().PointerMoved(this, point.x, point.y);
}

void SkinHost::OnLButtonUp(UINT, POINT point) {
    if (GetCapture() != m_hWnd) return;
    ReleaseCapture();
    SkinReleaseCapture(point.x, point.y);
}

void SkinHost::OnPaletteChanged(HWND changer) {
    if (changer != m_hWnd && !IsChild(m_hWnd, changer)) InvalidateRect(m_hWnd, nullptr, TRUE);
}

void SkinHost::OnDestroy() {
    Tooltips().Forget(this);
    if (SkinToolkit().captureElement && SkinToolkit().captureElement->HostOf() == this)
        SkinToolkit().captureElement = nullptr;
    Default();
}
