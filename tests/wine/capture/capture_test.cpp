// The capture service against the virtual board: the driver list, the capture window's
// messages, the live picture drawn through the codec, frame grabs and recorded AVI files.
#include <gtest/gtest.h>

#include <windows.h>
#include <vfw.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board_api.h"
#include "board_picture.h"
#include "vxd.h"
#include "winetest.h"

using kivo::wt::Board;

namespace {

constexpr char kDriverName[] = "QX-7700 Ma13/Ma16/Mt20 Video Capture Driver(Vantor)";

void RegisterCodec() {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
                                             0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    const std::string path = kivo::wt::InProgramFolder("vancodc.dll");
    for (const char* name : {"vidc.ty0n", "vidc.ty2n", "vidc.t565"})
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                                DWORD(path.size() + 1)));
    RegCloseKey(key);
}

// The record the viewer gives for w x h.
std::vector<uint8_t> Format(int w, int h, uint8_t flags) {
    std::vector<uint8_t> r(44, 0);
    BITMAPINFOHEADER b{};
    b.biSize = 44;
    b.biWidth = w;
    b.biHeight = h;
    b.biPlanes = 1;
    b.biBitCount = 12;
    b.biCompression = mmioFOURCC('t', 'y', '0', 'n');
    b.biSizeImage = DWORD(((w * 12 + 31) & ~31) / 8 * h);
    std::memcpy(r.data(), &b, 40);
    r[42] = flags;
    return r;
}

void Request(DWORD code, std::vector<uint8_t> in) {
    HANDLE device = VxdOpen("ZTUNER.VXD");
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    DWORD returned = 0;
    EXPECT_TRUE(VxdControl(device, code, in.data(), DWORD(in.size()), nullptr, 0, &returned, nullptr));
    VxdClose(device);
}
void Tune(uint8_t code) { Request(16, {code, 0}); }
void Freeze(bool on) { Request(26, {uint8_t(on ? 0x00 : 0x1F), 0, 0xB8}); }

struct Recorder {
    static std::vector<int> statuses;
    static std::vector<int> errors;
    static std::vector<DWORD> times;
    static std::vector<std::vector<uint8_t>> frames;
    static int stopAfter;
    static void Clear() {
        statuses.clear();
        errors.clear();
        times.clear();
        frames.clear();
        stopAfter = 0;
    }
    static LRESULT CALLBACK Status(HWND, int id, LPCSTR) {
        statuses.push_back(id);
        return 1;
    }
    static LRESULT CALLBACK Error(HWND, int id, LPCSTR) {
        errors.push_back(id);
        return 1;
    }
    static LRESULT CALLBACK Video(HWND w, LPVIDEOHDR h) {
        times.push_back(h->dwTimeCaptured);
        if (h->dwFlags & VHDR_KEYFRAME) frames.emplace_back(h->lpData, h->lpData + h->dwBytesUsed);
        if (stopAfter && int(times.size()) == stopAfter) SendMessageA(w, WM_CAP_STOP, 0, 0);
        return 1;
    }
};
std::vector<int> Recorder::statuses;
std::vector<int> Recorder::errors;
std::vector<DWORD> Recorder::times;
std::vector<std::vector<uint8_t>> Recorder::frames;
int Recorder::stopAfter = 0;

class CaptureWindow : public ::testing::Test {
protected:
    void SetUp() override {
        Board::Reset();
        RegisterCodec();
        Recorder::Clear();
        // As the viewer has it: a child of the main window, id 7.
        parent_ = CreateWindowExA(0, "STATIC", "capture test", WS_POPUP | WS_VISIBLE, 0, 0, 340, 260, nullptr,
                                  nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, parent_);
        window_ = capCreateCaptureWindowA("", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, parent_, 7);
        ASSERT_NE(nullptr, window_);
        ASSERT_TRUE(Send(WM_CAP_DRIVER_CONNECT, 0));
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        if (parent_) DestroyWindow(parent_);
    }
    LRESULT Send(UINT msg, WPARAM w, const void* l) { return SendMessageA(window_, msg, w, reinterpret_cast<LPARAM>(l)); }
    LRESULT Send(UINT msg, WPARAM w = 0) { return SendMessageA(window_, msg, w, 0); }
    LRESULT SendFn(UINT msg, void* fn) { return SendMessageA(window_, msg, 0, reinterpret_cast<LPARAM>(fn)); }
    COLORREF Pixel(int x, int y) {
        HDC dc = GetDC(window_);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window_, dc);
        return c;
    }
    // The 24-bit colour, allowing for the screen's 16 bits per pixel.
    static void ExpectColour(int r, int g, int b, COLORREF c, const char* what) {
        EXPECT_NEAR(r, GetRValue(c), 8) << what;
        EXPECT_NEAR(g, GetGValue(c), 8) << what;
        EXPECT_NEAR(b, GetBValue(c), 8) << what;
    }
    HWND parent_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace

