// The main video window with live television: its place from "Window", the docked tuner panel
// and deck, the grow zone, the screen-edge message, the picture of the tuned channel with the
// on-screen display over it, the voice receiver following activation, "Window" at exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

constexpr char kEdgeMessage[] = "画面の右端や下端では、チューナーパネルやビデオデッキは表示できません。";

int FrameW() { return 2 * GetSystemMetrics(SM_CXDLGFRAME); }
int FrameH() { return GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME); }

RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

// Waits until a window's rectangle has its top-left at (x, y).
bool WaitForPlace(HWND w, LONG x, LONG y, DWORD ms = 5000) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
        RECT r = WindowRect(w);
        if (r.left == x && r.top == y) return true;
        wt::PumpMessages(20);
    }
    return false;
}

// Moves another program's window without waiting for it (its handlers may show a message box).
void MoveTo(HWND w, int x, int y) {
    SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

// Whether both panels sit where they dock to the main window now.
bool IsDocked(HWND main, HWND tuner, HWND deck) {
    const RECT m = WindowRect(main), t = WindowRect(tuner), d = WindowRect(deck);
    const int cx = GetSystemMetrics(SM_CXDLGFRAME), cy = GetSystemMetrics(SM_CYDLGFRAME);
    return t.left == m.right - cx - 14 && t.top == m.top + cy + GetSystemMetrics(SM_CYCAPTION) &&
           d.left == m.left + cx && d.top == m.bottom - cy - 15;
}

bool WaitDocked(HWND main, HWND tuner, HWND deck) {
    for (int i = 0; i < 250 && !IsDocked(main, tuner, deck); ++i) wt::PumpMessages(20);
    return IsDocked(main, tuner, deck);
}

// Where the panels dock to a main window at r.
void ExpectDocked(HWND main, HWND tuner, HWND deck, const char* when) {
    const RECT m = WindowRect(main), t = WindowRect(tuner), d = WindowRect(deck);
    const int cx = GetSystemMetrics(SM_CXDLGFRAME), cy = GetSystemMetrics(SM_CYDLGFRAME);
    EXPECT_EQ(m.right - cx - 14, t.left) << when;
    EXPECT_EQ(m.top + cy + GetSystemMetrics(SM_CYCAPTION), t.top) << when;
    EXPECT_EQ(76, t.right - t.left) << when;
    EXPECT_EQ(m.bottom - m.top - FrameH() - 15, t.bottom - t.top) << when << ": as tall as the video area";
    EXPECT_EQ(m.left + cx, d.left) << when;
    EXPECT_EQ(m.bottom - cy - 15, d.top) << when;
}

// A client point of another program's window as the screen shows it (that program's window
// surfaces cannot be read through a DC of its window here).
COLORREF Pixel(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

// Pure green pixels (the display's first line) in the capture window's display corner, read in
// one copy of the screen (pixel by pixel would take longer than the display stays).
int GreenPixels(HWND capture) {
    RECT c{};
    GetClientRect(capture, &c);
    POINT at{c.right - 104, 8};
    ClientToScreen(capture, &at);
    constexpr int kW = 96, kH = 16;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kW;
    info.bmiHeader.biHeight = -kH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, kW, kH, screen, at.x, at.y, SRCCOPY);
    GdiFlush();
    int n = 0;
    const auto* p = static_cast<const uint8_t*>(bits);
    for (int i = 0; i < kW * kH; ++i, p += 4)
        if (p[2] < 40 && p[1] > 200 && p[0] < 40) ++n;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(copy);
    ReleaseDC(nullptr, screen);
    return n;
}

// A drag by the left button from one client point to another, the pointer moving with it.
void Drag(HWND w, POINT from, POINT to) {
    POINT screen = from;
    ClientToScreen(w, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    wt::PumpMessages(150);
    for (int step = 1; step <= 4; ++step) {
        POINT p{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4};
        POINT s = p;
        ClientToScreen(w, &s);
        SetCursorPos(s.x, s.y);
        PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        wt::PumpMessages(80);
    }
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    wt::PumpMessages(300);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset();
        ASSERT_TRUE(LiveFolder().Write("ZORTV.INI", "[ZORTV]\r\nWindow=100,80,0,240,0\r\nChannel1=2,Two\r\n"
                                                    "Channel2=3,Three\r\nCurrentPreset=0\r\n"));
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
    }
    void Start() {
        LiveWindows w;
        ASSERT_NO_FATAL_FAILURE(StartLive(viewer, w, true));
        main = w.main, tuner = w.tuner, deck = w.deck, capture = w.capture;
    }
    std::string Setting(const char* key) {
        char text[128] = {};
        GetPrivateProfileStringA("ZORTV", key, "", text, sizeof text, LiveFolder().File("ZORTV.INI").c_str());
        return text;
    }
    wt::ChildProcess viewer;
    HWND main = nullptr, tuner = nullptr, deck = nullptr, capture = nullptr;
};

TEST_F(MainWindow, OpensAtItsSavedPlaceWithThePictureAndThePanelsDocked) {
    wt::Board::Reset(("[video]\n2=" + wt::InProgramFolder("clips\\sample.y4m") + "\n").c_str());
    ASSERT_NO_FATAL_FAILURE(Start());
    const RECT m = WindowRect(main);
    EXPECT_EQ(100, m.left);
    EXPECT_EQ(80, m.top);
    EXPECT_EQ(FrameW() + 320 + 15, m.right - m.left);
    EXPECT_EQ(FrameH() + 240 + 15, m.bottom - m.top);
    char title[32] = {};
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ("KIVO", title);
    EXPECT_EQ(0x82CA0000, GetWindowLongA(main, GWL_STYLE) & 0x82CB0000) << "no maximise box on Windows 98";
    ExpectDocked(main, tuner, deck, "at start");

    // The capture window covers the video area.
    RECT c{};
    GetWindowRect(capture, &c);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&c), 2);
    EXPECT_EQ(0, c.left);
    EXPECT_EQ(0, c.top);
    EXPECT_EQ(320, c.right);
    EXPECT_EQ(240, c.bottom);
    EXPECT_TRUE(IsWindowVisible(capture));
    // The screenshot of the README.
    wt::PumpMessages(500);
    wt::SaveScreenshot(wt::InProgramFolder("viewer-screenshot.bmp"));
}

