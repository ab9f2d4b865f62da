// Still pictures from the deck's Still mode with live television: a single frame and a 3 x 3
// mosaic grabbed into the main window and onto the clipboard, saved as BMP files, loaded back
// (and bad files refused with the still kept), made the wallpaper; on a 256-colour screen the
// still is reduced to the tuner library's palette. The saved files are read by ImageMagick in a
// test of their own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

// The deck's buttons in Still mode (client points of the deck).
constexpr POINT kRecord{201, 49}, kStop{50, 49}, kPlay{74, 49}, kLoad{39, 21}, kSave{86, 21}, kWall{133, 21},
    kFrames{321, 77};

void PostClick(HWND w, POINT p) {
    const LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(w, WM_MOUSEMOVE, 0, at);
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
}

template <typename Ready>
bool WaitFor(Ready ready, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (ready()) return true;
        wt::PumpMessages(50);
    }
    return ready();
}

// A client point of the viewer's window as the screen shows it.
COLORREF Pixel(HWND w, int x, int y) {
    POINT p{x, y};
    ClientToScreen(w, &p);
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
}

struct Rgb {
    int r, g, b;
};

void ExpectNear(Rgb want, Rgb got, int tolerance, const std::string& what) {
    EXPECT_NEAR(want.r, got.r, tolerance) << what;
    EXPECT_NEAR(want.g, got.g, tolerance) << what;
    EXPECT_NEAR(want.b, got.b, tolerance) << what;
}

Rgb Of(COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; }

// The sample clip's quarters, at a point of a picture w x h (from its top-left).
constexpr Rgb kRed{236, 13, 14}, kGreen{14, 244, 14}, kBlue{16, 13, 237}, kWhite{235, 235, 235};

// The packed bitmap the clipboard holds as CF_DIB, read by this process.
struct ClipboardDib {
    std::vector<uint8_t> bytes;
    bool palette = false;  // CF_PALETTE there too
    bool bitmap = false;   // and CF_BITMAP
    const BITMAPINFOHEADER& Header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data()); }
    // Colour of a pixel counted from the top-left.
    Rgb At(int x, int y) const {
        const BITMAPINFOHEADER& h = Header();
        const DWORD colours = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? 1u << h.biBitCount : 0);
        const uint8_t* bits = bytes.data() + h.biSize + colours * 4;
        const size_t stride = (size_t(h.biWidth) * h.biBitCount + 31) / 32 * 4;
        const uint8_t* row = bits + size_t(h.biHeight - 1 - y) * stride;
        if (h.biBitCount == 8) {
            const uint8_t* c = bytes.data() + h.biSize + 4 * row[x];
            return Rgb{c[2], c[1], c[0]};
        }
        const uint8_t* p = row + 3 * x;
        return Rgb{p[2], p[1], p[0]};
    }
};

ClipboardDib ReadClipboard() {
    ClipboardDib dib;
    if (!OpenClipboard(nullptr)) return dib;
    if (HANDLE h = GetClipboardData(CF_DIB)) {
        const auto* p = static_cast<const uint8_t*>(GlobalLock(h));
        if (p) dib.bytes.assign(p, p + GlobalSize(h));
        GlobalUnlock(h);
    }
    dib.palette = IsClipboardFormatAvailable(CF_PALETTE) != FALSE;
    dib.bitmap = IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
    CloseClipboard();
    return dib;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

// Waits for a still of that size on the clipboard.
ClipboardDib WaitForClipboardStill(LONG width, LONG height, DWORD ms = 20000) {
    ClipboardDib dib;
    WaitFor([&] {
        dib = ReadClipboard();
        return dib.bytes.size() >= sizeof(BITMAPINFOHEADER) && dib.Header().biWidth == width &&
               dib.Header().biHeight == height;
    }, ms);
    return dib;
}

// Answers the open or save dialog the deck opened with a file name.
bool AnswerFileDialog(DWORD processId, const std::string& path) {
    HWND dialog = wt::WaitForDialogOf(processId, 15000);
    if (!dialog) return false;
    HWND name = nullptr;
    if (!WaitFor([&] { return (name = GetDlgItem(dialog, 0x47C)) || (name = GetDlgItem(dialog, 0x480)); }, 5000))
        return false;
    SetWindowTextA(name, path.c_str());
    if (HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr)) SetWindowTextA(edit, path.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return WaitFor([&] { return !IsWindow(dialog); }, 10000);
}

uint32_t Le32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}

std::string CFile(const char* name) { return std::string("C:\\") + name; }