TEST(CaptureDriver, ListedOnlyWithTheBoard) {
    Board::Reset();
    char name[128] = {}, version[128] = {};
    ASSERT_TRUE(capGetDriverDescriptionA(0, name, sizeof name, version, sizeof version));
    EXPECT_STREQ(kDriverName, name);
    EXPECT_NE('\0', version[0]);
    EXPECT_FALSE(capGetDriverDescriptionA(1, name, sizeof name, version, sizeof version));

    Board::Reset("[board]\npresent=0\n");
    EXPECT_FALSE(capGetDriverDescriptionA(0, name, sizeof name, version, sizeof version));
    HWND w = capCreateCaptureWindowA("", WS_POPUP, 0, 0, 160, 120, nullptr, 7);
    ASSERT_NE(nullptr, w);
    EXPECT_FALSE(SendMessageA(w, WM_CAP_DRIVER_CONNECT, 0, 0));
    EXPECT_FALSE(SendMessageA(w, WM_CAP_SEQUENCE_NOFILE, 0, 0));
    DestroyWindow(w);
    Board::Reset();
}

TEST_F(CaptureWindow, ConnectsAndKeepsTheFormatAndSettings) {
    char name[128] = {};
    ASSERT_TRUE(Send(WM_CAP_DRIVER_GET_NAMEA, sizeof name, name));
    EXPECT_STREQ(kDriverName, name);
    EXPECT_FALSE(Send(WM_CAP_DRIVER_CONNECT, 1));  // only one driver

    CAPDRIVERCAPS caps;
    std::memset(&caps, 0xCC, sizeof caps);
    ASSERT_TRUE(Send(WM_CAP_DRIVER_GET_CAPS, sizeof caps, &caps));
    EXPECT_TRUE(caps.fHasOverlay);
    EXPECT_TRUE(caps.fCaptureInitialized);

    std::vector<uint8_t> format = Format(320, 240, 12);
    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, format.data()));
    EXPECT_EQ(44, Send(WM_CAP_GET_VIDEOFORMAT, 0));
    std::vector<uint8_t> back(44, 0xCC);
    EXPECT_EQ(44, Send(WM_CAP_GET_VIDEOFORMAT, 44, back.data()));
    const DWORD stored = 320 * 228 * 3 / 2;  // 0x0C limits the stored height to 228
    std::memcpy(&format[20], &stored, 4);
    EXPECT_EQ(format, back);
    std::vector<uint8_t> wrong = Format(320, 240, 12);
    wrong[14] = 16;
    EXPECT_FALSE(Send(WM_CAP_SET_VIDEOFORMAT, 44, wrong.data()));
    EXPECT_FALSE(Send(WM_CAP_SET_VIDEOFORMAT, 40, Format(320, 240, 12).data()));
    EXPECT_EQ(44, Send(WM_CAP_GET_VIDEOFORMAT, 44, back.data()));
    EXPECT_EQ(format, back);

    CAPTUREPARMS p{};
    ASSERT_TRUE(Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, &p));
    p.dwRequestMicroSecPerFrame = 100000;
    p.wTimeLimit = 7;
    p.fLimitEnabled = TRUE;
    ASSERT_TRUE(Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
    CAPTUREPARMS q{};
    ASSERT_TRUE(Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof q, &q));
    EXPECT_EQ(0, std::memcmp(&p, &q, sizeof p));

    const uint8_t pcm[18] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0, 0, 0};
    EXPECT_TRUE(Send(WM_CAP_SET_AUDIOFORMAT, 18, pcm));
    uint8_t pcmBack[18] = {};
    EXPECT_EQ(18, Send(WM_CAP_GET_AUDIOFORMAT, 18, pcmBack));
    EXPECT_EQ(0, std::memcmp(pcm, pcmBack, 18));

    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEWRATE, 66));
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEW, 1));
    CAPSTATUS s{};
    ASSERT_TRUE(Send(WM_CAP_GET_STATUS, sizeof s, &s));
    EXPECT_EQ(320u, s.uiImageWidth);
    EXPECT_EQ(240u, s.uiImageHeight);
    EXPECT_TRUE(s.fLiveWindow);
    EXPECT_FALSE(s.fCapturingNow);

    ASSERT_TRUE(Send(WM_CAP_DRIVER_DISCONNECT, 0));
    EXPECT_FALSE(Send(WM_CAP_SET_VIDEOFORMAT, 44, format.data()));
    EXPECT_FALSE(Send(WM_CAP_DRIVER_GET_CAPS, sizeof caps, &caps));
}