TEST_F(MainWindow, PanelsFollowAMoveAndTheGrowZoneSnapsToTheGrid) {
    ASSERT_NO_FATAL_FAILURE(Start());
    MoveTo(main, 140, 60);
    ASSERT_TRUE(WaitForPlace(main, 140, 60));
    EXPECT_TRUE(WaitDocked(main, tuner, deck));
    ExpectDocked(main, tuner, deck, "after the move");

    // A drag of the grow zone by (+100, -50) asks for 420 x 190: the nearest 4:3 step is 360 x 270.
    RECT client{};
    GetClientRect(main, &client);
    Drag(main, POINT{client.right - 7, client.bottom - 7}, POINT{client.right - 7 + 100, client.bottom - 7 - 50});
    for (int i = 0; i < 250 && (GetClientRect(main, &client), client.right != 375); ++i) wt::PumpMessages(20);
    EXPECT_EQ(360 + 15, client.right);
    EXPECT_EQ(270 + 15, client.bottom);
    RECT c{};
    for (int i = 0; i < 250 && (GetClientRect(capture, &c), c.right != 360); ++i) wt::PumpMessages(20);
    EXPECT_TRUE(WaitDocked(main, tuner, deck));
    ExpectDocked(main, tuner, deck, "after the resize");
    EXPECT_EQ(360, c.right) << "the picture fills the new video area";
    EXPECT_EQ(270, c.bottom);

    // "Window" keeps the place and the video area when the viewer ends.
    ASSERT_TRUE(CloseViewer(viewer));
    EXPECT_EQ("140,60,360,270,0", Setting("Window"));
}

TEST_F(MainWindow, TheScreenEdgeHidesTheTunerPanelWithOneMessage) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const int width = WindowRect(main).right - WindowRect(main).left;
    // 30 pixels from the right edge of the 800-pixel desktop: no room for the panel.
    MoveTo(main, 800 - width - 30, 80);
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(kEdgeMessage, wt::MessageBoxText(box));
    EXPECT_TRUE(wt::AnswerMessageBox(box, IDOK));
    EXPECT_FALSE(IsWindowVisible(tuner));
    EXPECT_TRUE(IsWindowVisible(deck));

    // Further along the edge, and back: no second message, and the panel stays closed.
    MoveTo(main, 800 - width - 10, 80);
    ASSERT_TRUE(WaitForPlace(main, 800 - width - 10, 80));
    wt::PumpMessages(300);
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ"));
    MoveTo(main, 100, 80);
    ASSERT_TRUE(WaitForPlace(main, 100, 80));
    wt::PumpMessages(300);
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ"));
    EXPECT_FALSE(IsWindowVisible(tuner));

    // Its tab opens it again, docked.
    RECT client{};
    GetClientRect(main, &client);
    wt::ClickClient(main, client.right - 7, client.bottom / 2);
    for (int i = 0; i < 100 && !IsWindowVisible(tuner); ++i) wt::PumpMessages(20);
    EXPECT_TRUE(IsWindowVisible(tuner));
    EXPECT_TRUE(WaitDocked(main, tuner, deck));
    ExpectDocked(main, tuner, deck, "reopened");
}

void ExpectColour(int r, int g, int b, COLORREF c, const char* what) {
    EXPECT_NEAR(r, GetRValue(c), 12) << what;
    EXPECT_NEAR(g, GetGValue(c), 12) << what;
    EXPECT_NEAR(b, GetBValue(c), 12) << what;
}

