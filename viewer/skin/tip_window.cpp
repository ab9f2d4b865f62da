#include "tip_window.h"

#include <cstring>

#include "skin_host.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

constexpr char kTipClass[] = "KivoToolTip";
constexpr char kTipTitle[] = "KIVOToolTip";

TipWindow* g_tip = nullptr;
bool g_tipKeyPressed = false;

// Redraws the main window's caption as active or inactive.
void RefreshMainCaption() {
    if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow))
        PostMessageA(main, WM_NCACTIVATE, IsOwnWindowActive() ? TRUE : FALSE, 0);
}

class Win32TipEnvironment : public TooltipEnvironment {
public:
    SkinNode* HitTest(void* host, int32_t x, int32_t y) override {
        SkinNode* root = static_cast<SkinHost*>(host)->Root();
        return root ? root->HitTest(x, y) : nullptr;
    }
    void ClientToScreen(void* host, int32_t& x, int32_t& y) override {
        POINT p{x, y};
        ::ClientToScreen(static_cast<SkinHost*>(host)->m_hWnd, &p);
        x = p.x;
        y = p.y;
    }
    void CursorPosition(int32_t& x, int32_t& y) override {
        POINT p{};
        GetCursorPos(&p);
        x = p.x;
        y = p.y;
    }
    bool HostUnderPoint(void* host, int32_t x, int32_t y) override {
        return WindowFromPoint(POINT{x, y}) == static_cast<SkinHost*>(host)->m_hWnd;
    }
    bool OwnWindowActive() override { return IsOwnWindowActive(); }
    void ShowTip(const char* text, int32_t x, int32_t y) override { TipWindow::Show(text, x, y); }
    void HideTip() override {
        if (g_tip && g_tip->m_hWnd && IsWindow(g_tip->m_hWnd)) g_tip->DestroyWindow();
        g_tip = nullptr;
    }
};

}  // namespace

TooltipTracker& Tooltips() {
    static Win32TipEnvironment env;
    static TooltipTracker tracker(env);
    return tracker;
}

TipWindow* CurrentTip() { return g_tip; }

HFONT TipWindow::CreateTipFont() const {
    LOGFONTA f = {};
    f.lfHeight = 12;
    f.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(f.lfFaceName, "ＭＳ Ｐゴシック");
    return CreateFontIndirectA(&f);
}

TipWindow* TipWindow::Show(const char* text, int x, int y) {
    static bool registered = false;
    if (!registered) registered = RegisterFrameworkClass(kTipClass, CS_OWNDC, nullptr, nullptr, nullptr);
    auto* tip = new TipWindow;
    lstrcpynA(tip->text_, text, sizeof tip->text_);
    HWND owner = CWnd::SafeHandle(reinterpret_cast<CWnd*>(g_viewer.controlFrame));
    if (!tip->CreateEx(0, kTipClass, kTipTitle, WS_POPUP, x, y, 10, 10, owner, nullptr)) {
        delete tip;
        return nullptr;
    }
    g_tip = tip;
    HDC dc = GetDC(tip->m_hWnd);
    HFONT font = tip->CreateTipFont();
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPointA(dc, tip->text_, lstrlenA(tip->text_), &extent);
    int screenWidth = GetDeviceCaps(dc, HORZRES), screenHeight = GetDeviceCaps(dc, VERTRES);
    SelectObject(dc, old);
    ReleaseDC(tip->m_hWnd, dc);
    TipPlace r = PlaceTip(x, y, extent.cx, extent.cy, screenWidth, screenHeight);
    ::SetWindowPos(tip->m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOACTIVATE);
    ::ShowWindow(tip->m_hWnd, SW_SHOW);
    RefreshMainCaption();
    DeleteObject(font);
    return tip;
}

void TipWindow::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    HBRUSH fill = CreateSolidBrush(0xCAFFFF);
    FillRect(dc, &client, fill);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HFONT font = CreateTipFont();
    HGDIOBJ oldFont = SelectObject(dc, font);
    TextOutA(dc, 2, 2, text_, lstrlenA(text_));
    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    DeleteObject(font);
    DeleteObject(fill);
    EndPaint(m_hWnd, &ps);
}

LRESULT TipWindow::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS) {
        previousFocus_ = reinterpret_cast<HWND>(wParam);
        return 0;
    }
    return CWnd::OnOtherMessage(message, wParam, lParam);
}

void TipWindow::OnKeyDown(UINT key, UINT, UINT) {
    g_tipKeyPressed = true;
    LPARAM lParam = CurrentMessage().lParam;
    Tooltips().Hide();
    if (g_viewer.multiScreenActive) {
        if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow)) {
            InvalidateRect(main, nullptr, TRUE);
            SetFocus(main);
            ::PostMessageA(main, WM_KEYDOWN, key, lParam);
        }
    }
}

void TipWindow::OnDestroy() {
    HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
    if (!g_tipKeyPressed && g_viewer.multiScreenActive && previousFocus_ && previousFocus_ == main)
        SetFocus(main);
    g_tipKeyPressed = false;
    if (g_tip == this) g_tip = nullptr;
    RefreshMainCaption();
    Default();
}
