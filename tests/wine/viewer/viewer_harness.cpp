#include "viewer_harness.h"

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

bool StartLiveViewer(kivo::wt::ChildProcess& viewer) {
    const auto& folder = LiveFolder();
    return viewer.Start("\"" + folder.File("zortv.exe") + "\"", folder.Path());
}

HWND WaitForVisibleWindow(const char* title, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowA("KivoSkinHost", title);
        if (w && IsWindowVisible(w)) return w;
        if (GetTickCount() - start >= ms) return nullptr;
        kivo::wt::PumpMessages(20);
    }
}

bool StartViewer(kivo::wt::ChildProcess& viewer) {
    const auto& folder = ViewerFolder();
    return viewer.Start("\"" + folder.File("zortv.exe") + "\"", folder.Path());
}

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
    // Start-up ends in the message loop: the first wait for input is the sign.
    if (control) WaitForInputIdle(viewer.Handle(), ms);
    return control;
}

bool CloseViewer(kivo::wt::ChildProcess& viewer, DWORD ms) {
    if (HWND control = FindWindowA("KIVO", "ＫＩＶＯ")) PostMessageA(control, WM_CLOSE, 0, 0);
    return viewer.Wait(ms) >= 0;
}

namespace {
HMODULE Hook() {
    static HMODULE module = LoadLibraryA(ViewerFolder().File("Kvhook.dll").c_str());
    return module;
}
}  // namespace

std::string HookCalls() {
    auto log = reinterpret_cast<int(WINAPI*)(char*, int)>(
        reinterpret_cast<void*>(GetProcAddress(Hook(), "KvhookCallLog")));
    if (!log) return "no Kvhook";
    char buffer[8192] = {};
    log(buffer, sizeof buffer);
    return buffer;
}

void ResetHookCalls() {
    auto reset = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(Hook(), "KvhookResetLog")));
    if (reset) reset();
}

}  // namespace viewer_test
