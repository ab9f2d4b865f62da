#include "remote_help.h"

#include <windows.h>

#include "skin_host.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "vxd.h"
#include "main_wnd.h"
#include "multi_screen.h"

namespace {

constexpr DWORD kHelpStyle = WS_POPUP | WS_CLIPCHILDREN;  // 0x82000000
static_assert(kHelpStyle == 0x82000000, "the help window's style");

// Closes itself as soon as the user clicks elsewhere.
class CRemoteHelp : public SkinHost {
public:
    KIVO_DECLARE_CLASS(CRemoteHelp)

protected:
    void OnActivate(UINT state, HWND, BOOL) override {
        if (state == WA_INACTIVE) DestroyWindow();
    }
    void OnClose() override { ::PostMessageA(CWnd::SafeHandle(reinterpret_cast<CWnd*>(g_viewer.controlFrame)), WM_CLOSE, 0, 0); }
    void OnLButtonDown(UINT, POINT) override {}
    void OnLButtonUp(UINT, POINT) override {}
    void PostNcDestroy() override {
        if (g_viewer.remoteHelpWindow == this) g_viewer.remoteHelpWindow = nullptr;
        delete this;
    }
};

void CreateRemoteHelp() {
    auto* help = new CRemoteHelp;
    auto factory = [] { return new SkinImage("TVREMO", 0, 0, "TVREMO"); };
    if (!help->CreateHost(factory, "RemHelp", kHelpStyle, 0, 0)) {
        delete help;
        return;
    }
    g_viewer.remoteHelpWindow = help;
    HDC screen = GetDC(nullptr);
    int screenWidth = GetDeviceCaps(screen, HORZRES), screenHeight = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    RECT r;
    help->GetWindowRect(&r);
    int x = (screenWidth - (r.right - r.left)) / 2;
    int y = (screenHeight - (r.bottom - r.top)) / 2;
    help->SetWindowPos(HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
    BringToFront(help->m_hWnd);
    help->ShowWindow(SW_SHOW);
}

}  // namespace

void RouteRemoteControl(int mode) {
    HANDLE driver = VxdOpen("DAZIDAV.VXD");
    if (driver == INVALID_HANDLE_VALUE) return;
    // The input length itself is the request.
    VxdControl(driver, 3, nullptr, mode == 0 ? 1 : 0, nullptr, 0, nullptr, nullptr);
    VxdClose(driver);
}

int OpenRemoteHelp() {
    int help = static_cast<int>(GetPrivateProfileIntA("etc", "help", 0, "dazidav.ini"));
    if (help != 0) return help;
    if (g_viewer.multiScreenActive) {
        ExitMultiScreen(-1);
        if (CMainWnd* main = CMainWnd::Instance()) main->SetMovable(true);
    }
    if (!g_viewer.remoteHelpWindow) CreateRemoteHelp();
    return help;
}

void CloseRemoteHelpWindow() {
    if (IsLiveWindow(g_viewer.remoteHelpWindow)) g_viewer.remoteHelpWindow->DestroyWindow();
    g_viewer.remoteHelpWindow = nullptr;
}

void ToggleRemoteHelp() {
    if (g_viewer.remoteHelpWindow) CloseRemoteHelpWindow();
    else OpenRemoteHelp();
}
