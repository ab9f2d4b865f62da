// vancodc.dll under Wine: DriverProc called directly, as a driver host calls it, and the same
// driver reached through the system's compression manager after registration.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec_harness.h"
#include "convert_row.h"
#include "frame_convert.h"
#include "winetest.h"

using namespace codectest;

TEST(CodecDriverProc, OpenRefusesCompressionUnknownHandlersAndAnEleventhInstance) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    LRESULT error = 0;
    EXPECT_EQ(0, d.Open(kTy0n, ICMODE_COMPRESS, ICTYPE_VIDEO, &error));
    EXPECT_EQ(0, d.Open(mmioFOURCC('a', 'b', 'c', 'd'), ICMODE_DECOMPRESS, ICTYPE_VIDEO, &error));
    EXPECT_EQ(0, d.Open(kTy0n, ICMODE_DECOMPRESS, ICTYPE_AUDIO));
    // A driver open without a record creates nothing and answers 1.
    EXPECT_EQ(1, d.Send(0, DRV_OPEN, 0, 0));

    std::vector<LRESULT> ids;
    ids.push_back(d.Open(mmioFOURCC('d', 'r', 'a', 'w'), ICMODE_DRAW, streamtypeVIDEO, &error));
    EXPECT_EQ(0, error);
    for (int i = 0; i < 9; ++i) ids.push_back(d.Open(kTy2n));
    for (LRESULT id : ids) ASSERT_GT(id, 1);
    EXPECT_EQ(0, d.Open(kTy2n, ICMODE_DECOMPRESS, ICTYPE_VIDEO, &error));
    EXPECT_EQ(ICERR_MEMORY, error);
    // Closing one gives its place back.
    EXPECT_EQ(1, d.Close(ids.back()));
    EXPECT_GT(d.Open(kT565), 1);
}

TEST(CodecDriverProc, InstanceLimitIsSharedByEveryProcess) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    for (int i = 0; i < 6; ++i) ASSERT_GT(d.Open(kTy0n), 1);
    kivo::wt::ChildProcess peer;
    const std::string command = "\"" + kivo::wt::InProgramFolder("codec_peer.exe") + "\" \"" + DriverPath() + "\"";
    ASSERT_TRUE(peer.Start(command));
    EXPECT_EQ(4, peer.Wait(20000));
}

TEST(CodecDriverProc, InformationAndFixedAnswers) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    const LRESULT id = d.Open(kTy0n);
    ASSERT_GT(id, 1);

    ICINFO info;
    std::memset(&info, 0xCC, sizeof info);
    EXPECT_EQ(568, d.Send(id, ICM_GETINFO, 0, 0));
    EXPECT_EQ(0, d.Send(id, ICM_GETINFO, P(&info), 567));
    EXPECT_EQ(568, d.Send(id, ICM_GETINFO, P(&info), sizeof info));
    EXPECT_EQ(568u, info.dwSize);
    EXPECT_EQ(ICTYPE_VIDEO, info.fccType);
    EXPECT_EQ(kTy0n, info.fccHandler);
    EXPECT_EQ(DWORD(VIDCF_DRAW), info.dwFlags);
    EXPECT_EQ(0x10000u, info.dwVersion);
    EXPECT_EQ(0x104u, info.dwVersionICM);
    EXPECT_EQ(std::wstring(L"Vantor CODEC"), std::wstring(info.szName));
    EXPECT_EQ(std::wstring(L"Overlay YUV420"), std::wstring(info.szDescription));

    EXPECT_EQ(0, d.Send(0, DRV_QUERYCONFIGURE));
    EXPECT_EQ(1, d.Send(id, DRV_ENABLE));
    EXPECT_EQ(1, d.Send(id, ICM_GETSTATE));
    EXPECT_EQ(1, d.Send(id, ICM_SETSTATE));
    EXPECT_EQ(ICERR_UNSUPPORTED, d.Send(id, ICM_CONFIGURE, -1));
    EXPECT_EQ(0, d.Send(id, ICM_CONFIGURE, 0));
    EXPECT_EQ(0, d.Send(id, ICM_ABOUT, -1));
    for (UINT m : {UINT(ICM_GETDEFAULTQUALITY), UINT(ICM_GETQUALITY), UINT(ICM_SETQUALITY), UINT(ICM_GETDEFAULTKEYFRAMERATE),
                   UINT(ICM_DECOMPRESS_GET_PALETTE), UINT(ICM_COMPRESS_GET_SIZE), UINT(0x4FFF)})
        EXPECT_EQ(ICERR_UNSUPPORTED, d.Send(id, m)) << std::hex << m;
    for (UINT m : {UINT(ICM_COMPRESS_QUERY), UINT(ICM_COMPRESS_GET_FORMAT), UINT(ICM_COMPRESS_BEGIN), UINT(ICM_COMPRESS)})
        EXPECT_EQ(ICERR_BADFORMAT, d.Send(id, m)) << std::hex << m;
    EXPECT_EQ(ICERR_ERROR, d.Send(id, ICM_COMPRESS_END));
    EXPECT_EQ(ICERR_ERROR, d.Send(id, ICM_DECOMPRESS_END));
    // Without an instance the system's default procedure answers.
    EXPECT_EQ(0, d.Send(0, ICM_GETINFO, P(&info), sizeof info));
}

