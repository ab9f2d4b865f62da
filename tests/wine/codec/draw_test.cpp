// The driver's draw messages under Wine, against the test DirectDraw. Wine reads a program's
// DLL overrides once, at its start: so this program starts itself again (and the peer) with a
// per-program key that prefers a native "ddraw.dll", found in the DLL directory, and the Draw
// tests run in that second process. The overlay's calls are read from the test DirectDraw's
// shared log. The last tests leave DirectDraw unusable for their process, as a refused overlay
// does, and so run last.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>
#include <ddraw.h>

#include <cstring>
#include <vector>

#include "codec_harness.h"
#include "test_ddraw_control.h"
#include "winetest.h"

using namespace codectest;
using testddraw::Call;

namespace {

const DWORD kTy2d = mmioFOURCC('t', 'y', '2', 'd');
const DWORD kDraw = mmioFOURCC('d', 'r', 'a', 'w');

testddraw::Control* Ctl() { return testddraw::OpenControl(); }

std::vector<Call> Calls(testddraw::Method method) {
    std::vector<Call> out;
    const testddraw::Control* c = Ctl();
    for (uint32_t i = 0; i < c->calls && i < testddraw::kLogSize; ++i)
        if (c->log[i].method == method && c->log[i].process == GetCurrentProcessId()) out.push_back(c->log[i]);
    return out;
}

// The driver's lines to the debugger output: OutputDebugStringA raises an exception that a
// vectored handler sees before anyone else.
class DebugLines {
public:
    DebugLines() { handler_ = AddVectoredExceptionHandler(1, Catch); lines_().clear(); }
    ~DebugLines() { RemoveVectoredExceptionHandler(handler_); }
    std::string Text() const { return lines_(); }

private:
    static std::string& lines_() {
        static std::string text;
        return text;
    }
    static LONG CALLBACK Catch(EXCEPTION_POINTERS* e) {
        const EXCEPTION_RECORD* r = e->ExceptionRecord;
        if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2)
            lines_().append(reinterpret_cast<const char*>(r->ExceptionInformation[1]),
                            size_t(r->ExceptionInformation[0]) ? size_t(r->ExceptionInformation[0]) - 1 : 0);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    void* handler_;
};

constexpr char kChildVariable[] = "KIVO_CODEC_DRAW_CHILD";
const char* const kPrograms[] = {"wine_codec_draw.exe", "codec_peer.exe"};

bool InChild() { return GetEnvironmentVariableA(kChildVariable, nullptr, 0) > 0; }

class Draw : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!InChild()) return;
        SetDllDirectoryA(kivo::wt::InProgramFolder("testddraw").c_str());
        ddraw_ = LoadLibraryA("ddraw.dll");
    }
    void SetUp() override {
        if (!InChild()) GTEST_SKIP() << "runs in the second process";
        ASSERT_NE(nullptr, ddraw_);
        char name[MAX_PATH] = {};
        GetModuleFileNameA(ddraw_, name, MAX_PATH);
        ASSERT_NE(nullptr, std::strstr(name, "testddraw")) << name;
        testddraw::SetDefaults(Ctl());
        ASSERT_TRUE(d_.Ready());
        window_ = CreateWindowExA(0, "STATIC", "draw target", WS_POPUP | WS_VISIBLE, 40, 30, 320, 240, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window_);
        kivo::wt::PumpMessages(50);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }

    ICDRAWBEGIN Begin(const void* format, int w, int h, int srcW, int srcH, DWORD flags = 0) {
        ICDRAWBEGIN b = {};
        b.dwFlags = flags;
        b.hwnd = window_;
        b.dxDst = w;
        b.dyDst = h;
        b.lpbi = static_cast<LPBITMAPINFOHEADER>(const_cast<void*>(format));
        b.dxSrc = srcW;
        b.dySrc = srcH;
        return b;
    }
    LRESULT Frame(LRESULT id, const void* format, const void* data, DWORD size, DWORD flags = 0) {
        ICDRAW r = {flags, const_cast<void*>(format), const_cast<void*>(data), size, 0};
        return d_.Send(id, ICM_DRAW, P(&r), sizeof r);
    }

    static HMODULE ddraw_;
    Driver d_;
    HWND window_ = nullptr;
};