class Stills : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset(("[video]\n2=" + wt::InProgramFolder("clips\\sample.y4m") + "\n").c_str());
        for (const char* f : {"STILL1.BMP", "MOSAIC.BMP", "BAD.BMP", "STILL256.BMP"}) DeleteFileA(CFile(f).c_str());
        DeleteFileA(LiveFolder().File("ZORWALL.BMP").c_str());
        EmptyTheClipboard();
        // Still mode, the shortest interval, single frames.
        ASSERT_TRUE(LiveFolder().Write("ZORTV.INI", "[ZORTV]\r\nWindow=16,16,0,240,0\r\nChannel1=2,Two\r\n"
                                                    "CurrentPreset=0\r\nCapture=0\r\nFrames=1\r\nInterval=0\r\n"));
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
    }
    void Start() {
        LiveWindows w;
        ASSERT_NO_FATAL_FAILURE(StartLive(viewer, w, false));
        main = w.main, deck = w.deck, capture = w.capture;
        wt::PumpMessages(1000);
    }
    // The still on view in the main window: the live picture hidden, the quarters at their places
    // in a picture of w x h whose top-left is at (x0, y0).
    void ExpectQuartersOnScreen(int x0, int y0, int w, int h, const std::string& what) {
        ExpectNear(kRed, Of(Pixel(main, x0 + w / 4, y0 + h / 4)), 16, what + ": red quarter");
        ExpectNear(kGreen, Of(Pixel(main, x0 + 3 * w / 4, y0 + h / 4)), 16, what + ": green quarter");
        ExpectNear(kBlue, Of(Pixel(main, x0 + w / 4, y0 + 3 * h / 4)), 16, what + ": blue quarter");
        ExpectNear(kWhite, Of(Pixel(main, x0 + 3 * w / 4, y0 + 3 * h / 4)), 16, what + ": white quarter");
    }
    wt::ChildProcess viewer;
    HWND main = nullptr, deck = nullptr, capture = nullptr;
};

int ScreenDepth() {
    HDC dc = GetDC(nullptr);
    const int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    return depth;
}

