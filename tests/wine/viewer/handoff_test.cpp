// The DOS full-screen hand-off on Windows 95: the TV goes to the DOS program (the ZORTV2.PIF
// stand-in) and comes back with what the user changed there.
#include <gtest/gtest.h>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

const char kSettings[] =
    "[ZORTV]\r\nChannel1=1,NHK\r\nChannel3=4,TBS\r\nChannel8=70,CATV20\r\nCurrentPreset=2\r\n";

bool Tuned(uint32_t after, int code) {
    for (const auto& e : wt::Board::Log(board::kZtuner, after))
        if (e.code == 16 && (e.in[0] | e.in[1] << 8) == code) return true;
    return false;
}

class Handoff : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win95");
        wt::Board::Reset();
        ResetHookCalls();
        ASSERT_TRUE(ViewerFolder().Write("ZORTV.INI", kSettings));
        ASSERT_TRUE(ViewerFolder().Copy("ZORTV2.PIF"));
        DeleteFileA(ViewerFolder().File("TVCTRL.INF").c_str());
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
        SetViewerVersion("win98");
    }
    HWND Start() {
        if (!StartViewer(viewer)) return nullptr;
        return WaitUntilStarted(viewer);
    }
    wt::ChildProcess viewer;
};

TEST_F(Handoff, TheTvComesBackWithTheChannelAndPictureChosenInDos) {
    ASSERT_TRUE(ViewerFolder().Write("ZORTV2.INI", "[dostv]\r\nstate=3\r\npreset=7\r\nhue=-5\r\n"));
    HWND control = Start();
    ASSERT_NE(nullptr, control);
    uint32_t mark = wt::Board::LogTotal();
    PostMessageA(control, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    for (int i = 0; i < 200 && !Tuned(mark, 70); ++i) wt::PumpMessages(50);
    EXPECT_TRUE(Tuned(mark, 70)) << "preset 7 (C20) applied after the return";
    EXPECT_FALSE(wt::FileExists(ViewerFolder().File("TVCTRL.INF")));
    EXPECT_TRUE(viewer.Running());
    // The remote control went to DOS and came back.
    std::vector<uint32_t> routing;
    for (const auto& e : wt::Board::Log(board::kDazidav, mark)) routing.push_back(e.inLength);
    EXPECT_EQ((std::vector<uint32_t>{1, 0}), routing);
    std::string calls = HookCalls();
    EXPECT_NE(std::string::npos, calls.find("SetStartDos(1)")) << calls;
    EXPECT_NE(std::string::npos, calls.find("SetStartDos(0)")) << calls;
    EXPECT_NE(std::string::npos, calls.find("SetDosTvInstance(0)")) << calls;
    ASSERT_TRUE(CloseViewer(viewer));
    std::string ini = wt::ReadFile(ViewerFolder().File("ZORTV.INI"));
    EXPECT_NE(std::string::npos, ini.find("Hue=-5")) << ini;
    EXPECT_NE(std::string::npos, ini.find("CurrentPreset=7")) << ini;
}

TEST_F(Handoff, TheStillLeftByTheDosProgramBecomesTheStill) {
    ASSERT_TRUE(ViewerFolder().Write("ZORTV2.INI", "[dostv]\r\nstate=3\r\nstill=1\r\n"));
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    HWND control = Start();
    ASSERT_NE(nullptr, control);
    PostMessageA(control, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    // The still (2 x 2, grey 128) goes to the clipboard as any still does; its file is gone.
    std::string dib;
    for (int i = 0; i < 200 && dib.empty(); ++i) {
        wt::PumpMessages(50);
        if (!OpenClipboard(nullptr)) continue;
        if (HANDLE h = GetClipboardData(CF_DIB)) {
            const char* p = static_cast<const char*>(GlobalLock(h));
            if (p) dib.assign(p, GlobalSize(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
    }
    ASSERT_EQ(40u + 16, dib.size());
    EXPECT_EQ(2, reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())->biWidth);
    EXPECT_EQ(16u, reinterpret_cast<const BITMAPINFOHEADER*>(dib.data())->biSizeImage) << "filled in";
    EXPECT_EQ(std::string(6, char(0x80)), dib.substr(40, 6));
    EXPECT_FALSE(wt::FileExists(ViewerFolder().File("TVCAPWIN.BMP")));
}

TEST_F(Handoff, SwitchingTheTvOffInDosEndsTheViewer) {
    ASSERT_TRUE(ViewerFolder().Write("ZORTV2.INI", "[dostv]\r\nstate=4\r\n"));
    HWND control = Start();
    ASSERT_NE(nullptr, control);
    PostMessageA(control, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_GE(viewer.Wait(20000), 0);
}

TEST_F(Handoff, WithoutTheDosProgramTheViewerSaysSoAndStays) {
    DeleteFileA(ViewerFolder().File("ZORTV2.PIF").c_str());
    HWND control = Start();
    ASSERT_NE(nullptr, control);
    PostMessageA(control, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("フルスクリーン表示ができません。", wt::MessageBoxText(box));
    wt::AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(viewer.Running());
    EXPECT_TRUE(wt::FileExists(ViewerFolder().File("TVCTRL.INF"))) << "the record stays, as written";
}

}  // namespace
