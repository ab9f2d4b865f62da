// The multi-screen view of a live viewer: one cell per valid preset, the capture window touring
// the cells while the board is tuned to each, the green frame moved by keys, a pick by Enter or
// by a click, the ways back to the channel of before, and what refuses meanwhile. Then the
// setup program started from the panel: its presets and picture values reach the panel, and
// the viewer closes it when it ends.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tuner_core.h"
#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

constexpr int kCell = 122;  // a cell and its gap
constexpr int kMultiClientW = 3 * 122 + 17, kMultiClientH = 293;

// A still clip of one colour (studio-range BT.601), 64 x 48.
std::string ColourClip(uint8_t y, uint8_t u, uint8_t v) {
    std::string clip = "YUV4MPEG2 W64 H48 F25:1\nFRAME\n";
    clip += std::string(64 * 48, char(y)) + std::string(32 * 24, char(u)) + std::string(32 * 24, char(v));
    return clip;
}

// Channel codes the board was tuned to since `after`.
std::vector<int> Tunes(uint32_t after) {
    std::vector<int> codes;
    for (const auto& e : wt::Board::Log(board::kZtuner, after))
        if (e.code == 16) codes.push_back(e.in[0] | e.in[1] << 8);
    return codes;
}

int Requests(uint32_t code, uint32_t after) {
    int n = 0;
    for (const auto& e : wt::Board::Log(board::kZtuner, after)) n += e.code == code;
    return n;
}

COLORREF Pixel(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

bool Is(char colour, COLORREF c) {
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    switch (colour) {
    case 'r': return r > 180 && g < 70 && b < 70;
    case 'g': return g > 180 && r < 70 && b < 70;
    case 'b': return b > 180 && r < 70 && g < 70;
    case 'k': return r < 20 && g < 20 && b < 20;
    }
    return false;
}

SIZE ClientSize(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

bool WaitForClient(HWND w, int cx, int cy, DWORD ms = 8000) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        const SIZE s = ClientSize(w);
        if (s.cx == cx && s.cy == cy) return true;
        wt::PumpMessages(50);
    }
    return false;
}

// A press and release posted to another program's window, and time for it to act on them.
void Click(HWND w, int x, int y) {
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    DWORD_PTR result;
    SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    wt::PumpMessages(100);
}

// A control's text in another program (its own text, not the caption the system keeps).
std::string ControlText(HWND control) {
    char text[64] = {};
    DWORD_PTR result;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_ABORTIFHUNG, 3000, &result);
    return text;
}

template <class Condition>
bool WaitFor(Condition c, DWORD ms = 8000) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (c()) return true;
        wt::PumpMessages(50);
    }
    return c();
}