TEST_F(Stills, GrabsSavesLoadsCopiesAndMakesTheWallpaper) {
    if (ScreenDepth() <= 8) GTEST_SKIP() << "the true-colour run";
    ASSERT_NO_FATAL_FAILURE(Start());

    // One frame: on the clipboard as a 24-bit picture of the video area, and on view.
    PostClick(deck, kRecord);
    ClipboardDib single = WaitForClipboardStill(320, 240);
    ASSERT_EQ(320, single.Header().biWidth) << "a still on the clipboard";
    EXPECT_EQ(24, single.Header().biBitCount);
    EXPECT_EQ(40u + 320 * 240 * 3, single.bytes.size());
    EXPECT_TRUE(single.bitmap);
    EXPECT_FALSE(single.palette) << "no palette for a true-colour still";
    ExpectNear(kRed, single.At(80, 60), 16, "clipboard red");
    ExpectNear(kGreen, single.At(240, 60), 16, "clipboard green");
    ExpectNear(kBlue, single.At(80, 180), 16, "clipboard blue");
    ExpectNear(kWhite, single.At(240, 180), 16, "clipboard white");
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(capture); }, 5000)) << "the live picture gives way";
    wt::PumpMessages(300);
    ExpectQuartersOnScreen(0, 0, 320, 240, "single still on view");

    // Saved: a 24-bit BMP with its rows right after the 54 header bytes.
    PostClick(deck, kSave);
    ASSERT_TRUE(AnswerFileDialog(viewer.Id(), CFile("STILL1.BMP")));
    ASSERT_TRUE(WaitFor([] { return wt::FileExists(CFile("STILL1.BMP")); }, 5000));
    const std::string saved = wt::ReadFile(CFile("STILL1.BMP"));
    ASSERT_EQ(54u + 320 * 240 * 3, saved.size());
    EXPECT_EQ("BM", saved.substr(0, 2));
    EXPECT_EQ(saved.size(), Le32(saved, 2));
    EXPECT_EQ(54u, Le32(saved, 10));
    EXPECT_EQ(single.bytes, std::vector<uint8_t>(saved.begin() + 14, saved.end())) << "the still as it was copied";
    EXPECT_TRUE(CopyFileA(CFile("STILL1.BMP").c_str(), wt::InProgramFolder("still-single.bmp").c_str(), FALSE));

    // A 3 x 3 mosaic: the grid button steps 1 -> 2 -> 3; 90-row tiles of a 240-row area make
    // a 360 x 270 picture, the window sized to it.
    WaitFor([&] { return IsWindowEnabled(deck) && IsWindowEnabled(main); }, 5000);
    PostClick(deck, kFrames);
    PostClick(deck, kFrames);
    wt::PumpMessages(300);
    EmptyTheClipboard();
    PostClick(deck, kRecord);
    ClipboardDib mosaic = WaitForClipboardStill(360, 270);
    ASSERT_EQ(360, mosaic.Header().biWidth) << "a mosaic on the clipboard";
    EXPECT_EQ(24, mosaic.Header().biBitCount);
    for (int cell = 0; cell < 9; ++cell) {
        const int x0 = 120 * (cell % 3), y0 = 90 * (cell / 3);
        const std::string where = "cell " + std::to_string(cell);
        ExpectNear(kRed, mosaic.At(x0 + 30, y0 + 22), 20, where + " red");
        ExpectNear(kGreen, mosaic.At(x0 + 90, y0 + 22), 20, where + " green");
        ExpectNear(kBlue, mosaic.At(x0 + 30, y0 + 67), 20, where + " blue");
        ExpectNear(kWhite, mosaic.At(x0 + 90, y0 + 67), 20, where + " white");
    }
    wt::PumpMessages(500);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(360 + 15, client.right) << "the main window takes the mosaic's size";
    EXPECT_EQ(270 + 15, client.bottom);
    ExpectQuartersOnScreen(240, 180, 120, 90, "bottom-right cell on view");
    PostClick(deck, kSave);
    ASSERT_TRUE(AnswerFileDialog(viewer.Id(), CFile("MOSAIC.BMP")));
    ASSERT_TRUE(WaitFor([] { return wt::FileExists(CFile("MOSAIC.BMP")); }, 5000));
    EXPECT_TRUE(CopyFileA(CFile("MOSAIC.BMP").c_str(), wt::InProgramFolder("still-mosaic.bmp").c_str(), FALSE));

    // The single still loaded back: shown at its own size, not put on the clipboard.
    WaitFor([&] { return IsWindowEnabled(deck) && IsWindowEnabled(main); }, 5000);
    PostClick(deck, kLoad);
    ASSERT_TRUE(AnswerFileDialog(viewer.Id(), CFile("STILL1.BMP")));
    ASSERT_TRUE(WaitFor([&] {
        RECT c{};
        GetClientRect(main, &c);
        return c.right == 320 + 15 && c.bottom == 240 + 15;
    }, 5000));
    wt::PumpMessages(300);
    ExpectQuartersOnScreen(0, 0, 320, 240, "loaded still");
    EXPECT_EQ(360, ReadClipboard().Header().biWidth) << "the clipboard keeps the mosaic";

    // Bad files: each refused with a message, the loaded still stays on view.
    std::string bad = saved;
    bad.resize(saved.size() - 1);  // one byte short of its rows
    std::string topDown = saved;
    topDown[22 + 3] = char(0xFF);  // height -240...
    topDown[22] = char(0x10);
    topDown[23] = char(0xFF);
    topDown[24] = char(0xFF);
    std::string compressed = saved;
    compressed[30] = 1;
    const std::pair<std::string, const char*> bads[] = {
        {bad, "ＢＭＰファイルの内容が壊れているため、読み込めません。"},
        {topDown, "この形式のＢＭＰファイルは読み込めません。"},
        {compressed, "この形式のＢＭＰファイルは読み込めません。"},
        {std::string("BM\x10\0\0\0", 6), "ＢＭＰファイルの内容が壊れているため、読み込めません。"},
    };
    for (const auto& [bytes, message] : bads) {
        ASSERT_TRUE(wt::WriteFile(CFile("BAD.BMP"), bytes));
        WaitFor([&] { return IsWindowEnabled(deck) && IsWindowEnabled(main); }, 5000);
        PostClick(deck, kLoad);
        ASSERT_TRUE(AnswerFileDialog(viewer.Id(), CFile("BAD.BMP")));
        HWND box = wt::WaitForMessageBox("ＫＩＶＯ", 10000);
        ASSERT_NE(nullptr, box) << message;
        EXPECT_EQ(message, wt::MessageBoxText(box));
        wt::AnswerMessageBox(box, IDOK);
        EXPECT_EQ(bytes, wt::ReadFile(CFile("BAD.BMP"))) << "the file is left as it was";
        wt::PumpMessages(500);
        EXPECT_FALSE(IsWindowVisible(capture)) << message;
        ExpectQuartersOnScreen(0, 0, 320, 240, std::string("still kept after ") + message);
    }

    // Stop brings the live picture back; Play shows the still again.
    PostClick(deck, kStop);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(capture) != FALSE; }, 5000));
    PostClick(deck, kPlay);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(capture); }, 5000));

    // The wallpaper: ZORWALL.BMP in the program folder, tiled, set through the system.
    PostClick(deck, kWall);
    const std::string wall = LiveFolder().File("ZORWALL.BMP");
    ASSERT_TRUE(WaitFor([&] { return wt::FileExists(wall); }, 5000));
    wt::PumpMessages(500);
    EXPECT_EQ(saved, wt::ReadFile(wall));
    char setting[MAX_PATH] = {};
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof setting, setting, 0);
    char full[MAX_PATH] = {};
    GetFullPathNameA(wall.c_str(), sizeof full, full, nullptr);
    EXPECT_EQ(0, lstrcmpiA(full, setting)) << setting << " against " << full;
    char tile[8] = {};
    GetProfileStringA("Desktop", "TileWallpaper", "", tile, sizeof tile);
    EXPECT_STREQ("1", tile);
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
}