TEST_F(CaptureWindow, PreviewShowsTheTunedChannelThroughTheCodec) {
    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, Format(320, 240, 0).data()));
    Tune(2);
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEWRATE, 30));
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEW, 1));
    kivo::wt::PumpMessages(400);
    // Channel 2 starts with the yellow bar, then cyan (the codec's colours of the board's YUV).
    ExpectColour(178, 185, 13, Pixel(20, 20), "yellow");
    ExpectColour(15, 185, 179, Pixel(60, 20), "cyan");
    ExpectColour(178, 185, 13, Pixel(20, 150), "yellow, lower");
    ExpectColour(15, 16, 97, Pixel(300, 230), "label background at the bottom");  // upright

    // Frozen: the picture stays while the tuner moves on; released, the new channel shows.
    Freeze(true);
    kivo::wt::PumpMessages(150);
    Tune(3);
    kivo::wt::PumpMessages(300);
    ExpectColour(178, 185, 13, Pixel(20, 20), "frozen");
    Freeze(false);
    kivo::wt::PumpMessages(300);
    ExpectColour(15, 185, 179, Pixel(20, 20), "channel 3");

    // Saturation 0 takes the colour away.
    Request(21, {0, 0x12});
    kivo::wt::PumpMessages(300);
    ExpectColour(131, 131, 131, Pixel(20, 20), "grey");
}

// What a program draws on the window stays over the overlay's moving picture, as on a keyed
// hardware overlay, until that part of the window is repainted.
TEST_F(CaptureWindow, DrawingOnTheOverlayStaysOverThePicture) {
    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, Format(320, 240, 0).data()));
    Tune(2);
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEWRATE, 30));
    ASSERT_TRUE(Send(WM_CAP_SET_OVERLAY, 1));
    CAPSTATUS s{};
    ASSERT_TRUE(Send(WM_CAP_GET_STATUS, sizeof s, &s));
    EXPECT_TRUE(s.fOverlayWindow);
    EXPECT_FALSE(s.fLiveWindow);
    kivo::wt::PumpMessages(300);
    ExpectColour(178, 185, 13, Pixel(20, 20), "yellow bar through the overlay");

    HDC dc = GetDC(window_);
    RECT mark{10, 10, 40, 30};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &mark, green);
    DeleteObject(green);
    ReleaseDC(window_, dc);
    kivo::wt::PumpMessages(300);  // several frames later
    ExpectColour(0, 255, 0, Pixel(20, 20), "the drawing stays");
    ExpectColour(178, 185, 13, Pixel(5, 20), "the picture beside it");

    // The picture keeps moving under the drawing: another channel shows round it.
    Tune(3);
    kivo::wt::PumpMessages(300);
    ExpectColour(0, 255, 0, Pixel(20, 20), "the drawing over the new channel");
    ExpectColour(15, 185, 179, Pixel(5, 20), "channel 3 beside it");

    // A repaint of that part takes the drawing away.
    InvalidateRect(window_, &mark, TRUE);
    UpdateWindow(window_);
    kivo::wt::PumpMessages(200);
    ExpectColour(15, 185, 179, Pixel(20, 20), "picture again after the repaint");
}

