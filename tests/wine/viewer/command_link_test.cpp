// Remote-control names reach the viewer over DDE from the resident remote-control program and
// pass the viewer's filter: what an active and an inactive viewer do with them.
#include <gtest/gtest.h>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

class CommandLink : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset();
        ASSERT_TRUE(ViewerFolder().Copy("REMCTL.EXE"));
        ASSERT_TRUE(remote.Start(Remote("")));
        ASSERT_NE(nullptr, wt::WaitForWindow("KivoRemote", nullptr, 10000));
        ASSERT_TRUE(StartViewer(viewer));
        control = WaitUntilStarted(viewer);
        ASSERT_NE(nullptr, control);
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
        wt::ChildProcess quit;
        if (quit.Start(Remote("/quit"))) quit.Wait(10000);
        if (other) DestroyWindow(other);
    }
    std::string Remote(const std::string& args) {
        return "\"" + ViewerFolder().File("REMCTL.EXE") + "\"" + (args.empty() ? "" : " " + args);
    }
    // Sends one name the way a script does; true when the resident program took it.
    bool Send(const char* name) {
        wt::ChildProcess send;
        if (!send.Start(Remote(std::string("/send ") + name))) return false;
        bool taken = send.Wait(10000) == 0;
        wt::PumpMessages(500);  // the advise, the filter, the queued command
        return taken;
    }
    // Makes a window of the test the active one, so that the viewer is not.
    void ActivateOtherProgram() { other = wt::ActivateOwnWindow("メモ帳"); }

    wt::ChildProcess remote, viewer;
    HWND control = nullptr;
    HWND other = nullptr;
};

TEST_F(CommandLink, PowerOffFromTheRemoteEndsAnActiveViewer) {
    SetForegroundWindow(control);
    wt::PumpMessages(200);
    ASSERT_TRUE(Send("DOS_POWER"));
    EXPECT_GE(viewer.Wait(15000), 0) << "the viewer still runs";
    EXPECT_EQ(nullptr, FindWindowA("KIVO", "ＫＩＶＯ"));
}

TEST_F(CommandLink, AnInactiveViewerTakesOnlyChannelAndPowerNames) {
    PostMessageA(control, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (int i = 0; i < 100 && !IsIconic(control); ++i) wt::PumpMessages(20);
    ASSERT_TRUE(IsIconic(control));
    ActivateOtherProgram();

    // Dropped: a size request would restore the minimised viewer, an off request end it.
    ASSERT_TRUE(Send("TV_SIZE"));
    ASSERT_TRUE(Send("DOS_POWER"));
    EXPECT_TRUE(IsIconic(control));
    EXPECT_TRUE(viewer.Running());

    // Passed: the power key restores it.
    ASSERT_TRUE(Send("SYS_TV_POWER"));
    for (int i = 0; i < 100 && IsIconic(control); ++i) wt::PumpMessages(20);
    EXPECT_FALSE(IsIconic(control));
    EXPECT_TRUE(viewer.Running());
}

TEST_F(CommandLink, NamesOutsideTheTableGoToTheVoiceReceiverAndLeaveNothingQueued) {
    SetForegroundWindow(control);
    wt::PumpMessages(200);
    ASSERT_TRUE(Send("VCMD_TV_RED"));
    ASSERT_TRUE(Send("VEXT,CH3"));
    EXPECT_TRUE(viewer.Running());
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ"));
    // The link still works afterwards: no name was left queued.
    ASSERT_TRUE(Send("DOS_POWER"));
    EXPECT_GE(viewer.Wait(15000), 0);
}

TEST_F(CommandLink, TheGuideKeyOpensTheHelpWindowCentredAndClosesIt) {
    SetForegroundWindow(control);
    wt::PumpMessages(200);
    ASSERT_TRUE(Send("SYS_GUIDE"));
    HWND help = wt::WaitForWindow(nullptr, "RemHelp", 5000);
    ASSERT_NE(nullptr, help);
    RECT r;
    GetWindowRect(help, &r);
    EXPECT_EQ(111, r.left);  // (800 - 577) / 2
    EXPECT_EQ(111, r.top);   // (600 - 378) / 2
    EXPECT_EQ(577, r.right - r.left);
    EXPECT_EQ(378, r.bottom - r.top);
    LONG_PTR style = GetWindowLongPtrA(help, GWL_STYLE);
    EXPECT_EQ(0x82000000, style & 0x82000000);
    EXPECT_EQ(0, style & WS_CAPTION);
    EXPECT_TRUE(GetWindowLongPtrA(help, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_TRUE(Send("SYS_GUIDE"));
    EXPECT_TRUE(wt::WaitForNoWindow(nullptr, "RemHelp", 5000));
    // Open again: a click elsewhere closes it.
    ASSERT_TRUE(Send("SYS_GUIDE"));
    ASSERT_NE(nullptr, wt::WaitForWindow(nullptr, "RemHelp", 5000));
    ActivateOtherProgram();
    EXPECT_TRUE(wt::WaitForNoWindow(nullptr, "RemHelp", 5000));
    EXPECT_TRUE(viewer.Running());
}

TEST_F(CommandLink, TheResidentProgramsOwnHelpMeansNoHelpWindow) {
    WritePrivateProfileStringA("etc", "help", "1", "dazidav.ini");
    SetForegroundWindow(control);
    wt::PumpMessages(200);
    ASSERT_TRUE(Send("SYS_GUIDE"));
    EXPECT_EQ(nullptr, wt::WaitForWindow(nullptr, "RemHelp", 1500));
    WritePrivateProfileStringA("etc", nullptr, nullptr, "dazidav.ini");
}

}  // namespace
