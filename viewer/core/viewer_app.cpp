#include "viewer_app.h"

#include <cstdio>
#include <cstring>

#include "avi_save.h"
#include "capture_controller.h"
#include "command_link.h"
#include "control_frame.h"
#include "kvhook.h"
#include "kvtun32.h"
#include "main_wnd.h"
#include "mixer_win32.h"
#include "tuner_panel.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "voice_receiver.h"
#include "window_hooks.h"

CViewerApp theApp;

namespace {

constexpr char kMutexName[] = "KIVO_MUTEX";

// A viewer already runs: restore or raise its control window.
void WakeRunningViewer() {
    HWND other = FindWindowA("KIVO", kViewerCaption);
    if (!other) return;
    if (IsIconic(other)) PostMessageA(other, WM_SYSCOMMAND, SC_RESTORE, 0);
    else BringToFront(other);
}

void InitProcessState() {
    g_viewer.backgroundBrush = CreateSolidBrush(RGB(192, 192, 192));
    char path[256] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n >= sizeof path) n = sizeof path - 1;
    path[n] = '\0';
    if (char* slash = std::strrchr(path, '\\')) slash[1] = '\0';
    std::memcpy(g_viewer.programDirectory, path, sizeof path);
    std::snprintf(g_viewer.captureFilePath, sizeof g_viewer.captureFilePath, "%sZORTVCAP.AVI",
                  g_viewer.programDirectory);
    HDC screen = GetDC(nullptr);
    g_viewer.screenWidth = GetDeviceCaps(screen, HORZRES);
    g_viewer.screenHeight = GetDeviceCaps(screen, VERTRES);
    g_viewer.colourDepth = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
}

}  // namespace

BOOL CViewerApp::InitInstance() {
    InitViewerState();
    g_viewer.startingUp = 1;

    if (HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName)) {
        CloseHandle(running);
        WakeRunningViewer();
        return FALSE;
    }
    g_viewer.mutex = CreateMutexA(nullptr, TRUE, kMutexName);
    if (!g_viewer.mutex) return FALSE;

    InitProcessState();
    Enable3dControls();

    if (g_viewer.colourDepth < 8) {
        MessageBoxA(nullptr, "１６色モードでは使用できません。", kViewerCaption, MB_TASKMODAL | MB_ICONERROR);
        return FALSE;
    }

    SetColorMode(0);

    g_viewer.controlFrame = new CControlFrame;
    m_pMainWnd = g_viewer.controlFrame;

    CMainWnd::Create(200, 200, !IsWindows98OrLater());

    if (PrepareViewerMixer() != 0)
        ShowViewerMessage("オーディオミキサーの設定ができません。", MB_TASKMODAL);

    if (!g_viewer.captureWindow) g_viewer.panelOnlyMode = 1;

    if (!g_viewer.panelOnlyMode) {
        if (g_viewer.mainWindow) {
            g_viewer.mainWindow->ShowWindow(SW_SHOW);
            g_viewer.mainWindow->UpdateWindow();
        }
        ChooseCaptureDrive();
        g_viewer.startingUp = 0;
    }

    CTuner* tuner = CTuner::Create(200, 200, g_viewer.panelOnlyMode != 0);
    if (tuner && g_viewer.panelOnlyMode)
        tuner->SetWindowPos(nullptr, 0, 0, 77, 172, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE);
    g_viewer.voiceReceiver = CreateVoiceReceiver();
    OpenCommandLink();
    g_viewer.startingUp = 0;

    if (!g_viewer.formatIn) g_viewer.formatIn = new VideoFormatHeader();
    if (!g_viewer.formatOut) g_viewer.formatOut = new VideoFormatHeader();

    TvInstallHook(m_hInstance);
    SetActiveWindow(CWnd::SafeHandle(g_viewer.mainWindow));
    // Each panel that fits opens docked to the main window; one that does not shows the edge message.
    if (!g_viewer.panelOnlyMode)
        if (CMainWnd* main = CMainWnd::Instance()) main->OpenPanelsThatFit();
    if (g_viewer.captureWindow) ShowWindow(g_viewer.captureWindow, SW_SHOW);
    return TRUE;
}

int CViewerApp::ExitInstance() {
    if (g_viewer.mainWindow) {
        if (g_viewer.mainWindow->m_hWnd) g_viewer.mainWindow->DestroyWindow();
        g_viewer.mainWindow = nullptr;
    }
    delete g_viewer.formatIn;
    delete g_viewer.formatOut;
    g_viewer.formatIn = g_viewer.formatOut = nullptr;
    FreeCompressorList();
    if (g_viewer.mutex) ReleaseMutex(g_viewer.mutex);
    return 0;
}