TEST_F(CaptureWindow, GrabDeliversTheBoardsBytesToTheFrameCallback) {
    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, Format(320, 240, 12).data()));
    Tune(5);
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEW, 1));
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_FRAME, reinterpret_cast<void*>(&Recorder::Video)));
    ASSERT_TRUE(Send(WM_CAP_GRAB_FRAME, 0));
    ASSERT_EQ(1u, Recorder::frames.size());
    const std::vector<uint8_t>& got = Recorder::frames[0];
    ASSERT_EQ(320u * 228 * 3 / 2, got.size());
    // The bars (the upper 2/3, stored last in the Y plane) and the chroma match the board's
    // picture for this state; the moving square may lie anywhere.
    auto state = Board::Snapshot();
    std::vector<uint8_t> want(got.size());
    ASSERT_EQ(want.size(), board::RenderFrame(board::PictureOf(*state), 0, board::kFourccTy0n, 320, 240, 12,
                                              want.data(), uint32_t(want.size())));
    const size_t barsFrom = size_t(228 - 152) * 320, yPlane = 320 * 228;
    EXPECT_TRUE(std::equal(want.begin() + barsFrom, want.begin() + yPlane, got.begin() + barsFrom));
    const size_t chromaBars = size_t(228 - 152) / 2 * 160;
    EXPECT_TRUE(std::equal(want.begin() + yPlane + chromaBars, want.begin() + yPlane + 114 * 160,
                           got.begin() + yPlane + chromaBars));

    CAPSTATUS s{};
    ASSERT_TRUE(Send(WM_CAP_GET_STATUS, sizeof s, &s));
    EXPECT_FALSE(s.fLiveWindow);  // a grab ends the preview
    ASSERT_TRUE(Send(WM_CAP_GRAB_FRAME_NOSTOP, 0));
    EXPECT_EQ(2u, Recorder::frames.size());
}