class MultiScreen : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        const auto& folder = LiveFolder();
        ASSERT_TRUE(folder.Write("red.y4m", ColourClip(81, 90, 240)));
        ASSERT_TRUE(folder.Write("green.y4m", ColourClip(145, 54, 34)));
        ASSERT_TRUE(folder.Write("blue.y4m", ColourClip(41, 240, 110)));
        wt::Board::Reset(("[video]\n2=" + folder.File("red.y4m") + "\n3=" + folder.File("green.y4m") + "\n4=" +
                          folder.File("blue.y4m") + "\n")
                             .c_str());
        // Three valid presets (0, 1, 4): three cells in a 3 x 3 mosaic; preset 1 is on view.
        ASSERT_TRUE(folder.Write("ZORTV.INI", "[ZORTV]\r\nWindow=100,80,0,240,0\r\nChannel1=2,Red\r\n"
                                              "Channel2=3,Green\r\nChannel5=4,Blue\r\nCurrentPreset=1\r\n"));
        DeleteFileA(folder.File("KVSETUP.EXE").c_str());
        ASSERT_TRUE(folder.Copy("KVSETUP.EXE"));
        LiveWindows w;
        ASSERT_NO_FATAL_FAILURE(StartLive(viewer, w, true));
        main = w.main, tuner = w.tuner, deck = w.deck, capture = w.capture;
        ASSERT_EQ(320 + 15, ClientSize(main).cx);
    }
    void TearDown() override {
        if (HWND setup = FindWindowA("KIVOSETUP", nullptr)) PostMessageA(setup, WM_CLOSE, 0, 0);
        if (viewer.Running()) CloseViewer(viewer);
    }
    // An option button of the panel, counted from the panel's bottom as its layout stacks them.
    void ClickOption(int fromBottom) {
        const int h = ClientSize(tuner).cy - 2;
        Click(tuner, 30, h - fromBottom + 1 + 7);
    }
    void PressMulti() { ClickOption(47); }
    // The view shown, its tour under way: the mosaic's size and the board tuned at least twice.
    void EnterView() {
        mark = wt::Board::LogTotal();
        PressMulti();
        ASSERT_TRUE(WaitForClient(main, kMultiClientW, kMultiClientH))
            << "the mosaic's fixed size; tunes " << Tunes(mark).size() << ", client " << ClientSize(main).cx;
        ASSERT_TRUE(WaitFor([&] { return Tunes(mark).size() >= 2; }));
    }
    // Back in the normal view, its teardown over: the picture fills the video area again.
    bool WaitForNormalView() {
        if (!WaitForClient(main, 320 + 15, 240 + 15)) return false;
        const bool fitted = WaitFor([&] {
            RECT c{};
            GetClientRect(capture, &c);
            return c.right == 320 && c.bottom == 240;
        });
        wt::PumpMessages(300);
        return fitted;
    }
    void Key(UINT key) {
        PostMessageA(main, WM_KEYDOWN, key, 1);
        wt::PumpMessages(200);
    }
    // The cell's centre, as the screen shows it.
    COLORREF CellCentre(int cell) { return Pixel(main, 2 + cell * kCell + 60, 2 + 45); }
    // The left edge of the frame round a cell of the first row.
    COLORREF FrameEdge(int cell) { return Pixel(main, cell * kCell, 50); }

    wt::ChildProcess viewer;
    HWND main = nullptr, tuner = nullptr, deck = nullptr, capture = nullptr;
    uint32_t mark = 0;
};

TEST_F(MultiScreen, EveryPresetsChannelInItsCellAndEnterPicksTheFramedOne) {
    ASSERT_NO_FATAL_FAILURE(EnterView());
    EXPECT_FALSE(IsWindowVisible(deck)) << "the deck is put away";
    RECT c{};
    GetClientRect(capture, &c);
    EXPECT_EQ(120, c.right);
    EXPECT_EQ(90, c.bottom);

    // After one tour every cell holds its channel's colour.
    // The tour's pace: one cell per fifteen frames of 66.7 ms, about a second.
    ASSERT_TRUE(WaitFor([&] { return Tunes(mark).size() >= 2; }, 10000));
    const DWORD tourStart = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return Tunes(mark).size() >= 5; }, 10000));
    const DWORD perCell = (GetTickCount() - tourStart) / 3;
    std::printf("multi-screen tour: %lu ms per cell\n", static_cast<unsigned long>(perCell));
    EXPECT_GT(perCell, 700u);
    EXPECT_LT(perCell, 2000u);
    const bool filled = WaitFor([&] { return Is('r', CellCentre(0)) && Is('g', CellCentre(1)) && Is('b', CellCentre(2)); },
                                10000);
    EXPECT_TRUE(filled) << std::hex << CellCentre(0) << " " << CellCentre(1) << " " << CellCentre(2);
    wt::SaveScreenshot(wt::InProgramFolder("multi-screen-screenshot.bmp"));
    EXPECT_TRUE(Is('k', Pixel(main, 2 + 60, 2 + 92 + 45))) << "no preset for the second row";
    // The board followed the capture window: cell 0's channel first, then round the cells.
    const std::vector<int> tunes = Tunes(mark);
    ASSERT_GE(tunes.size(), 4u);
    EXPECT_EQ((std::vector<int>{2, 3, 4, 2}), std::vector<int>(tunes.begin(), tunes.begin() + 4));

    // The green frame starts round the preset that was on view and moves with the keys.
    EXPECT_TRUE(Is('g', FrameEdge(1)));
    EXPECT_TRUE(Is('k', FrameEdge(0)));
    Key(VK_RIGHT);
    EXPECT_TRUE(Is('g', FrameEdge(2)));
    EXPECT_TRUE(Is('k', FrameEdge(1)));
    Key(VK_RIGHT);  // the last column
    Key(VK_DOWN);   // no preset below
    EXPECT_TRUE(Is('g', FrameEdge(2)));
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_TRUE(Is('g', FrameEdge(0)));

    // Enter: the normal view at its size on preset 0's channel.
    Key(VK_RETURN);
    ASSERT_TRUE(WaitForNormalView());
    ASSERT_TRUE(WaitFor([&] { return wt::Board::Snapshot()->channel == 2; }));
    GetClientRect(capture, &c);
    EXPECT_EQ(320, c.right);
    EXPECT_EQ(240, c.bottom);
    EXPECT_TRUE(WaitFor([&] { return Is('r', Pixel(capture, 160, 120)); }, 3000)) << "the live picture is back";
    const uint32_t after = wt::Board::LogTotal();
    wt::PumpMessages(1500);
    EXPECT_TRUE(Tunes(after).empty()) << "the tour has ended";
    ASSERT_TRUE(CloseViewer(viewer));
    char preset[8] = {};
    GetPrivateProfileStringA("ZORTV", "CurrentPreset", "", preset, sizeof preset, LiveFolder().File("ZORTV.INI").c_str());
    EXPECT_STREQ("0", preset);
}

