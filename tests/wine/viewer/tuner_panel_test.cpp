// The tuner panel of a viewer without a capture window: the program's only window, with its
// own caption and power button; its buttons and the remote's channel keys tune the board.
#include <gtest/gtest.h>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

const char kSettings[] =
    "[ZORTV]\r\nChannel1=1,NHK\r\nChannel3=4,TBS\r\nChannel8=70,CATV20\r\nCurrentPreset=2\r\n";

// Channel codes the board was tuned to since `after`.
std::vector<int> Tunes(uint32_t after) {
    std::vector<int> codes;
    for (const auto& e : wt::Board::Log(board::kZtuner, after))
        if (e.code == 16) codes.push_back(e.in[0] | e.in[1] << 8);
    return codes;
}

class TunerPanel : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset();
        ASSERT_TRUE(ViewerFolder().Write("ZORTV.INI", kSettings));
        ASSERT_TRUE(StartViewer(viewer));
        ASSERT_NE(nullptr, WaitUntilStarted(viewer));
        panel = wt::WaitForWindow(nullptr, "KIVOTUNER2", 5000);
        ASSERT_NE(nullptr, panel);
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
    }
    // A press and release at a point of the panel, and time for the viewer to act.
    void Click(int x, int y) {
        PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        DWORD_PTR result;
        SendMessageTimeoutA(panel, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        wt::PumpMessages(100);
    }
    wt::ChildProcess viewer;
    HWND panel = nullptr;
};

TEST_F(TunerPanel, IsTheOnlyWindowSizedAndStyledAsAPanel) {
    RECT r;
    GetWindowRect(panel, &r);
    EXPECT_EQ(77, r.right - r.left);
    EXPECT_EQ(172, r.bottom - r.top);
    LONG_PTR style = GetWindowLongPtrA(panel, GWL_STYLE);
    EXPECT_EQ(0x82000000, style & 0x82000000);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ(0, GetWindowLongPtrA(panel, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // Start-up applied the current preset (index 2: channel 4) twice.
    EXPECT_EQ((std::vector<int>{4, 4}), Tunes(0));
}

TEST_F(TunerPanel, ChannelKeysStepThroughThePresetsThatHoldAChannel) {
    uint32_t mark = wt::Board::LogTotal();
    Click(10, 115);  // CHANUP: INNER at (1, 18), the button at (0, 90)
    Click(10, 115);
    Click(40, 115);  // CHANDOWN
    // Preset 7 holds cable channel C20: the board gets code 70 (20 + 50); then preset 0, then 7.
    EXPECT_EQ((std::vector<int>{70, 1, 70}), Tunes(mark));
}

TEST_F(TunerPanel, APresetButtonTunesItsChannel) {
    uint32_t mark = wt::Board::LogTotal();
    Click(10, 22);  // PRESET0 at (0, 0) of the grid
    EXPECT_EQ((std::vector<int>{1}), Tunes(mark));
    Click(10, 22 + 15);  // PRESET1 holds no channel: nothing
    EXPECT_EQ((std::vector<int>{1}), Tunes(mark));
}

TEST_F(TunerPanel, TheSourceButtonSwitchesTheInput) {
    uint32_t mark = wt::Board::LogTotal();
    Click(20, 135);  // SOURCE: TV -> S-Video (no cable TV)
    auto snapshot = wt::Board::Snapshot();
    EXPECT_EQ(0x21, snapshot->decoderInput);
    EXPECT_EQ(2, snapshot->path);
    bool prepared = false;
    for (const auto& e : wt::Board::Log(board::kZtuner, mark)) prepared |= e.code == 22;
    EXPECT_TRUE(prepared);
}

TEST_F(TunerPanel, TheRemotesChannelKeyTunesEvenWhileTheViewerIsInactive) {
    ASSERT_TRUE(ViewerFolder().Copy("REMCTL.EXE"));
    CloseViewer(viewer);
    wt::ChildProcess remote;
    ASSERT_TRUE(remote.Start("\"" + ViewerFolder().File("REMCTL.EXE") + "\""));
    ASSERT_NE(nullptr, wt::WaitForWindow("KivoRemote", nullptr, 10000));
    ASSERT_TRUE(StartViewer(viewer));
    ASSERT_NE(nullptr, WaitUntilStarted(viewer));
    HWND other = wt::ActivateOwnWindow("other");
    uint32_t mark = wt::Board::LogTotal();
    wt::ChildProcess send;
    ASSERT_TRUE(send.Start("\"" + ViewerFolder().File("REMCTL.EXE") + "\" /send TV_CH_UP"));
    EXPECT_EQ(0, send.Wait(10000));
    for (int i = 0; i < 50 && Tunes(mark).empty(); ++i) wt::PumpMessages(50);
    EXPECT_EQ((std::vector<int>{70}), Tunes(mark));
    DestroyWindow(other);
    wt::ChildProcess quit;
    if (quit.Start("\"" + ViewerFolder().File("REMCTL.EXE") + "\" /quit")) quit.Wait(10000);
}

TEST_F(TunerPanel, ThePowerButtonEndsTheViewerAndTheSelectionIsSaved) {
    Click(10, 22);  // preset 0
    SetForegroundWindow(panel);
    wt::PumpMessages(200);
    Click(8, 8);  // Power at (1, 1)
    EXPECT_GE(viewer.Wait(15000), 0);
    std::string ini = wt::ReadFile(ViewerFolder().File("ZORTV.INI"));
    EXPECT_NE(std::string::npos, ini.find("CurrentPreset=0")) << ini;
    // The hand-off record is left in the program folder.
    std::string record = wt::ReadFile(ViewerFolder().File("TVCTRL.QIF"));
    ASSERT_EQ(187u, record.size());
    EXPECT_EQ("TV", record.substr(0, 2));
    EXPECT_EQ(2, record[2]);
    EXPECT_EQ(0, record[4]);  // TV
    EXPECT_EQ(0, record[5]);  // Main
    EXPECT_EQ(1, record[6]);  // preset 0 + 1
    EXPECT_EQ(1, record[12]);  // preset 0 holds channel 1
    EXPECT_EQ("NHK", record.substr(13, 3));
    EXPECT_EQ(static_cast<char>(255), record[12 + 14]);  // preset 1 is empty
    EXPECT_EQ(70, record[12 + 14 * 7]);
}

}  // namespace