TEST_F(CaptureWindow, SequenceWritesAnAviFileThatTheSystemReads) {
    kivo::wt::ScratchFolder folder("capture_avi");
    const std::string path = folder.File("ZORTVCAP.AVI");
    std::vector<uint8_t> format = Format(160, 120, 0);
    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, format.data()));
    Tune(1);
    ASSERT_TRUE(Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, path.c_str()));
    const uint8_t pcm[18] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0, 0, 0};
    ASSERT_TRUE(Send(WM_CAP_SET_AUDIOFORMAT, 18, pcm));
    CAPTUREPARMS p{};
    ASSERT_TRUE(Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, &p));
    p.dwRequestMicroSecPerFrame = 100000;
    p.fYield = FALSE;
    p.fCaptureAudio = TRUE;
    p.vKeyAbort = 0;
    p.fAbortLeftMouse = p.fAbortRightMouse = FALSE;
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = 1;
    ASSERT_TRUE(Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_STATUSA, reinterpret_cast<void*>(&Recorder::Status)));
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_VIDEOSTREAM, reinterpret_cast<void*>(&Recorder::Video)));

    ASSERT_TRUE(Send(WM_CAP_SEQUENCE, 0));  // synchronous: the recording is over on return
    const size_t frames = Recorder::frames.size();
    ASSERT_GE(frames, 5u);
    ASSERT_LE(frames, 10u);
    ASSERT_GE(Recorder::statuses.size(), 3u);
    EXPECT_EQ(IDS_CAP_BEGIN, Recorder::statuses.front());
    EXPECT_EQ(IDS_CAP_END, Recorder::statuses.back());
    EXPECT_EQ(IDS_CAP_STAT_VIDEOAUDIO, Recorder::statuses[Recorder::statuses.size() - 2]);
    EXPECT_EQ(frames, size_t(std::count(Recorder::statuses.begin(), Recorder::statuses.end(), IDS_CAP_STAT_VIDEOCURRENT)));
    EXPECT_EQ(0u, Recorder::times[0]);
    for (size_t i = 1; i < Recorder::times.size(); ++i) EXPECT_EQ(0u, Recorder::times[i] % 100);
    const DWORD lastTime = Recorder::times.back();

    AVIFileInit();
    PAVIFILE file = nullptr;
    ASSERT_EQ(0, AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr));
    PAVISTREAM video = nullptr, audio = nullptr;
    ASSERT_EQ(0, AVIFileGetStream(file, &video, streamtypeVIDEO, 0));
    ASSERT_EQ(0, AVIFileGetStream(file, &audio, streamtypeAUDIO, 0));
    AVISTREAMINFOA vi{}, ai{};
    ASSERT_EQ(0, AVIStreamInfoA(video, &vi, sizeof vi));
    EXPECT_EQ(mmioFOURCC('t', 'y', '0', 'n'), vi.fccHandler);
    EXPECT_EQ(frames, vi.dwLength);
    EXPECT_EQ(100000u, vi.dwScale);
    EXPECT_EQ(1000000u, vi.dwRate);
    std::vector<uint8_t> readFormat(64, 0);
    LONG formatSize = LONG(readFormat.size());
    ASSERT_EQ(0, AVIStreamReadFormat(video, 0, readFormat.data(), &formatSize));
    ASSERT_EQ(44, formatSize);
    const DWORD stored = 160 * 120 * 3 / 2;
    std::memcpy(&format[20], &stored, 4);
    readFormat.resize(44);
    EXPECT_EQ(format, readFormat);
    std::vector<uint8_t> data(stored);
    LONG bytes = 0, samples = 0;
    ASSERT_EQ(0, AVIStreamRead(video, LONG(frames - 1), 1, data.data(), LONG(data.size()), &bytes, &samples));
    EXPECT_EQ(LONG(stored), bytes);
    EXPECT_EQ(Recorder::frames.back(), data);

    ASSERT_EQ(0, AVIStreamInfoA(audio, &ai, sizeof ai));
    EXPECT_EQ(11025u * (lastTime + 100) / 1000, ai.dwLength);  // as long as the pictures
    WAVEFORMATEX wf{};
    LONG wfSize = sizeof wf;
    ASSERT_EQ(0, AVIStreamReadFormat(audio, 0, &wf, &wfSize));
    EXPECT_EQ(WAVE_FORMAT_PCM, wf.wFormatTag);
    EXPECT_EQ(11025u, wf.nSamplesPerSec);
    EXPECT_EQ(8, wf.wBitsPerSample);
    AVIStreamRelease(audio);
    AVIStreamRelease(video);
    AVIFileRelease(file);
    AVIFileExit();

    // The system's player takes the file too.
    char answer[64] = {};
    const std::string open = "open \"" + path + "\" type avivideo alias clip";
    ASSERT_EQ(0u, mciSendStringA(open.c_str(), nullptr, 0, nullptr));
    EXPECT_EQ(0u, mciSendStringA("status clip length", answer, sizeof answer, nullptr));
    EXPECT_EQ(std::to_string(frames), answer);
    mciSendStringA("close clip", nullptr, 0, nullptr);
}

TEST_F(CaptureWindow, SingleFramesMakeAFileOfTheirOwn) {
    kivo::wt::ScratchFolder folder("capture_single");
    const std::string path = folder.File("FRAMES.AVI");
    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, Format(160, 120, 0).data()));
    ASSERT_TRUE(Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, path.c_str()));
    EXPECT_FALSE(Send(WM_CAP_SINGLE_FRAME));  // not opened
    ASSERT_TRUE(Send(WM_CAP_SINGLE_FRAME_OPEN));
    ASSERT_TRUE(Send(WM_CAP_SINGLE_FRAME));
    ASSERT_TRUE(Send(WM_CAP_SINGLE_FRAME));
    ASSERT_TRUE(Send(WM_CAP_SINGLE_FRAME_CLOSE));
    AVIFileInit();
    PAVISTREAM video = nullptr;
    ASSERT_EQ(0, AVIStreamOpenFromFileA(&video, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr));
    EXPECT_EQ(2, AVIStreamLength(video));
    PAVISTREAM audio = nullptr;
    EXPECT_NE(0, AVIStreamOpenFromFileA(&audio, path.c_str(), streamtypeAUDIO, 0, OF_READ, nullptr));
    AVIStreamRelease(video);
    AVIFileExit();
}