TEST(CodecDriverProc, DecompressQueryAndOutputFormat) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    const LRESULT id = d.Open(kTy2n);
    ASSERT_GT(id, 1);
    FormatHeader in = Captured(kTy2n, 320, 240, 16, 153600, 0);
    in.bih.biSize = 40;
    EXPECT_EQ(0, d.Send(id, ICM_DECOMPRESS_QUERY, P(&in), 0));
    for (WORD bits : {16, 24, 32}) {
        const BITMAPINFOHEADER out = Rgb(320, 240, bits);
        EXPECT_EQ(0, d.Send(id, ICM_DECOMPRESS_QUERY, P(&in), P(&out))) << bits;
    }
    BITMAPINFOHEADER out = Rgb(320, 240, 8);
    EXPECT_EQ(ICERR_BADFORMAT, d.Send(id, ICM_DECOMPRESS_QUERY, P(&in), P(&out)));
    out = Rgb(320, 120, 16);
    EXPECT_EQ(ICERR_BADFORMAT, d.Send(id, ICM_DECOMPRESS_QUERY, P(&in), P(&out)));
    FormatHeader other = Captured(kTy0n, 320, 240, 12, 115200, 0);
    EXPECT_EQ(ICERR_BADFORMAT, d.Send(id, ICM_DECOMPRESS_QUERY, P(&other), 0));

    EXPECT_EQ(40, d.Send(id, ICM_DECOMPRESS_GET_FORMAT, P(&in), 0));
    BITMAPINFOHEADER format;
    std::memset(&format, 0xCC, sizeof format);
    EXPECT_EQ(0, d.Send(id, ICM_DECOMPRESS_GET_FORMAT, P(&in), P(&format)));
    EXPECT_EQ(16, format.biBitCount);
    EXPECT_EQ(DWORD(BI_RGB), format.biCompression);
    EXPECT_EQ(153600u, format.biSizeImage);
    EXPECT_EQ(320, format.biWidth);
    EXPECT_EQ(240, format.biHeight);
    EXPECT_EQ(ICERR_ERROR, d.Send(id, ICM_DECOMPRESS_END));
}

TEST(CodecDriverProc, DecompressesGreyToTheExactPixels) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    const LRESULT id = d.Open(kTy2n);
    ASSERT_GT(id, 1);
    FormatHeader in = Captured(kTy2n, 4, 2, 16, 16, 0);
    std::vector<BYTE> frame(16, 128);
    const struct {
        WORD bits;
        std::vector<BYTE> pixel;
    } cases[] = {{16, {0x10, 0x42}}, {24, {128, 128, 128}}, {32, {128, 128, 128, 0}}};
    for (const auto& c : cases) {
        BITMAPINFOHEADER out = Rgb(4, 2, c.bits);
        ASSERT_EQ(0, d.Send(id, ICM_DECOMPRESS_BEGIN, P(&in), P(&out)));
        std::vector<BYTE> pixels(8 * c.pixel.size(), 0xEE);
        ICDECOMPRESS request = {0, &in.bih, frame.data(), &out, pixels.data(), 0};
        EXPECT_EQ(0, d.Send(id, ICM_DECOMPRESS, P(&request), sizeof request));
        for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(c.pixel[i % c.pixel.size()], pixels[i]) << i;
        // A frame whose header claims more data than it brings is refused untouched.
        in.bih.biSizeImage = 15;
        std::fill(pixels.begin(), pixels.end(), 0xEE);
        EXPECT_EQ(ICERR_INTERNAL, d.Send(id, ICM_DECOMPRESS, P(&request), sizeof request));
        EXPECT_EQ(0xEE, pixels[0]);
        in.bih.biSizeImage = 16;
        EXPECT_EQ(0, d.Send(id, ICM_DECOMPRESS_END));
    }
}

