#include "viewer_harness.h"

#include <gtest/gtest.h>

namespace viewer_test {

const kivo::wt::ScratchFolder& ViewerFolder() {
    static kivo::wt::ScratchFolder folder("viewer", ProgramFiles());
    return folder;
}

const kivo::wt::ScratchFolder& LiveFolder() {
    static kivo::wt::ScratchFolder folder("live", LiveProgramFiles());
    static bool registered = [] {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", 0,
                            nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        const std::string path = folder.File("vancodc.dll");
        for (const char* name : {"vidc.ty0n", "vidc.ty2n", "vidc.ty2c", "vidc.ty2d", "vidc.t565"})
            RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1));
        RegCloseKey(key);
        return true;
    }();
    (void)registered;
    return folder;
}

namespace {

// The folder of the viewer started last: its Kvhook.dll keeps the record of the hook calls.
const kivo::wt::ScratchFolder* g_started = nullptr;

HMODULE HookOf(const kivo::wt::ScratchFolder& folder) {
    static HMODULE viewer = nullptr, live = nullptr;
    HMODULE& module = &folder == &ViewerFolder() ? viewer : live;
    if (!module) module = LoadLibraryA(folder.File("Kvhook.dll").c_str());
    return module;
}

std::string HookCallsOf(const kivo::wt::ScratchFolder& folder) {
    auto log = reinterpret_cast<int(WINAPI*)(char*, int)>(
        reinterpret_cast<void*>(GetProcAddress(HookOf(folder), "KvhookCallLog")));
    if (!log) return "no Kvhook";
    char buffer[8192] = {};
    log(buffer, sizeof buffer);
    return buffer;
}

void ResetHookCallsOf(const kivo::wt::ScratchFolder& folder) {
    auto reset = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(HookOf(folder), "KvhookResetLog")));
    if (reset) reset();
}

bool StartIn(const kivo::wt::ScratchFolder& folder, kivo::wt::ChildProcess& viewer) {
    // Start-up installs the hook library near its end: a fresh record shows when it got there.
    ResetHookCallsOf(folder);
    g_started = &folder;
    return viewer.Start("\"" + folder.File("zortv.exe") + "\"", folder.Path());
}

}  // namespace

bool StartLiveViewer(kivo::wt::ChildProcess& viewer) { return StartIn(LiveFolder(), viewer); }

HWND WaitForVisibleWindow(const char* title, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowA("KivoSkinHost", title);
        if (w && IsWindowVisible(w)) return w;
        if (GetTickCount() - start >= ms) return nullptr;
        kivo::wt::PumpMessages(20);
    }
}

void StartLive(kivo::wt::ChildProcess& viewer, LiveWindows& w, bool withTuner) {
    ASSERT_TRUE(StartLiveViewer(viewer));
    ASSERT_NE(nullptr, WaitUntilStarted(viewer));
    w.main = WaitForVisibleWindow("KIVO");
    if (withTuner) w.tuner = WaitForVisibleWindow("KIVOTUNER2");
    w.deck = WaitForVisibleWindow("VideoDeck");
    ASSERT_NE(nullptr, w.main);
    if (withTuner) {
        ASSERT_NE(nullptr, w.tuner);
    }
    ASSERT_NE(nullptr, w.deck);
    w.capture = GetDlgItem(w.main, 7);
    ASSERT_NE(nullptr, w.capture);
}

bool StartViewer(kivo::wt::ChildProcess& viewer) { return StartIn(ViewerFolder(), viewer); }

void SetViewerVersion(const char* version) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\zortv.exe", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
}

HWND WaitForControlWindow(DWORD ms) { return kivo::wt::WaitForWindow("KIVO", "ＫＩＶＯ", ms); }

HWND WaitUntilStarted(kivo::wt::ChildProcess& viewer, DWORD ms) {
    HWND control = WaitForControlWindow(ms);
    if (!control) return nullptr;
    // The hook library is installed in the last steps of start-up (an early wait for input, such
    // as a drain of the message queue while the main window is placed, is no sign of its end).
    const DWORD start = GetTickCount();
    while (g_started && HookCallsOf(*g_started).find("TvInstallHook(") == std::string::npos &&
           GetTickCount() - start < ms && viewer.Running())
        kivo::wt::PumpMessages(20);
    WaitForInputIdle(viewer.Handle(), ms);
    return control;
}

bool CloseViewer(kivo::wt::ChildProcess& viewer, DWORD ms) {
    if (HWND control = FindWindowA("KIVO", "ＫＩＶＯ")) PostMessageA(control, WM_CLOSE, 0, 0);
    return viewer.Wait(ms) >= 0;
}

std::string HookCalls() { return HookCallsOf(ViewerFolder()); }

void ResetHookCalls() { ResetHookCallsOf(ViewerFolder()); }

}  // namespace viewer_test
