// Kvhook.dll and KVTHK32.DLL: their exports as the viewer binds them, and the record of calls
// that every process loading them shares.
#include <gtest/gtest.h>

#include <string>

#include "kvhook.h"
#include "kvthk32.h"
#include "winetest.h"

namespace wt = kivo::wt;

namespace {

long RunPeer(const std::string& args, DWORD* process = nullptr) {
    wt::ChildProcess p;
    if (!p.Start("\"" + wt::InProgramFolder("companions_peer.exe") + "\" " + args)) return -2;
    if (process) *process = p.Id();
    return p.Wait(20000);
}

std::string HookLog() {
    std::string text(static_cast<size_t>(KvhookCallLog(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(KvhookCallLog(text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string ThunkLog() {
    std::string text(static_cast<size_t>(KvThkCallLog(nullptr, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(KvThkCallLog(text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST(CompanionExports, AreFoundByPlainNameAndTheThunkByOrdinalTwo) {
    HMODULE hook = LoadLibraryA(wt::InProgramFolder("Kvhook.dll").c_str());
    ASSERT_NE(nullptr, hook);
    for (const char* name : {"TvInstallHook", "TvRemoveHook", "SetStartDos", "SetDosTvInstance",
                             "KvhookCallLog", "KvhookCallCount", "KvhookCallProcess", "KvhookResetLog"})
        EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(hook, name))) << name;
    EXPECT_EQ(nullptr, reinterpret_cast<void*>(GetProcAddress(hook, "TvInstallHook@4")));

    HMODULE thunk = LoadLibraryA(wt::InProgramFolder("KVTHK32.DLL").c_str());
    ASSERT_NE(nullptr, thunk);
    FARPROC byOrdinal = GetProcAddress(thunk, MAKEINTRESOURCEA(KVTHK32_SET_TV_OWNER_ORDINAL));
    ASSERT_NE(nullptr, reinterpret_cast<void*>(byOrdinal));
    EXPECT_EQ(byOrdinal, GetProcAddress(thunk, "KvThkSetTvOwner"));
    EXPECT_EQ(nullptr, reinterpret_cast<void*>(GetProcAddress(thunk, MAKEINTRESOURCEA(1))));
    FreeLibrary(thunk);
    FreeLibrary(hook);
}

TEST(Kvhook, RecordsTheCallsOfEveryProcessInOneLog) {
    KvhookResetLog();
    DWORD peer = 0;
    ASSERT_EQ(0, RunPeer("hook-install 0x400000 start-dos 1 dos-instance 4321 start-dos 0 dos-instance 0 "
                         "hook-remove",
                         &peer));
    EXPECT_EQ("TvInstallHook(0x400000)\nSetStartDos(1)\nSetDosTvInstance(4321)\nSetStartDos(0)\n"
              "SetDosTvInstance(0)\nTvRemoveHook()\n",
              HookLog());
    ASSERT_EQ(6, KvhookCallCount());
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(peer, KvhookCallProcess(n)) << n;
    EXPECT_EQ(0u, KvhookCallProcess(7));

    // This process's calls land in the same log, and another process reads them.
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_TRUE(TvInstallHook(self));
    EXPECT_TRUE(TvInstallHook(self));  // already in place
    EXPECT_EQ(0, SetStartDos(1));      // the peer's last value
    EXPECT_TRUE(TvRemoveHook());
    EXPECT_FALSE(TvRemoveHook());
    EXPECT_EQ(11, KvhookCallCount());
    EXPECT_EQ(GetCurrentProcessId(), KvhookCallProcess(7));
    char expected[64];
    wsprintfA(expected, "TvInstallHook(0x%I64X)\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(self)));
    EXPECT_NE(std::string::npos, HookLog().find(std::string("TvRemoveHook()\n") + expected + expected +
                                                 "SetStartDos(1)\nTvRemoveHook()\nTvRemoveHook()\n"));
    EXPECT_EQ(11, RunPeer("count-hook"));
    SetStartDos(0);

    // A small buffer gets the start of the text, terminated.
    char small[16];
    EXPECT_EQ(static_cast<int>(HookLog().size()), KvhookCallLog(small, sizeof small));
    EXPECT_EQ(HookLog().substr(0, 15), small);

    KvhookResetLog();
    EXPECT_EQ(0, RunPeer("count-hook"));
    EXPECT_EQ("", HookLog());
}

LRESULT CALLBACK CountKeys(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_KEYDOWN) SetWindowLongPtrA(w, GWLP_USERDATA, GetWindowLongPtrA(w, GWLP_USERDATA) + 1);
    return DefWindowProcA(w, m, wp, lp);
}

TEST(Kvhook, TheHookPassesKeysOn) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountKeys;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KvhookKeys";
    RegisterClassA(&wc);
    HWND w = CreateWindowA("KvhookKeys", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, w);
    ASSERT_TRUE(TvInstallHook(wc.hInstance));
    PostMessageA(w, WM_KEYDOWN, 'A', 1);
    PostMessageA(w, WM_KEYDOWN, VK_RETURN, 1);
    wt::PumpMessages(100);
    EXPECT_EQ(2, GetWindowLongPtrA(w, GWLP_USERDATA));
    EXPECT_TRUE(TvRemoveHook());
    DestroyWindow(w);
}

TEST(Kvthk32, RecordsOrdinalTwoOfEveryProcess) {
    KvThkResetLog();
    DWORD peer = 0;
    ASSERT_EQ(0, RunPeer("thk 0 thk 1", &peer));
    EXPECT_EQ("KvThkSetTvOwner(0)\nKvThkSetTvOwner(1)\n", ThunkLog());
    EXPECT_EQ(peer, KvThkCallProcess(1));
    EXPECT_EQ(peer, KvThkCallProcess(2));

    // Bound by ordinal, as the viewer does; the previous owner comes back.
    HMODULE thunk = GetModuleHandleA("KVTHK32.DLL");
    ASSERT_NE(nullptr, thunk);
    auto setOwner = reinterpret_cast<KvThkSetTvOwnerProc>(
        reinterpret_cast<void*>(GetProcAddress(thunk, MAKEINTRESOURCEA(2))));
    ASSERT_NE(nullptr, setOwner);
    EXPECT_EQ(1u, setOwner(0));
    EXPECT_EQ(0u, setOwner(1));
    EXPECT_EQ("KvThkSetTvOwner(0)\nKvThkSetTvOwner(1)\nKvThkSetTvOwner(0)\nKvThkSetTvOwner(1)\n", ThunkLog());
    EXPECT_EQ(GetCurrentProcessId(), KvThkCallProcess(3));
    EXPECT_EQ(4, RunPeer("count-thk"));
    // The two libraries keep separate records.
    KvhookResetLog();
    EXPECT_EQ(4, KvThkCallCount());
    KvThkResetLog();
    EXPECT_EQ(0, RunPeer("count-thk"));
}

}  // namespace
