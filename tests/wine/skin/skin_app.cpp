// A program that shows one skin host for the toolkit's tests:
//   "IMAGE" an image button (TGREY disabled, TGREEN on, TRED off) at (10, 10), with a long tip
//   "PLAIN" a plain button (TGREY, TBLUE, TRED) at (40, 10)
//   "IMG"   a single image (TGREEN) at (10, 30)
// The window is titled "SkinTest" and placed with its bottom-right corner at the screen's
// when the command line says "corner", else at (100, 100). Commands from the test arrive as
// WM_COMMAND: 1 set IMAGE on, 2 set it off, 3 disable it, 4 enable it.
#include <cstring>

#include "framework.h"
#include "skin_host.h"
#include "skin_node.h"
#include "viewer_state.h"
#include "window_hooks.h"

namespace {

class TestHost : public SkinHost {
protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        SkinNode* image = Root()->FindByName("IMAGE");
        switch (LOWORD(wParam)) {
        case 1: image->SetOn(); return TRUE;
        case 2: image->SetOff(); return TRUE;
        case 3: image->SetDisabled(true); return TRUE;
        case 4: image->SetEnabled(true); return TRUE;
        }
        return FALSE;
    }
    void PostNcDestroy() override { delete this; }
};

class SkinTestApp : public CWinApp {
public:
    BOOL InitInstance() override {
        InitViewerState();
        g_viewer.backgroundBrush = CreateSolidBrush(RGB(192, 192, 192));
        StartSkinTimer();
        auto* host = new TestHost;
        m_pMainWnd = host;
        auto factory = [] {
            auto* root = new SkinNode("ROOT", {0, 0, 80, 50});
            auto* image = new SkinButton("IMAGE", 10, 10, "TGREY", "TGREEN", "TRED");
            image->flags |= SKF_IMAGE_BUTTON;
            image->tipText = "ｲﾒｰｼﾞ ﾎﾞﾀﾝ ﾉ ﾁｯﾌﾟ ﾃｷｽﾄ";
            SkinNode::AddChild(root, image);
            SkinNode::AddChild(root, new SkinButton("PLAIN", 40, 10, "TGREY", "TBLUE", "TRED"));
            SkinNode::AddChild(root, new SkinImage("IMG", 10, 30, "TGREEN"));
            return root;
        };
        int x = 100, y = 100;
        if (std::strstr(GetCommandLineA(), "corner")) {
            HDC dc = GetDC(nullptr);
            x = GetDeviceCaps(dc, HORZRES) - 80;
            y = GetDeviceCaps(dc, VERTRES) - 50;
            ReleaseDC(nullptr, dc);
        }
        if (!host->CreateHost(factory, "SkinTest", WS_POPUP | WS_VISIBLE, x, y)) return FALSE;
        host->UpdateWindow();
        return TRUE;
    }
    int ExitInstance() override {
        StopSkinTimer();
        return 0;
    }
};

SkinTestApp theApp;

}  // namespace