TEST_F(MainWindow, ThePictureIsTheTunedChannelWithTheDisplayOverIt) {
    // Channel 2 shows the sample clip: red, green, blue and white quarters.
    const std::string clip = wt::InProgramFolder("clips\\sample.y4m");
    wt::Board::Reset(("[video]\n2=" + clip + "\n").c_str());
    ASSERT_NO_FATAL_FAILURE(Start());
    wt::PumpMessages(1000);
    EXPECT_EQ(2, wt::Board::Snapshot()->channel);
    ExpectColour(236, 13, 14, Pixel(capture, 80, 60), "red quarter");
    ExpectColour(14, 244, 14, Pixel(capture, 240, 60), "green quarter");
    ExpectColour(16, 13, 237, Pixel(capture, 80, 180), "blue quarter");
    ExpectColour(235, 235, 235, Pixel(capture, 240, 180), "white quarter");

    // The second preset button: the board is tuned, the picture follows, and the display
    // shows the preset's name in green over the picture and keeps it there.
    wt::ClickClient(tuner, 15, 23);
    for (int i = 0; i < 100 && wt::Board::Snapshot()->channel != 3; ++i) wt::PumpMessages(20);
    EXPECT_EQ(3, wt::Board::Snapshot()->channel);
    wt::PumpMessages(400);
    // Channel 3 is the board's test picture, beginning with the cyan bar.
    ExpectColour(15, 185, 179, Pixel(capture, 20, 60), "cyan bar of channel 3");
    EXPECT_GT(GreenPixels(capture), 10) << "the channel's name";
    wt::PumpMessages(1000);
    EXPECT_GT(GreenPixels(capture), 10) << "still there a second later, over the moving picture";
    wt::PumpMessages(3000);
    EXPECT_EQ(0, GreenPixels(capture)) << "gone after three seconds";

    // A brighter picture from the setup program's settings.
    const int before = Brightness(Pixel(capture, 20, 60));
    WritePrivateProfileStringA("ZORTV", "Brightness", "25", LiveFolder().File("ZORTV.INI").c_str());
    PostMessageA(tuner, WM_COMMAND, 712, 0);
    wt::PumpMessages(600);
    EXPECT_GT(Brightness(Pixel(capture, 20, 60)), before + 30);
}

TEST_F(MainWindow, TheVoiceReceiverFollowsActivation) {
    ASSERT_NO_FATAL_FAILURE(Start());
    static HMODULE service = LoadLibraryA(LiveFolder().File("KVCMD32.DLL").c_str());
    auto listening = reinterpret_cast<int(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(service, "KvcmdListeningId")));
    ASSERT_NE(nullptr, listening);
    SetForegroundWindow(main);
    for (int i = 0; i < 100 && listening() == 0; ++i) wt::PumpMessages(20);
    EXPECT_NE(0, listening()) << "registered while the viewer is active";

    HWND other = wt::ActivateOwnWindow("another program");
    for (int i = 0; i < 100 && listening() != 0; ++i) wt::PumpMessages(20);
    EXPECT_EQ(0, listening()) << "off while another program is active";

    SetForegroundWindow(main);
    for (int i = 0; i < 100 && listening() == 0; ++i) wt::PumpMessages(20);
    EXPECT_NE(0, listening()) << "on again";
    DestroyWindow(other);
}

}  // namespace

namespace {

// The main window's notices: the desktop-size notice once, the start-up group request when the
// auto-start switch changed, and a display change to 16 colours ending the viewer.
TEST_F(MainWindow, NoticesAndTheStartUpGroupRequest) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string setupIni = std::string(windows) + "\\setup.ini";
    DeleteFileA(setupIni.c_str());
    ASSERT_NO_FATAL_FAILURE(Start());

    PostMessageA(main, WM_COMMAND, 8192, 0);
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("デスクトップ領域の大きさを変更する前に、ＫＩＶＯを終了させてください。", wt::MessageBoxText(box));
    EXPECT_TRUE(wt::AnswerMessageBox(box, IDOK));
    PostMessageA(main, WM_COMMAND, 8192, 0);
    wt::PumpMessages(500);
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ")) << "once per run";

    // The auto-start switch (at this panel height above the multi-screen button) turned on.
    RECT t{};
    GetClientRect(tuner, &t);
    wt::ClickClient(tuner, 30, t.bottom - 2 - 63 + 1 + 7);
    ASSERT_TRUE(CloseViewer(viewer));
    EXPECT_EQ("[progman.groups]\r\ngroup0 = \"ｽﾀｰﾄｱｯﾌﾟ\"\r\n[group0]\r\n\"KIVO\",ZORTV.EXE\r\n", wt::ReadFile(setupIni));
    DeleteFileA(setupIni.c_str());
}

TEST_F(MainWindow, ADisplayOfSixteenColoursEndsTheViewer) {
    ASSERT_NO_FATAL_FAILURE(Start());
    PostMessageA(main, WM_DISPLAYCHANGE, 4, MAKELPARAM(800, 600));
    HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("１６色モードでは使用できません。\nＫＩＶＯを終了します。", wt::MessageBoxText(box));
    EXPECT_TRUE(wt::AnswerMessageBox(box, IDOK));
    EXPECT_GE(viewer.Wait(15000), 0) << "the viewer ends";
}

}  // namespace
