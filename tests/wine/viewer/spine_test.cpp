// The viewer's spine under Wine: one instance, the control window, the mixer, the hook
// library, shutdown and Windows ending.
#include <gtest/gtest.h>

#include <cstring>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

// Mixer calls of the board's mixer since `after`, as "get 33", "set 33=32767", "open", "close".
std::vector<std::string> MixerCalls(uint32_t after = 0) {
    std::vector<std::string> calls;
    for (const auto& e : wt::Board::Log(board::kBoardMix, after)) {
        int32_t v[4];
        std::memcpy(v, e.in, sizeof v);
        switch (e.code) {
        case 3: calls.push_back("open"); break;
        case 4: calls.push_back("close"); break;
        case 7: calls.push_back("get " + std::to_string(v[0])); break;
        case 8: calls.push_back("set " + std::to_string(v[0]) + "=" + std::to_string(v[3])); break;
        }
    }
    return calls;
}

int32_t MixerValue(uint32_t id, int item = 0) {
    auto s = wt::Board::Snapshot();
    for (const auto& c : s->mixer)
        if (c.id == id) return c.values[item];
    return -12345;
}

const char kBoardMixer[] = "[mixer]\n33=500\n35=1\n5=2048\n13=0\n0=2\n6=500\n14=1\n";

class Spine : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset(kBoardMixer);
        ResetHookCalls();
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
    }
    wt::ChildProcess viewer;
};