TEST_F(CaptureWindow, StopEndsSynchronousAndBackgroundCaptures) {
    CAPTUREPARMS p{};
    ASSERT_TRUE(Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, &p));
    p.dwRequestMicroSecPerFrame = 30000;
    p.fYield = FALSE;
    p.fCaptureAudio = FALSE;
    p.vKeyAbort = 0;
    p.fAbortLeftMouse = p.fAbortRightMouse = FALSE;
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = 20;
    ASSERT_TRUE(Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_STATUSA, reinterpret_cast<void*>(&Recorder::Status)));
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_VIDEOSTREAM, reinterpret_cast<void*>(&Recorder::Video)));
    Recorder::stopAfter = 3;
    ASSERT_TRUE(Send(WM_CAP_SEQUENCE_NOFILE, 0));
    EXPECT_EQ(3u, Recorder::frames.size());
    ASSERT_FALSE(Recorder::statuses.empty());
    EXPECT_EQ(IDS_CAP_END, Recorder::statuses.back());

    // In the background (fYield) the call returns at once; frames and the end come from the
    // window's own timer while the caller's loop runs.
    Recorder::Clear();
    p.fYield = TRUE;
    p.wTimeLimit = 1;
    ASSERT_TRUE(Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
    ASSERT_TRUE(Send(WM_CAP_SEQUENCE_NOFILE, 0));
    CAPSTATUS s{};
    ASSERT_TRUE(Send(WM_CAP_GET_STATUS, sizeof s, &s));
    EXPECT_TRUE(s.fCapturingNow);
    EXPECT_FALSE(Send(WM_CAP_SET_VIDEOFORMAT, 44, Format(160, 120, 0).data()));  // not while capturing
    const DWORD start = GetTickCount();
    while ((Recorder::statuses.empty() || Recorder::statuses.back() != IDS_CAP_END) && GetTickCount() - start < 5000)
        kivo::wt::PumpMessages(50);
    ASSERT_FALSE(Recorder::statuses.empty());
    EXPECT_EQ(IDS_CAP_END, Recorder::statuses.back());
    EXPECT_GE(Recorder::frames.size(), 5u);   // a second at 30 ms, less what a busy machine drops
    EXPECT_LE(Recorder::frames.size(), 34u);
    ASSERT_TRUE(Send(WM_CAP_GET_STATUS, sizeof s, &s));
    EXPECT_FALSE(s.fCapturingNow);
    EXPECT_FALSE(Send(WM_CAP_STOP, 0));

    // The recording the viewer makes: in the background, to a file with sound, until WM_CAP_STOP.
    kivo::wt::ScratchFolder folder("capture_yield");
    const std::string path = folder.File("ZORTVCAP.AVI");
    ASSERT_TRUE(Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, path.c_str()));
    Recorder::Clear();
    p.fCaptureAudio = TRUE;
    p.wTimeLimit = 20;
    ASSERT_TRUE(Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
    ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
    const DWORD begun = GetTickCount();
    while (Recorder::frames.size() < 5 && GetTickCount() - begun < 5000) kivo::wt::PumpMessages(10);
    ASSERT_TRUE(Send(WM_CAP_STOP));
    ASSERT_FALSE(Recorder::statuses.empty());
    EXPECT_EQ(IDS_CAP_END, Recorder::statuses.back());  // ended within the stop
    const size_t frames = Recorder::frames.size();
    EXPECT_GE(frames, 5u);
    kivo::wt::PumpMessages(100);
    EXPECT_EQ(frames, Recorder::frames.size());
    ASSERT_TRUE(Send(WM_CAP_GET_STATUS, sizeof s, &s));
    EXPECT_EQ(frames, s.dwCurrentVideoFrame);
    AVIFileInit();
    PAVISTREAM video = nullptr;
    ASSERT_EQ(0, AVIStreamOpenFromFileA(&video, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr));
    EXPECT_EQ(LONG(frames), AVIStreamLength(video));
    AVIStreamRelease(video);
    AVIFileExit();

    // A capture file that cannot be made is reported through the error callback.
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_ERRORA, reinterpret_cast<void*>(&Recorder::Error)));
    ASSERT_TRUE(Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, folder.File("missing\\ZORTVCAP.AVI").c_str()));
    EXPECT_FALSE(Send(WM_CAP_SEQUENCE));
    ASSERT_FALSE(Recorder::errors.empty());
    EXPECT_EQ(IDS_CAP_CANTOPEN, Recorder::errors.back());
}