TEST_F(MultiScreen, EscapeTheButtonAndAnotherProgramReturnToTheChannelOfBefore) {
    ASSERT_NO_FATAL_FAILURE(EnterView());
    ASSERT_TRUE(WaitFor([&] { return Tunes(mark).size() >= 3; }));
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitForNormalView());
    EXPECT_TRUE(WaitFor([&] { return wt::Board::Snapshot()->channel == 3; })) << "preset 1 again";
    // Each visit opens the codec through the compression manager and closes it: nothing of that
    // may stay with the viewer (a thread handle and an event stayed per visit once, and on i686
    // the two semaphores of the codec's static runtime).
    const DWORD warm = wt::HandlesHeldBy(viewer.Id());
    const DWORD warmGdi = wt::GdiObjectsOf(viewer.Handle());
    EXPECT_GT(warmGdi, 0u);

    // The panel's button again.
    ASSERT_NO_FATAL_FAILURE(EnterView());
    PressMulti();
    ASSERT_TRUE(WaitForNormalView());
    EXPECT_TRUE(WaitFor([&] { return wt::Board::Snapshot()->channel == 3; }));

    // Another program becomes active.
    SetForegroundWindow(main);
    ASSERT_NO_FATAL_FAILURE(EnterView());
    HWND other = wt::ActivateOwnWindow("another program");
    EXPECT_TRUE(WaitForNormalView());
    EXPECT_TRUE(WaitFor([&] { return wt::Board::Snapshot()->channel == 3; }));
    DestroyWindow(other);
    EXPECT_LE(wt::HandlesHeldBy(viewer.Id()), warm) << "handles after two more visits";
    // The mosaic's picture, its palette and the cells' bitmaps go with each visit; the repaints
    // after the activation change hold a region or two for a moment.
    EXPECT_TRUE(WaitFor([&] { return wt::GdiObjectsOf(viewer.Handle()) <= warmGdi; }, 3000))
        << "GDI objects after two more visits: " << wt::GdiObjectsOf(viewer.Handle()) << " against " << warmGdi;
}