HMODULE Draw::ddraw_ = nullptr;

}  // namespace

TEST_F(Draw, QueriesSuggestionsAndMessagesWithoutABegin) {
    const LRESULT id = d_.Open(kTy2c);
    ASSERT_GT(id, 1);
    for (DWORD code : {kTy2n, kTy2c, kTy0n, kTy2d}) {
        FormatHeader f = Captured(code, 320, 240, 16, 320 * 240 * 2, 0);
        EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_QUERY, P(&f))) << code;
    }
    FormatHeader rgb565 = Captured(kT565, 320, 240, 16, 320 * 240 * 2, 0);
    EXPECT_EQ(ICERR_BADFORMAT, d_.Send(id, ICM_DRAW_QUERY, P(&rgb565)));
    EXPECT_EQ(ICERR_BADFORMAT, d_.Send(id, ICM_DRAW_QUERY, 0));
    // Only asking: any format will do, and nothing is set up.
    ICDRAWBEGIN ask = Begin(&rgb565, 320, 240, 320, 240, ICDRAW_QUERY);
    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_BEGIN, P(&ask), sizeof ask));
    EXPECT_TRUE(Calls(testddraw::kDirectDrawCreate).empty());

    ICDRAWSUGGEST suggest = {};
    EXPECT_EQ(1064, d_.Send(id, ICM_DRAW_SUGGESTFORMAT, P(&suggest), sizeof suggest));
    FormatHeader in = Captured(kTy2n, 320, 240, 16, 320 * 240 * 2, 0);
    BITMAPINFOHEADER out = Rgb(320, 240, 16);
    suggest.lpbiIn = &in.bih;
    suggest.lpbiSuggest = &out;
    EXPECT_EQ(1064, d_.Send(id, ICM_DRAW_SUGGESTFORMAT, P(&suggest), sizeof suggest));

    std::vector<BYTE> data(320 * 240 * 2);
    EXPECT_EQ(ICERR_ERROR, Frame(id, &in, data.data(), DWORD(data.size())));
    EXPECT_EQ(ICERR_ERROR, d_.Send(id, ICM_DRAW_END));
}

