#include "control_frame.h"

#include "command_handlers.h"
#include "capture_controller.h"
#include "command_link.h"
#include "main_wnd.h"
#include "tuner_panel.h"
#include "dos_handoff.h"
#include "commands.h"
#include "kvhook.h"
#include "kvtun32.h"
#include "mixer_win32.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "voice_receiver.h"
#include "window_hooks.h"

namespace {
constexpr char kClassName[] = "KIVO";
constexpr DWORD kStyle = WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU;  // 0x12C80000
static_assert(kStyle == 0x12C80000, "the control window's style");
}  // namespace

CControlFrame::CControlFrame() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterFrameworkClass(kClassName, CS_VREDRAW, LoadIconA(instance, "TVICON"),
                           LoadCursorA(nullptr, IDC_ARROW), nullptr);
    // Below every screen: only its taskbar button shows.
    const RECT rect = {128, 4000, 100, 100};
    Create(kClassName, kViewerCaption, kStyle, rect);
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
        if (IsWindows98OrLater()) DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    }
    StartSkinTimer();
}

void CControlFrame::OnWindowPosChanging(WINDOWPOS* pos) {
    Default();
    pos->flags |= SWP_NOSIZE | SWP_NOMOVE;
}

void CControlFrame::OnActivateApp(BOOL, DWORD) {
    const Current& m = CurrentMessage();
    if (g_viewer.panelOnlyMode && g_viewer.tunerPanel)
        ::PostMessageA(g_viewer.tunerPanel->m_hWnd, WM_ACTIVATEAPP, m.wParam, m.lParam);
    if (g_viewer.mainWindow) ::PostMessageA(g_viewer.mainWindow->m_hWnd, WM_ACTIVATEAPP, m.wParam, m.lParam);
}

void CControlFrame::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (IsLiveWindow(g_viewer.tunerPanel))
        if (CTuner* tuner = CTuner::Instance()) tuner->Key(ch, repeat, flags);
}

void CControlFrame::OnSysCommand(UINT id, LPARAM) {
    switch (id & 0xFFF0) {
    case SC_MAXIMIZE:
        if (IsWindows98OrLater()) {
            ShowViewerMessage("全画面表示はWindows98以降ではサポートされていません",
                              MB_TASKMODAL | MB_ICONERROR);
        } else {
            DrainMessages();
            StartDosHandoff();
        }
        return;
    case SC_RESTORE:
        if (g_viewer.maximisedBeforeMinimise && g_viewer.mainWindow) {
            HWND main = g_viewer.mainWindow->m_hWnd;
            SetWindowLongPtrA(main, GWL_STYLE, GetWindowLongPtrA(main, GWL_STYLE) | WS_MAXIMIZE);
            g_viewer.maximisedBeforeMinimise = 0;
        }
        Default();
        if (!g_viewer.panelOnlyMode && g_viewer.mainWindow)
            ::PostMessageA(g_viewer.mainWindow->m_hWnd, WM_NCACTIVATE, IsOwnWindowActive() ? TRUE : FALSE, 0);
        return;
    }
    Default();
}

BOOL CControlFrame::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case kIdRunTableCommand:
        RunStoredTableCommand();
        g_viewer.commandBusy = 0;
        return TRUE;
    case kIdRunVoiceCommand:
        if (g_viewer.voiceReceiver) {
            VoiceRun(g_viewer.voiceReceiver);
            g_viewer.commandBusy = 0;
        }
        return TRUE;
    }
    return FALSE;
}

void CControlFrame::OnClose() {
    if (HWND setup = FindSetupWindow()) ::PostMessageA(setup, WM_CLOSE, 0, 0);
    WriteHandoffRecordOnExit();
    CFrameWnd::OnClose();
}

void CControlFrame::OnEndSession(BOOL ending) {
    if (!ending) return;
    g_viewer.windowsEnding = 1;
    if (CCaptureController* capture = g_viewer.captureController) {
        capture->ShutdownForWindowsEnd();
    } else {
        SetVoice(0);
    }
    RestoreViewerMixer();
}

void CControlFrame::OnDestroy() {
    TvRemoveHook();
    CloseCommandLink();
    DestroyVoiceReceiver(g_viewer.voiceReceiver);
    g_viewer.voiceReceiver = nullptr;
    StopSkinTimer();
    if (g_viewer.backgroundBrush) {
        DeleteObject(g_viewer.backgroundBrush);
        g_viewer.backgroundBrush = nullptr;
    }
    RestoreViewerMixer();
    for (CWnd* w : {g_viewer.tunerPanel, g_viewer.videoDeck, g_viewer.mainWindow})
        if (w && w->m_hWnd) w->DestroyWindow();
    Default();
}

void CControlFrame::PostNcDestroy() {
    if (g_viewer.controlFrame == this) g_viewer.controlFrame = nullptr;
    delete this;
}