TEST_F(Spine, TheControlWindowHasItsClassCaptionAndStyle) {
    ASSERT_TRUE(StartViewer(viewer));
    HWND control = WaitUntilStarted(viewer);
    ASSERT_NE(nullptr, control);
    char name[64] = {};
    GetClassNameA(control, name, sizeof name);
    EXPECT_STREQ("KIVO", name);
    GetWindowTextA(control, name, sizeof name);
    EXPECT_STREQ("ＫＩＶＯ", name);
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    EXPECT_EQ(0x12C80000, style & 0x12C80000);
    EXPECT_EQ(0, style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
    RECT r;
    GetWindowRect(control, &r);
    EXPECT_EQ(128, r.left);
    EXPECT_EQ(4000, r.top);
    // It never moves.
    SetWindowPos(control, nullptr, 10, 10, 300, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(control, &r);
    EXPECT_EQ(128, r.left);
    EXPECT_EQ(4000, r.top);
}

// The control window's system menu, read by a program that makes one of its own (menus of
// another process cannot be read here): exit code bit 1 move, 2 maximise, 4 close.
long SystemMenuItems(const char* version) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\frame_probe.exe", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
    wt::ChildProcess probe;
    if (!probe.Start("\"" + wt::InProgramFolder("frame_probe.exe") + "\"")) return -1;
    return probe.Wait(15000);
}

TEST_F(Spine, TheSystemMenuLosesMoveAndOnWindows98Maximise) {
    EXPECT_EQ(4, SystemMenuItems("win98"));
    EXPECT_EQ(2 | 4, SystemMenuItems("win95"));
}

TEST_F(Spine, ASecondStartRestoresTheFirstAndShowsNothing) {
    ASSERT_TRUE(StartViewer(viewer));
    HWND control = WaitUntilStarted(viewer);
    ASSERT_NE(nullptr, control);
    PostMessageA(control, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (int i = 0; i < 100 && !IsIconic(control); ++i) wt::PumpMessages(20);
    ASSERT_TRUE(IsIconic(control));

    wt::ChildProcess second;
    ASSERT_TRUE(StartViewer(second));
    EXPECT_EQ(0, second.Wait(15000));
    for (int i = 0; i < 100 && IsIconic(control); ++i) wt::PumpMessages(20);
    EXPECT_FALSE(IsIconic(control));
    EXPECT_EQ(control, FindWindowA("KIVO", "ＫＩＶＯ"));
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ"));
    EXPECT_TRUE(viewer.Running());
}

TEST_F(Spine, StartUpRaisesTheBoardMixerAndShutdownPutsItBack) {
    ASSERT_TRUE(StartViewer(viewer));
    ASSERT_NE(nullptr, WaitUntilStarted(viewer));
    EXPECT_EQ(32767, MixerValue(33));
    EXPECT_EQ(0, MixerValue(35));
    EXPECT_EQ(2048, MixerValue(5));
    EXPECT_EQ(1, MixerValue(0, 0));
    EXPECT_EQ(32767, MixerValue(6));
    EXPECT_EQ(0, MixerValue(14));
    const std::vector<std::string> prepare = {
        "open", "get 33", "set 33=32767", "get 35", "set 35=0", "get 5", "get 13", "set 13=0",
        "get 0", "set 0=1", "get 6", "set 6=32767", "get 14", "set 14=0", "close",
        // Then the tuner panel applies its settings twice, the sound on each time.
        "open", "set 35=0", "close", "open", "set 35=0", "close"};
    EXPECT_EQ(prepare, MixerCalls());
    uint32_t mark = wt::Board::LogTotal();

    ASSERT_TRUE(CloseViewer(viewer));
    EXPECT_EQ(500, MixerValue(33));
    EXPECT_EQ(1, MixerValue(35));
    EXPECT_EQ(2048, MixerValue(5));
    EXPECT_EQ(0, MixerValue(13));
    EXPECT_EQ(1, MixerValue(0, 2));
    EXPECT_EQ(500, MixerValue(6));
    EXPECT_EQ(1, MixerValue(14));
    // The tuner panel goes first (it is owned by the control window) and switches the sound
    // off as it saves; then the restore; then the tuner library's sound-off as the last user.
    std::vector<std::string> calls = MixerCalls(mark);
    const std::vector<std::string> restore = {
        "open", "set 35=1", "close", "open", "get 33", "set 33=500", "get 35", "set 35=1", "get 5", "set 5=2048", "get 13",
        "set 13=0", "get 0", "set 0=0", "get 6", "set 6=500", "get 14", "set 14=1", "close"};
    ASSERT_GE(calls.size(), restore.size());
    EXPECT_EQ(restore, std::vector<std::string>(calls.begin(), calls.begin() + restore.size()));
}

TEST_F(Spine, WithoutTheBoardMixerTheViewerSaysSoAndRunsOn) {
    wt::Board::Reset("[board]\nmixer=0\n");
    ASSERT_TRUE(StartViewer(viewer));
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 15000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("オーディオミキサーの設定ができません。", wt::MessageBoxText(box));
    ASSERT_TRUE(wt::AnswerMessageBox(box, IDOK));
    EXPECT_NE(nullptr, WaitUntilStarted(viewer));
    EXPECT_TRUE(viewer.Running());
    EXPECT_TRUE(MixerCalls().empty());
}

TEST_F(Spine, TheHookLibraryIsToldOfStartAndEnd) {
    ASSERT_TRUE(StartViewer(viewer));
    ASSERT_NE(nullptr, WaitUntilStarted(viewer));
    std::string calls = HookCalls();
    EXPECT_EQ(0u, calls.find("TvInstallHook(")) << calls;
    ASSERT_TRUE(CloseViewer(viewer));
    calls = HookCalls();
    EXPECT_NE(std::string::npos, calls.find("\nTvRemoveHook()")) << calls;
}

TEST_F(Spine, WindowsEndingSwitchesTheSoundOffThenRestoresTheMixer) {
    ASSERT_TRUE(StartViewer(viewer));
    HWND control = WaitUntilStarted(viewer);
    ASSERT_NE(nullptr, control);
    uint32_t mark = wt::Board::LogTotal();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(control, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &result);
    std::vector<std::string> calls = MixerCalls(mark);
    // SetVoice(0): the board's mute on; then the restore, opening the mixer again.
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ("open", calls[0]);
    EXPECT_EQ("set 35=1", calls[1]);
    EXPECT_EQ("close", calls[2]);
    EXPECT_EQ("open", calls[3]);
    EXPECT_EQ("get 33", calls[4]);
    EXPECT_EQ(500, MixerValue(33));
}

TEST_F(Spine, FullScreenOnWindows98IsRefusedWithAMessage) {
    ASSERT_TRUE(StartViewer(viewer));
    HWND control = WaitUntilStarted(viewer);
    ASSERT_NE(nullptr, control);
    PostMessageA(control, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("全画面表示はWindows98以降ではサポートされていません", wt::MessageBoxText(box));
    wt::AnswerMessageBox(box, IDOK);
}

}  // namespace