TEST_F(Draw, OverlayIsSetUpKeyedPlacedFedAndReleased) {
    const LRESULT id = d_.Open(kTy2c);
    ASSERT_GT(id, 1);
    // 640 x 480 stored at 320 x 240 (decode flags 3), shown in the whole 320 x 240 window.
    FormatHeader f = Captured(kTy2c, 640, 480, 16, 320 * 240 * 2, 0x03);
    ICDRAWBEGIN b = Begin(&f, 320, 240, 640, 480);
    ASSERT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_BEGIN, P(&b), sizeof b));

    auto cooperative = Calls(testddraw::kSetCooperativeLevel);
    ASSERT_EQ(1u, cooperative.size());
    EXPECT_EQ(uint32_t(DDSCL_NORMAL), cooperative[0].arg[1]);
    auto surfaces = Calls(testddraw::kCreateSurface);
    ASSERT_EQ(2u, surfaces.size());
    EXPECT_EQ(uint32_t(DDSCAPS_PRIMARYSURFACE), surfaces[0].arg[4]);
    EXPECT_EQ(uint32_t(DDSD_CAPS), surfaces[0].arg[1]);
    EXPECT_EQ(uint32_t(DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY), surfaces[1].arg[4]);
    EXPECT_EQ(320u, surfaces[1].arg[2]);
    EXPECT_EQ(240u, surfaces[1].arg[3]);
    EXPECT_EQ(uint32_t(DDPF_YUV | DDPF_FOURCC), surfaces[1].arg[6]);
    EXPECT_EQ(mmioFOURCC('Y', 'U', 'Y', '2'), surfaces[1].arg[7]);
    EXPECT_EQ(16u, surfaces[1].arg[8]);
    // Slot 0's red, as the 16-bit 565 primary surface stores it.
    auto keys = Calls(testddraw::kSetColorKey);
    ASSERT_EQ(1u, keys.size());
    EXPECT_EQ(uint32_t(DDCKEY_DESTOVERLAY), keys[0].arg[0]);
    EXPECT_EQ(0xF800u, keys[0].arg[1]);
    EXPECT_EQ(0xF800u, keys[0].arg[2]);

    // Shown first at 8 x 8, then placed over the window's client area on the screen.
    auto updates = Calls(testddraw::kUpdateOverlay);
    ASSERT_EQ(3u, updates.size());
    EXPECT_EQ(8u, updates[0].arg[2]);
    EXPECT_EQ(8u, updates[0].arg[7]);
    EXPECT_EQ(uint32_t(DDOVER_SHOW), updates[0].arg[8]);
    const uint32_t placed[8] = {0, 0, 320, 240, 40, 30, 360, 272};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(placed[i], updates[1].arg[i]) << i;
    EXPECT_EQ(uint32_t(DDOVER_SHOW), updates[1].arg[8]);
    EXPECT_EQ(uint32_t(DDOVER_KEYDEST), updates[2].arg[8]);
    // The window shows the key colour, through which the overlay appears.
    HDC dc = GetDC(window_);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 10, 10));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 300, 200));
    ReleaseDC(window_, dc);

    std::vector<BYTE> data = Pattern(320 * 240 * 2);
    EXPECT_EQ(ICERR_OK, Frame(id, &f, data.data(), DWORD(data.size())));
    EXPECT_EQ(1u, Calls(testddraw::kUnlock).size() - 1);  // one more than the key's
    EXPECT_EQ(ICERR_ERROR, Frame(id, &f, data.data(), DWORD(data.size() - 1)));
    EXPECT_EQ(ICERR_OK, Frame(id, &f, nullptr, 0, ICDRAW_UPDATE));
    FormatHeader other = Captured(kTy2c, 640, 480, 16, 640 * 480 * 2, 0x0C);
    std::vector<BYTE> big(640 * 480 * 2);
    EXPECT_EQ(ICERR_ERROR, Frame(id, &other, big.data(), DWORD(big.size())));

    // A lost overlay is made again on the next frame.
    RECT moved = {0, 0, 100, 100};
    {
        DebugLines debug;
        Ctl()->lostEpoch++;
        EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_WINDOW, P(&moved), sizeof moved));
        EXPECT_EQ("$$ Surface Lost in setoutputwin\n", debug.Text());
    }
    EXPECT_EQ(ICERR_OK, Frame(id, &f, data.data(), DWORD(data.size())));
    EXPECT_EQ(4u, Calls(testddraw::kCreateSurface).size());
    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_WINDOW, P(&moved), sizeof moved));
    // Lost again, and the overlay cannot be made again: the frame fails, and there is no overlay.
    Ctl()->lostEpoch++;
    Ctl()->overlayResult = DDERR_OUTOFVIDEOMEMORY;
    EXPECT_EQ(ICERR_ERROR, Frame(id, &f, data.data(), DWORD(data.size())));
    {
        DebugLines debug;
        EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_WINDOW, P(&moved), sizeof moved));
        EXPECT_EQ("$$ lpDDSOne is NULL\n", debug.Text());
    }
    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_END));
    EXPECT_EQ(0u, Ctl()->liveObjects);
    EXPECT_EQ(0u, Ctl()->livePrimaries);
    EXPECT_EQ(0u, Ctl()->liveOverlays);
    EXPECT_EQ(0u, Ctl()->shownOverlays);
    EXPECT_EQ(ICERR_ERROR, d_.Send(id, ICM_DRAW_END));
    EXPECT_EQ(ICERR_ERROR, Frame(id, &f, data.data(), DWORD(data.size())));
}

TEST_F(Draw, SmallWindowShrinksTheOverlayInSoftware) {
    const LRESULT id = d_.Open(kTy2c);
    ASSERT_GT(id, 1);
    FormatHeader f = Captured(kTy2c, 640, 480, 16, 320 * 240 * 2, 0x03);
    ICDRAWBEGIN b = Begin(&f, 160, 120, 640, 480);
    ASSERT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_BEGIN, P(&b), sizeof b));
    auto updates = Calls(testddraw::kUpdateOverlay);
    ASSERT_GE(updates.size(), 2u);
    const uint32_t placed[8] = {0, 0, 160, 120, 40, 30, 200, 152};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(placed[i], updates[1].arg[i]) << i;
    // Closing with the draw begun ends it.
    EXPECT_EQ(1, d_.Close(id));
    EXPECT_EQ(0u, Ctl()->liveOverlays);
}

