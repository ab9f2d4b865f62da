#include "viewer_util.h"

#include "framework.h"
#include "viewer_state.h"

const char kViewerCaption[] = "ＫＩＶＯ";

void ShowViewerMessage(const char* text, UINT type) {
    HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
    HWND deck = CWnd::SafeHandle(g_viewer.videoDeck);
    HWND tuner = CWnd::SafeHandle(g_viewer.tunerPanel);
    if (main) EnableWindow(main, FALSE);
    if (deck) EnableWindow(deck, FALSE);
    if (tuner) EnableWindow(tuner, FALSE);
    MessageBoxA(main, text, kViewerCaption, type);
    if (tuner) EnableWindow(tuner, TRUE);
    if (deck) EnableWindow(deck, TRUE);
    if (main) EnableWindow(main, TRUE);
}

void DrainMessages() {
    bool quit = false;
    WPARAM quitCode = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = msg.wParam;
            continue;
        }
        if (msg.message == WM_TIMER) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

bool IsWindows98OrLater() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    if (info.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) return false;
    return info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion != 0);
}

bool IsOwnWindowActive() {
    HWND active = GetActiveWindow();
    if (!active) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(active, &process);
    return process == GetCurrentProcessId();
}

bool IsLiveWindow(const CWnd* window) {
    return window && window->m_hWnd && IsWindow(window->m_hWnd);
}

void BringToFront(HWND window) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
}

HWND FindSetupWindow() { return FindWindowA("KIVOSETUP", "ＫＩＶＯセットアップ"); }