namespace {

// What the codec shows of a Y, U, V: R = Y + 1.375 v, G = Y - 0.375 u - 0.75 v, B = Y + 1.75 u.
void ExpectDecoded(board::Yuv c, COLORREF got, const char* what) {
    const int u = c.u - 128, v = c.v - 128, su = (3 * u) >> 3, sv = (3 * v) >> 3;
    auto clamp = [](int x) { return x < 0 ? 0 : x > 255 ? 255 : x; };
    EXPECT_NEAR(clamp(c.y + v + sv), GetRValue(got), 8) << what;
    EXPECT_NEAR(clamp(c.y - su - 2 * sv), GetGValue(got), 8) << what;
    EXPECT_NEAR(clamp(c.y + u + 2 * su), GetBValue(got), 8) << what;
}

// Y, U, V of an upright point of a 320 x 240 ty0n frame as the board stores it (bottom-up).
board::Yuv StoredAt(const std::vector<uint8_t>& f, int x, int y) {
    const int r = 239 - y;
    const size_t u = 320 * 240 + size_t(r / 2) * 160 + x / 2;
    return {f[size_t(r) * 320 + x], f[u], f[u + 160 * 120]};
}

void ExpectStored(board::Yuv want, board::Yuv got, const char* what) {
    EXPECT_EQ(want.y, got.y) << what;
    EXPECT_EQ(want.u, got.u) << what;
    EXPECT_EQ(want.v, got.v) << what;
}

}  // namespace