TEST_F(Draw, FullScreenWindowCoversTheScreenAndItsEndPostsQuit) {
    const LRESULT id = d_.Open(kTy2n);
    ASSERT_GT(id, 1);
    FormatHeader f = Captured(kTy2n, 320, 240, 16, 320 * 240 * 2, 0);
    ICDRAWBEGIN b = Begin(&f, 0, 0, 320, 240, ICDRAW_FULLSCREEN);
    b.hwnd = nullptr;
    ASSERT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_BEGIN, P(&b), sizeof b));
    HWND screen = FindWindowA("CodecFullScreen", nullptr);
    ASSERT_NE(nullptr, screen);
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(d_.Module(), "CodecFullScreen", &wc));
    EXPECT_EQ(0u, wc.style);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), wc.hbrBackground);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(d_.Module(), "ScreenWndProc")),
              reinterpret_cast<void*>(wc.lpfnWndProc));
    const LONG_PTR style = GetWindowLongPtrA(screen, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(style & WS_MAXIMIZE);
    EXPECT_TRUE(GetWindowLongPtrA(screen, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(nullptr, GetWindow(screen, GW_OWNER));
    EXPECT_EQ(0, GetWindowTextLengthA(screen));
    RECT r;
    GetWindowRect(screen, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), r.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), r.bottom);
    // The overlay covers the screen's client area.
    auto updates = Calls(testddraw::kUpdateOverlay);
    ASSERT_GE(updates.size(), 2u);
    EXPECT_EQ(uint32_t(GetSystemMetrics(SM_CXSCREEN)), updates[1].arg[6]);

    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_END));
    EXPECT_FALSE(IsWindow(screen));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(Draw, SecondProcessTakesTheOtherSlotAndItsKeyColour) {
    // The engine shows two overlays: the peer takes slot 0, this process slot 1 (magenta).
    Ctl()->maxOverlays = 2;
    HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, "KivoCodecPeerHolding");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "KivoCodecPeerRelease");
    kivo::wt::ChildProcess peer;
    ASSERT_TRUE(peer.Start("\"" + kivo::wt::InProgramFolder("codec_peer.exe") + "\" \"" + DriverPath() + "\" hold \"" +
                           kivo::wt::InProgramFolder("testddraw\\ddraw.dll") + "\""));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holding, 20000));

    const LRESULT id = d_.Open(kTy2n);
    FormatHeader f = Captured(kTy2n, 64, 48, 16, 64 * 48 * 2, 0);
    ICDRAWBEGIN b = Begin(&f, 64, 48, 64, 48);
    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_BEGIN, P(&b), sizeof b));
    auto keys = Calls(testddraw::kSetColorKey);
    ASSERT_EQ(1u, keys.size());
    EXPECT_EQ(0xF81Fu, keys[0].arg[1]);
    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_END));

    SetEvent(release);
    EXPECT_EQ(0, peer.Wait(20000));
    CloseHandle(holding);
    CloseHandle(release);
}