TEST(CodecManager, RegisteredDriverIsFoundAndDecompressesAsDirectly) {
    RegisterCodec();
    // A 44-byte capture header of the viewer's kind: 320 x 240, mode 12 (stored 320 x 228).
    FormatHeader in = Captured(kTy0n, 320, 240, 12, 240 * (320 * 12 / 8), 0x0C);
    const std::vector<BYTE> frame = Pattern(in.bih.biSizeImage);
    BITMAPINFOHEADER out = Rgb(320, 240, 24);

    HIC hic = ICLocate(ICTYPE_VIDEO, 0, &in.bih, &out, ICMODE_DECOMPRESS);
    ASSERT_NE(nullptr, hic);
    ICINFO info = {};
    ASSERT_NE(0u, ICGetInfo(hic, &info, sizeof info));
    EXPECT_EQ(kTy0n, info.fccHandler);
    EXPECT_EQ(std::wstring(L"Vantor CODEC"), std::wstring(info.szName));

    Driver d;
    ASSERT_TRUE(d.Ready());
    const LRESULT id = d.Open(kTy0n);
    ASSERT_GT(id, 1);
    for (WORD bits : {24, 32, 16}) {
        out = Rgb(320, 240, bits);
        std::vector<BYTE> viaManager(out.biSizeImage, 0x11), direct(out.biSizeImage, 0x22);
        ASSERT_EQ(ICERR_OK, ICDecompressBegin(hic, &in.bih, &out)) << bits;
        ASSERT_EQ(ICERR_OK, ICDecompress(hic, 0, &in.bih, const_cast<BYTE*>(frame.data()), &out, viaManager.data()));
        EXPECT_EQ(ICERR_OK, ICDecompressEnd(hic));
        ICDECOMPRESS request = {0, &in.bih, const_cast<BYTE*>(frame.data()), &out, direct.data(), 0};
        ASSERT_EQ(0, d.Send(id, ICM_DECOMPRESS_BEGIN, P(&in), P(&out)));
        ASSERT_EQ(0, d.Send(id, ICM_DECOMPRESS, P(&request), sizeof request));
        EXPECT_EQ(0, d.Send(id, ICM_DECOMPRESS_END));
        EXPECT_TRUE(viaManager == direct) << bits << " bits";
        // The driver's rows (the fastest this processor runs) give the plain rows' bytes.
        std::vector<BYTE> plain(out.biSizeImage, 0x22);
        const uint32_t destId = bits == 16 ? 101 : bits == 24 ? 102 : 120;
        ASSERT_EQ(1, vancodc::ConvertFrameWith(vancodc::PlainRows(), 118, 0x0C, frame.data(), 320, 240, destId,
                                               plain.data(), nullptr, nullptr));
        EXPECT_TRUE(plain == direct) << bits << " bits";
        // 228 stored rows spread over 240: the accumulator repeats row 0 first.
        const size_t stride = 320u * bits / 8;
        auto row = [&](size_t r) { return std::vector<BYTE>(direct.begin() + r * stride, direct.begin() + (r + 1) * stride); };
        EXPECT_EQ(row(0), row(1));
        EXPECT_NE(row(1), row(2));
    }
    ICClose(hic);

    // Every registered format finds the driver by its handler.
    for (DWORD code : {kTy2n, kTy2c, kT565}) {
        HIC h = ICOpen(ICTYPE_VIDEO, code, ICMODE_DECOMPRESS);
        EXPECT_NE(nullptr, h);
        if (h) ICClose(h);
    }
}

TEST(CodecManager, DrawDibDrawsThroughTheDriver) {
    RegisterCodec();
    FormatHeader in = Captured(kTy2n, 64, 48, 16, 64 * 48 * 2, 0);
    in.bih.biSize = 40;
    std::vector<BYTE> frame(in.bih.biSizeImage);
    for (size_t i = 0; i < frame.size(); i += 4) {
        frame[i] = 128;      // Y0
        frame[i + 1] = 128;  // U
        frame[i + 2] = 128;  // Y1
        frame[i + 3] = 128;  // V
    }
    BITMAPINFO target = {};
    target.bmiHeader = Rgb(64, 48, 32);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP bitmap = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, bitmap);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::memset(bits, 0, 64 * 48 * 4);

    HDRAWDIB hdd = DrawDibOpen();
    ASSERT_NE(nullptr, hdd);
    EXPECT_TRUE(DrawDibBegin(hdd, dc, 64, 48, &in.bih, 64, 48, 0));
    EXPECT_TRUE(DrawDibDraw(hdd, dc, 0, 0, 64, 48, &in.bih, frame.data(), 0, 0, 64, 48, 0));
    GdiFlush();
    const BYTE* p = static_cast<const BYTE*>(bits) + (24 * 64 + 32) * 4;
    // 555 grey 0x4210 shown on a 32-bit surface: 128 or 132 per component.
    for (int c = 0; c < 3; ++c) {
        EXPECT_GE(p[c], 126) << c;
        EXPECT_LE(p[c], 134) << c;
    }
    DrawDibEnd(hdd);
    DrawDibClose(hdd);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

