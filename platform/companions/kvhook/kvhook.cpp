// Kvhook.dll: a harmless stand-in for the outside hook library. Its hook is a keyboard hook of
// the calling thread that passes everything on; every call is recorded for the tests.
#include "kvhook.h"

#include <iterator>

#include "call_log.h"

namespace {

enum Function : uint32_t { kInstall = 1, kRemove = 2, kStartDos = 3, kDosInstance = 4 };

const companion::CallKind kKinds[] = {
    {kInstall, "TvInstallHook", companion::ArgKind::kHandle},
    {kRemove, "TvRemoveHook", companion::ArgKind::kNone},
    {kStartDos, "SetStartDos", companion::ArgKind::kSigned},
    {kDosInstance, "SetDosTvInstance", companion::ArgKind::kUnsigned},
};

// One record for every process that loads the library.
struct Shared {
    companion::CallRing calls;
    std::atomic<int32_t> startDos;
    std::atomic<uint32_t> dosInstance;
};
Shared g_shared __attribute__((section(".shr"), shared)) = {};

// The hook belongs to the process that installed it.
HHOOK g_hook = nullptr;

void Record(Function function, uint64_t argument) {
    companion::RecordCall(g_shared.calls, GetCurrentProcessId(), function, argument);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace

extern "C" {

BOOL WINAPI TvInstallHook(HINSTANCE instance) {
    Record(kInstall, reinterpret_cast<uintptr_t>(instance));
    if (!g_hook) g_hook = SetWindowsHookExA(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    return g_hook != nullptr;
}

BOOL WINAPI TvRemoveHook(void) {
    Record(kRemove, 0);
    if (!g_hook) return FALSE;
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    return TRUE;
}

int WINAPI SetStartDos(int starting) {
    Record(kStartDos, static_cast<uint32_t>(starting));
    return g_shared.startDos.exchange(starting);
}

DWORD WINAPI SetDosTvInstance(DWORD process) {
    Record(kDosInstance, process);
    return g_shared.dosInstance.exchange(process);
}

int WINAPI KvhookCallLog(char* buffer, int size) {
    return companion::CopyText(companion::FormatCalls(g_shared.calls, kKinds, std::size(kKinds)),
                               buffer, size);
}

int WINAPI KvhookCallCount(void) { return static_cast<int>(companion::CallTotal(g_shared.calls)); }

DWORD WINAPI KvhookCallProcess(int number) {
    companion::Call call;
    if (number <= 0 || !companion::ReadCall(g_shared.calls, static_cast<uint32_t>(number), &call)) return 0;
    return call.process;
}

void WINAPI KvhookResetLog(void) { companion::ResetCalls(g_shared.calls); }

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // Unloaded by FreeLibrary with the hook still in place: the hook must not outlive its code.
    // (At process exit the system takes the hook along.)
    if (reason == DLL_PROCESS_DETACH && !reserved && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    return TRUE;
}