// From here on DirectDraw is unusable for this process.
TEST_F(Draw, ThirdProcessIsRefusedAndDrawsThroughDibsWhileOthersHoldTheOverlays) {
    RegisterCodec();
    Ctl()->maxOverlays = 2;
    HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, "KivoCodecPeerHolding");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "KivoCodecPeerRelease");
    ResetEvent(release);
    kivo::wt::ChildProcess peers[2];
    for (auto& peer : peers) {
        ResetEvent(holding);
        ASSERT_TRUE(peer.Start("\"" + kivo::wt::InProgramFolder("codec_peer.exe") + "\" \"" + DriverPath() +
                               "\" hold \"" + kivo::wt::InProgramFolder("testddraw\\ddraw.dll") + "\""));
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(holding, 20000));
    }
    ASSERT_EQ(2u, Ctl()->shownOverlays);

    const LRESULT id = d_.Open(kDraw, ICMODE_DRAW, streamtypeVIDEO);
    ASSERT_GT(id, 1);
    FormatHeader f = Captured(kTy2n, 64, 48, 16, 64 * 48 * 2, 0);
    f.bih.biSize = 40;
    HDC dc = GetDC(window_);
    ICDRAWBEGIN b = Begin(&f, 64, 48, 64, 48);
    b.hdc = dc;
    b.xDst = 10;
    b.yDst = 20;
    // Both slots are taken: refused before DirectDraw is asked for anything.
    EXPECT_EQ(ICERR_ERROR, d_.Send(id, ICM_DRAW_BEGIN, P(&b), sizeof b));
    EXPECT_TRUE(Calls(testddraw::kDirectDrawCreate).empty());
    EXPECT_EQ(ICERR_BADFORMAT, d_.Send(id, ICM_DRAW_QUERY, P(&f)));
    RECT r = {0, 0, 50, 50};
    EXPECT_EQ(ICERR_UNSUPPORTED, d_.Send(id, ICM_DRAW_WINDOW, P(&r), sizeof r));
    EXPECT_EQ(ICERR_UNSUPPORTED, d_.Send(id, ICM_DRAW_GET_PALETTE));
    EXPECT_EQ(ICERR_UNSUPPORTED, d_.Send(id, ICM_DRAW_REALIZE, P(dc), 0));

    RECT client = {0, 0, 320, 240};
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    std::vector<BYTE> grey(64 * 48 * 2, 128);
    EXPECT_EQ(ICERR_OK, Frame(id, &f, grey.data(), DWORD(grey.size())));
    GdiFlush();
    for (POINT p : {POINT{12, 22}, POINT{40, 40}, POINT{72, 66}}) {
        const COLORREF c = GetPixel(dc, p.x, p.y);
        for (int shift : {0, 8, 16}) {
            EXPECT_GE(int((c >> shift) & 0xFF), 120) << p.x << "," << p.y;
            EXPECT_LE(int((c >> shift) & 0xFF), 136) << p.x << "," << p.y;
        }
    }
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 5, 5));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 80, 30));
    // A null frame without the update flag draws nothing.
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(ICERR_OK, Frame(id, &f, nullptr, 0, ICDRAW_NULLFRAME));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 40, 40));
    // A format DIB drawing cannot show leaves the destination black.
    FormatHeader bad = f;
    bad.bih.biCompression = mmioFOURCC('z', 'z', 'z', 'z');
    EXPECT_EQ(ICERR_OK, Frame(id, &bad, grey.data(), DWORD(grey.size())));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(dc, 40, 40));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc, 5, 5));

    // Once the peers let go, positioning finds DirectDraw unusable here.
    SetEvent(release);
    for (auto& peer : peers) EXPECT_EQ(0, peer.Wait(20000));
    {
        DebugLines debug;
        EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_WINDOW, P(&r), sizeof r));
        EXPECT_EQ("$$ useDDraw is FALSE\n", debug.Text());
    }
    EXPECT_EQ(ICERR_OK, d_.Send(id, ICM_DRAW_END));
    EXPECT_EQ(ICERR_ERROR, d_.Send(id, ICM_DRAW_END));
    ReleaseDC(window_, dc);
    EXPECT_EQ(0u, Ctl()->liveObjects);
    CloseHandle(holding);
    CloseHandle(release);
}

TEST(DrawHost, DrawTestsPassWithTheTestDirectDraw) {
    if (InChild()) GTEST_SKIP();
    for (const char* program : kPrograms) {
        HKEY key = nullptr;
        const std::string path = std::string("Software\\Wine\\AppDefaults\\") + program + "\\DllOverrides";
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                                 nullptr, &key, nullptr));
        static const char order[] = "native,builtin";
        RegSetValueExA(key, "ddraw", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
        RegCloseKey(key);
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA(kChildVariable, "1");
    kivo::wt::ChildProcess child;
    const bool started = child.Start("\"" + std::string(self) + "\" --gtest_filter=Draw.*");
    SetEnvironmentVariableA(kChildVariable, nullptr);
    EXPECT_TRUE(started);
    if (started) {
        EXPECT_EQ(0, child.Wait(240000));
    }
    for (const char* program : kPrograms) {
        const std::string path = std::string("Software\\Wine\\AppDefaults\\") + program;
        RegDeleteKeyA(HKEY_CURRENT_USER, (path + "\\DllOverrides").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    }
}