namespace {

// Runs a driver message that shows a modal window on a thread of its own.
struct ModalCall {
    Driver* driver;
    LRESULT id;
    UINT message;
    LPARAM p1;
    LRESULT result = -12345;
    static DWORD WINAPI Run(void* self) {
        auto* call = static_cast<ModalCall*>(self);
        call->result = call->driver->Send(call->id, call->message, call->p1);
        return 0;
    }
};

}  // namespace

TEST(CodecDialogs, ConfigurationShowsTheDriverInformationDialog) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    ModalCall call{&d, 0, DRV_CONFIGURE, 0};
    HANDLE thread = CreateThread(nullptr, 0, ModalCall::Run, &call, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    HWND dialog = kivo::wt::WaitForWindow("#32770", "Draw Device Information", 10000);
    ASSERT_NE(nullptr, dialog);
    char text[64] = {};
    GetDlgItemTextA(dialog, 107, text, sizeof text);
    EXPECT_STREQ("32 bit Draw Driver  Version 1.11", text);
    EXPECT_NE(nullptr, GetDlgItem(dialog, 102));
    EXPECT_NE(nullptr, GetDlgItem(dialog, 106));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    EXPECT_EQ(0, call.result);
}

TEST(CodecDialogs, AboutBoxShowsTheDescription) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    const LRESULT id = d.Open(kT565);
    ASSERT_GT(id, 1);
    ModalCall call{&d, id, ICM_ABOUT, reinterpret_cast<LPARAM>(GetDesktopWindow())};
    HANDLE thread = CreateThread(nullptr, 0, ModalCall::Run, &call, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    HWND box = kivo::wt::WaitForMessageBox("Vantor CODEC", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("16 bit RGB (565)", kivo::wt::MessageBoxText(box));
    kivo::wt::AnswerMessageBox(box, IDOK);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);
    EXPECT_EQ(ICERR_OK, call.result);
}

TEST(CodecDraw, WineDirectDrawGivesAnOverlayOrTheRefusalIsAnsweredAsSuch) {
    Driver d;
    ASSERT_TRUE(d.Ready());
    const LRESULT id = d.Open(kTy2n);
    ASSERT_GT(id, 1);
    HWND window = CreateWindowExA(0, "STATIC", "draw", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    FormatHeader f = Captured(kTy2n, 320, 240, 16, 320 * 240 * 2, 0);
    ICDRAWBEGIN b = {};
    b.hwnd = window;
    b.dxDst = 320;
    b.dyDst = 240;
    b.lpbi = &f.bih;
    b.dxSrc = 320;
    b.dySrc = 240;
    std::vector<BYTE> data = Pattern(320 * 240 * 2);
    ICDRAW frame = {0, &f, data.data(), DWORD(data.size()), 0};
    const LRESULT begun = d.Send(id, ICM_DRAW_BEGIN, P(&b), sizeof b);
    if (begun == ICERR_OK) {
        EXPECT_EQ(ICERR_OK, d.Send(id, ICM_DRAW, P(&frame), sizeof frame));
        EXPECT_EQ(ICERR_OK, d.Send(id, ICM_DRAW_QUERY, P(&f)));
    } else {
        // Refused: later queries send the caller to decompression, and frames have no overlay.
        EXPECT_EQ(ICERR_ERROR, begun);
        EXPECT_EQ(ICERR_BADFORMAT, d.Send(id, ICM_DRAW_QUERY, P(&f)));
        EXPECT_EQ(ICERR_ERROR, d.Send(id, ICM_DRAW, P(&frame), sizeof frame));
    }
    EXPECT_EQ(ICERR_OK, d.Send(id, ICM_DRAW_END));
    EXPECT_EQ(ICERR_ERROR, d.Send(id, ICM_DRAW_END));
    DestroyWindow(window);
}