TEST_F(CaptureWindow, ChannelsFedFromVideoFilesShowTheirPictureOrNoSignal) {
    // The sample clip beside the board (relative path), and copies of it cut short in a folder
    // of the test's own (full paths): one without a whole frame, one without its last bytes.
    kivo::wt::ScratchFolder folder("capture_feed");
    const std::string sample = kivo::wt::ReadFile(kivo::wt::InProgramFolder("clips\\sample.y4m"));
    ASSERT_EQ(43u + 24 * (6 + 28800), sample.size());
    ASSERT_TRUE(folder.Write("cut.y4m", sample.substr(0, 43 + 6 + 1000)));
    ASSERT_TRUE(folder.Write("end.y4m", sample.substr(0, sample.size() - 100)));
    ASSERT_TRUE(folder.Write("lying.y4m", "YUV4MPEG2 W160 H99999 F12:1\nFRAME\n"));
    const std::string ini = "[video]\n13=clips\\sample.y4m\n14=" + folder.File("cut.y4m") + "\n15=" +
                            folder.File("end.y4m") + "\n16=\"" + folder.File("lying.y4m") +
                            "\"\n17=clips\\missing.y4m\n";
    const std::string iniPath = kivo::wt::InProgramFolder("BOARD.INI");
    ASSERT_TRUE(kivo::wt::WriteFile(iniPath, ini));
    BoardReset();  // reads BOARD.INI beside the board
    DeleteFileA(iniPath.c_str());

    ASSERT_TRUE(Send(WM_CAP_SET_VIDEOFORMAT, 44, Format(320, 240, 0).data()));
    ASSERT_TRUE(SendFn(WM_CAP_SET_CALLBACK_FRAME, reinterpret_cast<void*>(&Recorder::Video)));
    auto grab = [&]() {
        Recorder::frames.clear();
        EXPECT_TRUE(Send(WM_CAP_GRAB_FRAME_NOSTOP, 0));
        return Recorder::frames.empty() ? std::vector<uint8_t>(320 * 240 * 3 / 2) : Recorder::frames[0];
    };
    const board::Yuv red{82, 90, 240}, green{144, 54, 34}, blue{41, 240, 110}, white{235, 128, 128};
    const board::Yuv noSignal{32, 198, 117};
    const struct {
        int x, y;
        board::Yuv colour;
        const char* what;
    } centres[] = {{80, 60, red, "red"}, {240, 60, green, "green"}, {80, 180, blue, "blue"}, {240, 180, white, "white"}};

    // The clip doubled to 320 x 240: its quadrants exactly, through the codec as the colours.
    Tune(13);
    const std::vector<uint8_t> first = grab();
    for (const auto& c : centres) ExpectStored(c.colour, StoredAt(first, c.x, c.y), c.what);
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEWRATE, 30));
    ASSERT_TRUE(Send(WM_CAP_SET_PREVIEW, 1));
    kivo::wt::PumpMessages(400);
    for (const auto& c : centres) ExpectDecoded(c.colour, Pixel(c.x, c.y), c.what);
    // The yellow box moves along the band between the quadrants at the clip's 12 frames a second.
    Sleep(250);
    const std::vector<uint8_t> later = grab();
    const size_t band = size_t(239 - 127) * 320;  // stored rows of the band (upright rows 112..127)
    EXPECT_FALSE(std::equal(first.begin() + band, first.begin() + band + 16 * 320, later.begin() + band));
    for (const auto& c : centres) ExpectStored(c.colour, StoredAt(later, c.x, c.y), c.what);

    // The decoder's brightness register moves the picture's luma, as on the test picture.
    Request(21, {164, 0x19});
    ExpectStored({92, 90, 240}, StoredAt(grab(), 80, 60), "brighter red");
    kivo::wt::PumpMessages(300);
    ExpectDecoded({92, 90, 240}, Pixel(80, 60), "brighter red on screen");
    Request(21, {154, 0x19});

    // A cut last frame: the whole frames play; no whole frame, a lying size or no file at all:
    // the dark blue field. Each gives one line in the board's log, however often it is shown.
    const struct {
        uint8_t channel;
        board::FeedError error;
        uint32_t frames;
        const char* name;
    } files[] = {{15, board::kFeedTruncated, 23, "end.y4m"}, {14, board::kFeedShort, 0, "cut.y4m"},
                 {16, board::kFeedBadSize, 0, "lying.y4m"}, {17, board::kFeedCannotOpen, 0, "missing.y4m"}};
    for (const auto& f : files) {
        const uint32_t before = Board::LogTotal();
        Tune(f.channel);
        for (int i = 0; i < 3; ++i) {
            const std::vector<uint8_t> frame = grab();
            for (const auto& c : centres)
                ExpectStored(f.error == board::kFeedTruncated ? c.colour : noSignal, StoredAt(frame, c.x, c.y), f.name);
        }
        kivo::wt::PumpMessages(300);
        ExpectDecoded(f.error == board::kFeedTruncated ? red : noSignal, Pixel(80, 60), f.name);
        const std::vector<board::LogEntry> lines = Board::Log(board::kFeed, before);
        ASSERT_EQ(1u, lines.size()) << f.name;
        EXPECT_EQ(f.channel, lines[0].code);
        EXPECT_EQ(f.error, lines[0].result) << f.name;
        EXPECT_EQ(f.frames, lines[0].returned) << f.name;
        EXPECT_STREQ(f.name, reinterpret_cast<const char*>(lines[0].in));
        EXPECT_EQ(GetCurrentProcessId(), lines[0].process);
    }
    Tune(13);
    ExpectStored(red, StoredAt(grab(), 80, 60), "back to the clip");
    EXPECT_EQ(4u, Board::Log(board::kFeed).size());  // the good file has no line

    // The picture's part of the board, for a capture driver: a short record is refused.
    board::PictureInput picture;
    EXPECT_EQ(0u, BoardPictureState(0, &picture, sizeof picture - 1));
    ASSERT_EQ(sizeof picture, BoardPictureState(1000, &picture, sizeof picture));
    EXPECT_TRUE(picture.fed);
    EXPECT_EQ(13, picture.channel);
    EXPECT_EQ(160, picture.picture.width);
    Send(WM_CAP_SET_PREVIEW, 0);
    Board::Reset();  // lets go of the files before the folder goes
    ASSERT_EQ(sizeof picture, BoardPictureState(1000, &picture, sizeof picture));
    EXPECT_FALSE(picture.fed);
}