// A dithered area: every colour a palette colour (channels in steps of 17), the mean that of the
// picture it stands for.
void ExpectDithered(const ClipboardDib& dib, int x0, int y0, Rgb want, const std::string& what) {
    int r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y0 + 40; ++y)
        for (int x = x0; x < x0 + 40; ++x, ++n) {
            const Rgb c = dib.At(x, y);
            ASSERT_TRUE(c.r % 17 == 0 && c.g % 17 == 0 && c.b % 17 == 0) << what << " at " << x << "," << y;
            r += c.r;
            g += c.g;
            b += c.b;
        }
    ExpectNear(want, Rgb{r / n, g / n, b / n}, 12, what + ": its mean");
}

TEST_F(Stills, OnA256ColourScreenTheStillTakesTheFixedPalette) {
    if (ScreenDepth() > 8) GTEST_SKIP() << "the 256-colour run";
    ASSERT_NO_FATAL_FAILURE(Start());
    PostClick(deck, kRecord);
    ClipboardDib still = WaitForClipboardStill(320, 240);
    ASSERT_EQ(320, still.Header().biWidth) << "a still on the clipboard";
    EXPECT_EQ(8, still.Header().biBitCount);
    EXPECT_EQ(256u, still.Header().biClrUsed);
    EXPECT_EQ(40u + 1024 + 320 * 240, still.bytes.size());
    EXPECT_TRUE(still.palette) << "CF_PALETTE beside CF_DIB";
    EXPECT_TRUE(still.bitmap);
    // The tuner library's palette: greys, ramps, then the cube.
    const uint8_t* table = still.bytes.data() + 40;
    EXPECT_EQ(0, std::memcmp(table + 4 * 1, "\x11\x11\x11", 3)) << "grey 17";
    EXPECT_EQ(0, std::memcmp(table + 4 * 11, "\x11\x00\x00", 3)) << "blue ramp 17";
    EXPECT_EQ(0, std::memcmp(table + 4 * 83, "\x33\x33\x33", 3)) << "cube grey 51";
    EXPECT_EQ(0, std::memcmp(table + 4 * 255, "\xFF\xFF\xFF", 3)) << "white";
    ExpectDithered(still, 60, 40, kRed, "red quarter");
    ExpectDithered(still, 220, 40, kGreen, "green quarter");
    ExpectDithered(still, 60, 160, kBlue, "blue quarter");
    ExpectDithered(still, 220, 160, kWhite, "white quarter");
    if (OpenClipboard(nullptr)) {
        HPALETTE palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
        EXPECT_EQ(256u, palette ? GetPaletteEntries(palette, 0, 0, nullptr) : 0u);
        CloseClipboard();
    }

    // Saved with its 256 colours: rows at 1,078.
    PostClick(deck, kSave);
    ASSERT_TRUE(AnswerFileDialog(viewer.Id(), CFile("STILL256.BMP")));
    ASSERT_TRUE(WaitFor([] { return wt::FileExists(CFile("STILL256.BMP")); }, 5000));
    const std::string saved = wt::ReadFile(CFile("STILL256.BMP"));
    ASSERT_EQ(1078u + 320 * 240, saved.size());
    EXPECT_EQ(1078u, Le32(saved, 10));
    EXPECT_TRUE(CopyFileA(CFile("STILL256.BMP").c_str(), wt::InProgramFolder("still-256.bmp").c_str(), FALSE));
}

}  // namespace