TEST_F(MultiScreen, PanelsRefuseMeanwhileAndAClickPicksACell) {
    ASSERT_NO_FATAL_FAILURE(EnterView());
    const uint32_t before = wt::Board::LogTotal();
    Click(tuner, 30, ClientSize(tuner).cy - 2 - 43 - 80 + 1 + 10);  // SOURCE
    RECT client{};
    GetClientRect(main, &client);
    Click(main, client.right / 2, client.bottom - 7);  // the deck's tab
    ClickOption(15);                                              // SETUP
    PostMessageA(main, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);        // full screen
    wt::PumpMessages(800);
    EXPECT_EQ(0, Requests(12, before)) << "no input switched";
    EXPECT_FALSE(IsWindowVisible(deck));
    EXPECT_EQ(nullptr, FindWindowA("KIVOSETUP", nullptr));
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ"));
    RECT frame{};
    GetWindowRect(main, &frame);
    DWORD_PTR hit = 0;
    SendMessageTimeoutA(main, WM_NCHITTEST, 0, MAKELPARAM(frame.left + 40, frame.top + 8), SMTO_ABORTIFHUNG, 3000, &hit);
    EXPECT_EQ(HTNOWHERE, LRESULT(hit)) << "the caption does not move the window";

    // A click on the third cell ends the view on its preset (4, channel 4).
    Click(main, 2 + 2 * kCell + 30, 2 + 30);
    ASSERT_TRUE(WaitForNormalView());
    EXPECT_TRUE(WaitFor([&] { return wt::Board::Snapshot()->channel == 4; }));
    SendMessageTimeoutA(main, WM_NCHITTEST, 0, MAKELPARAM(frame.left + 40, frame.top + 8), SMTO_ABORTIFHUNG, 3000, &hit);
    EXPECT_EQ(HTCAPTION, LRESULT(hit));

    // In the normal view the caption's double click asks for full screen: refused on Windows 98.
    PostMessageA(main, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 5000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("全画面表示はWindows98以降ではサポートされていません", wt::MessageBoxText(box));
    EXPECT_TRUE(wt::AnswerMessageBox(box, IDOK));
}

TEST_F(MultiScreen, TheSetupProgramEditsPresetsAndPictureAndEndsWithTheViewer) {
    const std::string ini = LiveFolder().File("ZORTV.INI");
    ClickOption(15);  // SETUP
    HWND setup = wt::WaitForWindow("KIVOSETUP", "ＫＩＶＯセットアップ", 8000);
    ASSERT_NE(nullptr, setup);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(deck); }, 3000)) << "the deck is put away";
    HWND name2 = GetDlgItem(setup, 1201), channel3 = GetDlgItem(setup, 1102), bright = GetDlgItem(setup, 1300);
    ASSERT_TRUE(name2 && channel3 && bright);
    ASSERT_TRUE(WaitFor([&] { return ControlText(name2) == "Green"; }, 3000)) << "the presets are read";
    EXPECT_EQ("3", ControlText(GetDlgItem(setup, 1101)));
    // The deck's tab refuses while the setup program runs.
    RECT client{};
    GetClientRect(main, &client);
    Click(main, client.right / 2, client.bottom - 7);
    wt::PumpMessages(300);
    EXPECT_FALSE(IsWindowVisible(deck));

    DWORD_PTR r;
    SendMessageTimeoutA(name2, WM_SETTEXT, 0, LPARAM("Midori"), SMTO_ABORTIFHUNG, 3000, &r);
    SendMessageTimeoutA(channel3, WM_SETTEXT, 0, LPARAM("C20"), SMTO_ABORTIFHUNG, 3000, &r);
    SendMessageTimeoutA(bright, TBM_SETPOS, TRUE, 25, SMTO_ABORTIFHUNG, 3000, &r);
    PostMessageA(setup, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(wt::WaitForNoWindow("KIVOSETUP", nullptr, 5000));
    char text[32] = {};
    GetPrivateProfileStringA("ZORTV", "Channel2", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ("3,Midori", text);
    GetPrivateProfileStringA("ZORTV", "Channel3", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ("70,C20", text);
    GetPrivateProfileStringA("ZORTV", "Brightness", "", text, sizeof text, ini.c_str());
    EXPECT_STREQ("25", text);
    // The panel reloaded the picture: the board's brightness register for level 25.
    EXPECT_TRUE(WaitFor([&] {
        return wt::Board::Snapshot()->decoder[kvtun::kDecBrightness] == kvtun::ComputePicture(25, 56).brightness;
    }, 3000));
    // ... and the presets: the new third preset tunes cable channel C20 (code 70).
    const uint32_t tuned = wt::Board::LogTotal();
    Click(tuner, 15, 1 + 30 + 7);  // PRESET2
    EXPECT_TRUE(WaitFor([&] { return !Tunes(tuned).empty(); }, 3000));
    EXPECT_EQ((std::vector<int>{70}), Tunes(tuned));

    // Started again, it is closed by the viewer's end.
    ClickOption(15);
    ASSERT_NE(nullptr, wt::WaitForWindow("KIVOSETUP", "ＫＩＶＯセットアップ", 8000));
    ASSERT_TRUE(CloseViewer(viewer));
    EXPECT_TRUE(wt::WaitForNoWindow("KIVOSETUP", nullptr, 5000));
}

}  // namespace
