#include "still_capture.h"

#include <windows.h>
#include <vfw.h>

#include <array>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bmp_rules.h"
#include "capture_controller.h"
#include "command_handlers.h"
#include "decompressor_lookup.h"
#include "framework.h"
#include "kvtun32.h"
#include "main_wnd.h"
#include "still_rules.h"
#include "tuner_panel.h"
#include "video_deck.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

constexpr char kCaptureFailed[] = "ビデオキャプチャができません。";
constexpr char kNoMosaicMemory[] = "メモリ不足により、ＢＭＰのキャプチャができません。";
constexpr char kNoDecompressor[] = "デコンプレッサーを設定できませんでした。";
constexpr char kSaveFailed[] = "ファイルの保存ができません。";
constexpr char kWallpaperName[] = "ZORWALL.BMP";

void Beep() { MessageBeep(static_cast<UINT>(-1)); }

HWND MainHandle() { return CWnd::SafeHandle(g_viewer.mainWindow); }

CTuner* Tuner() { return CTuner::Instance(); }

bool Frozen() {
    CTuner* tuner = Tuner();
    return tuner && tuner->State().frozen != 0;
}

void FreeStill() {
    if (g_viewer.stillPicture) GlobalFree(g_viewer.stillPicture);
    if (g_viewer.stillPalette) DeleteObject(g_viewer.stillPalette);
    g_viewer.stillPicture = nullptr;
    g_viewer.stillPalette = nullptr;
}

HPALETTE PaletteOf(HGLOBAL picture) {
    const void* p = GlobalLock(picture);
    if (!p) return nullptr;
    HPALETTE palette = PaletteOfPackedDib(p, GlobalSize(picture));
    GlobalUnlock(picture);
    return palette;
}

// The capture state, from the Record button to the end of the capture.
void SetCapturing(bool on) {
    CVideoDeck* deck = CVideoDeck::Instance();
    if (deck) deck->LatchRecord(on);
    g_viewer.viewMode = on ? kCapturing : kIdle;
}

// The packed picture the clipboard holds as CF_DIB, copied into moveable memory, or null.
HGLOBAL CopyClipboardDib() {
    HGLOBAL held = GetClipboardData(CF_DIB);
    if (!held) return nullptr;
    const auto* from = static_cast<const uint8_t*>(GlobalLock(held));
    if (!from) return nullptr;
    HGLOBAL copy = nullptr;
    const PackedDibSizes sizes = SizesOfPackedDib(from, GlobalSize(held));
    if (sizes.valid && (copy = GlobalAlloc(GMEM_MOVEABLE, sizes.Bytes()))) {
        std::memcpy(GlobalLock(copy), from, sizes.Bytes());
        GlobalUnlock(copy);
    }
    GlobalUnlock(held);
    return copy;
}

void GrabSingleFrame(CMainWnd* main, CCaptureController* capture) {
    HWND window = capture->Window();
    SetCapturing(true);
    const bool frozen = Frozen();
    if (!frozen) {
        capture->PreviewOff();
        if (window) ::ShowWindow(window, SW_HIDE);
        ::RedrawWindow(main->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        capture->Send(WM_CAP_GRAB_FRAME);
    }
    HGLOBAL picture = nullptr;
    bool opened = false;
    if (capture->Send(WM_CAP_EDIT_COPY) && (opened = OpenClipboard(main->m_hWnd) != FALSE) &&
        IsClipboardFormatAvailable(CF_DIB))
        picture = CopyClipboardDib();
    if (opened) CloseClipboard();
    if (!picture) {
        Beep();
        SetCapturing(false);
        capture->PreviewOn();
        if (window) ::ShowWindow(window, SW_SHOW);
        return;
    }
    SetCapturing(false);
    if (frozen) {
        // A frozen picture taller than the screen's still view leaves the freeze.
        int32_t height = 0;
        if (const auto* h = static_cast<const uint8_t*>(GlobalLock(picture))) {
            height = static_cast<int32_t>(Le32(h + 8));
            GlobalUnlock(picture);
        }
        const int32_t screen = g_viewer.screenHeight;
        const int32_t limit = screen == 480 ? 330 : screen == 600 ? 450 : screen == 768 ? 600 : 0;
        if (limit && height > limit) {
            if (CTuner* tuner = Tuner()) tuner->Freeze();
        }
    }
    if (StoreStill(picture)) main->ShowStill();
    else ShowViewerMessage(kCaptureFailed, MB_TASKMODAL | MB_ICONERROR);
    if (!frozen) capture->PreviewOn();
}

// The mosaic under way.
struct Mosaic {
    bool running = false;
    MosaicGeometry geometry{};
    int32_t done = 0;
    HGLOBAL picture = nullptr;
    uint8_t* rows = nullptr;  // the locked picture's rows while the capture runs
    HIC decompressor = nullptr;
    HDRAWDIB drawDib = nullptr;
    std::array<uint8_t, 44> in{}, out{};
    std::vector<uint8_t> tile;
    std::array<uint8_t, kBmpInfoBytes> tileHeader{};
};
Mosaic g_mosaic;

void FreeMosaicPicture() {
    if (g_mosaic.rows) GlobalUnlock(g_mosaic.picture);
    g_mosaic.rows = nullptr;
    if (g_mosaic.picture) GlobalFree(g_mosaic.picture);
    g_mosaic.picture = nullptr;
}

void CloseDecompressor() {
    if (!g_mosaic.decompressor) return;
    ICDecompressEnd(g_mosaic.decompressor);
    ICClose(g_mosaic.decompressor);
    g_mosaic.decompressor = nullptr;
}

HIC OpenDecompressor(int32_t w, int32_t h, const std::array<uint8_t, 44>& captureRecord) {
    g_mosaic.in = DecompressorInputFormat(captureRecord, w, h);
    g_mosaic.out = DecompressorOutputFormat(w, h);
    // The viewer's two format records hold the look-up's formats.
    if (g_viewer.formatIn) std::memcpy(g_viewer.formatIn, g_mosaic.in.data(), 44);
    if (g_viewer.formatOut) std::memcpy(g_viewer.formatOut, g_mosaic.out.data(), 44);
    auto* in = reinterpret_cast<BITMAPINFOHEADER*>(g_mosaic.in.data());
    auto* out = reinterpret_cast<BITMAPINFOHEADER*>(g_mosaic.out.data());
    HIC hic = LocateDecompressor(in, out);
    if (hic && ICDecompressBegin(hic, in, out) != ICERR_OK) {
        ICClose(hic);
        hic = nullptr;
    }
    return hic;
}

// The capture's end when no mosaic became the still: the window's size, the live picture back.
void CloseMosaic(CMainWnd* main, CCaptureController* capture) {
    g_mosaic.running = false;
    if (g_mosaic.drawDib) DrawDibClose(g_mosaic.drawDib);
    g_mosaic.drawDib = nullptr;
    SetCapturing(false);
    CloseDecompressor();
    FreeMosaicPicture();
    const RECT& saved = g_viewer.savedRect;
    ::SetWindowPos(main->m_hWnd, nullptr, 0, 0, saved.right - saved.left, saved.bottom - saved.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    capture->FitToVideoArea();
    capture->PreviewOn();
    if (HWND window = capture->Window()) ::ShowWindow(window, SW_SHOW);
}

void CaptureMosaic(CMainWnd* main, CCaptureController* capture, int32_t intervalMs, int32_t grid) {
    g_mosaic = Mosaic{};
    if (CTuner* tuner = Tuner()) tuner->ReleaseFreeze();
    CAPTUREPARMS p{};
    bool ok = capture->Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p)) != 0;
    p.dwRequestMicroSecPerFrame = static_cast<DWORD>(intervalMs) * 1000;
    p.wPercentDropForError = 100;
    p.fYield = FALSE;
    p.fCaptureAudio = FALSE;
    p.vKeyAbort = 0;
    p.fAbortLeftMouse = FALSE;
    p.fAbortRightMouse = FALSE;
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = MosaicTimeLimit(intervalMs, grid);
    ok = ok && capture->Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p)) != 0;
    if (!ok) {
        ShowViewerMessage(kCaptureFailed, MB_TASKMODAL | MB_ICONERROR);
        return;
    }

    RECT client{};
    ::GetClientRect(main->m_hWnd, &client);
    const int32_t cyDlg = GetSystemMetrics(SM_CYDLGFRAME), cyCaption = GetSystemMetrics(SM_CYCAPTION);
    const MosaicGeometry g =
        ComputeMosaicGeometry(grid, client.bottom - kFrameMargin, g_viewer.screenHeight, cyDlg, cyCaption);
    g_mosaic.geometry = g;
    g_mosaic.picture = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, SIZE_T(g.ImageBytes()) + kBmpInfoBytes);
    auto* block = g_mosaic.picture ? static_cast<uint8_t*>(GlobalLock(g_mosaic.picture)) : nullptr;
    if (!block) {
        FreeMosaicPicture();
        ShowViewerMessage(kNoMosaicMemory, MB_TASKMODAL | MB_ICONERROR);
        return;
    }
    const auto header = Rgb24Header(g.Width(), g.Height(), g.ImageBytes());
    std::memcpy(block, header.data(), header.size());
    g_mosaic.rows = block + kBmpInfoBytes;

    if (HWND window = capture->Window()) ::ShowWindow(window, SW_HIDE);
    g_viewer.savedRect = g_viewer.currentRect;
    SetCapturing(true);
    if (client.right - kFrameMargin != g.Width()) {
        main->SetMosaicResizing(true);
        ::SetWindowPos(main->m_hWnd, nullptr, 0, 0, g.Width() + 2 * GetSystemMetrics(SM_CXDLGFRAME) + kFrameMargin,
                       g.Height() + cyCaption + 2 * cyDlg + kFrameMargin, SWP_NOMOVE | SWP_NOZORDER);
        main->SetMosaicResizing(false);
    }
    ::UpdateWindow(main->m_hWnd);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);

    g_mosaic.decompressor = OpenDecompressor(g.tileWidth, g.tileHeight, capture->FormatRecord());
    if (!g_mosaic.decompressor) {
        SetCapturing(false);
        char name[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, name, MAX_PATH);
        std::string app = name;
        app = app.substr(app.find_last_of("\\/") + 1);
        app = app.substr(0, app.find_last_of('.'));
        MessageBoxA(main->m_hWnd, kNoDecompressor, app.c_str(), MB_OK);
        // The window and the live picture come back as after any failed capture.
        return CloseMosaic(main, capture);
    }
    if (!capture->SetVideoFormat(g.tileWidth, g.tileHeight)) {
        ShowViewerMessage(kCaptureFailed, MB_TASKMODAL | MB_ICONERROR);
        return CloseMosaic(main, capture);
    }
    g_mosaic.tile.assign(size_t(g.tileStride) * g.tileHeight, 0);
    g_mosaic.tileHeader = Rgb24Header(g.tileWidth, g.tileHeight, uint32_t(g_mosaic.tile.size()));
    g_mosaic.drawDib = DrawDibOpen();
    if (!g_mosaic.drawDib) return CloseMosaic(main, capture);
    g_mosaic.running = true;
    capture->Send(WM_CAP_SEQUENCE_NOFILE);
    g_mosaic.running = false;
    if (g_mosaic.done < g.Cells()) {
        ShowViewerMessage(kCaptureFailed, MB_TASKMODAL | MB_ICONERROR);
        return CloseMosaic(main, capture);
    }
    CloseDecompressor();
    GlobalUnlock(g_mosaic.picture);
    g_mosaic.rows = nullptr;
    HGLOBAL picture = g_mosaic.picture;
    g_mosaic.picture = nullptr;
    if (!StoreStill(picture)) return CloseMosaic(main, capture);
    DrawDibClose(g_mosaic.drawDib);
    g_mosaic.drawDib = nullptr;
    SetCapturing(false);
    capture->FitToVideoArea();
    main->ShowStill();
}

// The clipboard's copy of the still: CF_DIB, CF_PALETTE with 256 or fewer colours, CF_BITMAP.
void PutOnClipboard(HGLOBAL picture) {
    auto* block = static_cast<uint8_t*>(GlobalLock(picture));
    if (!block) return;
    const PackedDibSizes sizes = SizesOfPackedDib(block, GlobalSize(picture));
    if (sizes.valid) {
        CompletePackedDibHeader(block, sizes);
        if (HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, sizes.Bytes())) {
            std::memcpy(GlobalLock(copy), block, sizes.Bytes());
            GlobalUnlock(copy);
            if (!SetClipboardData(CF_DIB, copy)) GlobalFree(copy);
        }
        if (Le16(block + 14) <= 8) {
            if (HPALETTE palette = PaletteOfPackedDib(block, GlobalSize(picture)))
                if (!SetClipboardData(CF_PALETTE, palette)) DeleteObject(palette);
        }
        HDC screen = GetDC(nullptr);
        const auto* info = reinterpret_cast<const BITMAPINFO*>(block);
        HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, block + kBmpInfoBytes + sizes.colours * 4,
                                        info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        if (bitmap && !SetClipboardData(CF_BITMAP, bitmap)) DeleteObject(bitmap);
    }
    GlobalUnlock(picture);
}

// A 24-bit picture reduced to the tuner library's 256 colours, or null.
HGLOBAL ReduceTo256(HGLOBAL picture) {
    auto* source = static_cast<uint8_t*>(GlobalLock(picture));
    if (!source) return nullptr;
    HGLOBAL reduced = nullptr;
    const PackedDibSizes sizes = SizesOfPackedDib(source, GlobalSize(picture));
    const int32_t width = static_cast<int32_t>(Le32(source + 4)), height = static_cast<int32_t>(Le32(source + 8));
    // The reduction reads bottom-up 24-bit rows right after the header.
    if (sizes.valid && Le16(source + 14) == 24 && Le32(source + 16) == 0 && sizes.colours == 0 && height > 0 &&
        sizes.imageBytes >= BmpRowBytes(width, 24) * uint64_t(height)) {
        const uint64_t bytes = ReducedStillBytes(width, height);
        reduced = bytes <= kBmpLargestFile ? GlobalAlloc(GMEM_MOVEABLE, SIZE_T(bytes)) : nullptr;
        if (void* destination = reduced ? GlobalLock(reduced) : nullptr) {
            const LONG result = TrueTo256(source, destination);
            GlobalUnlock(reduced);
            if (result != 0) {
                GlobalFree(reduced);
                reduced = nullptr;
            }
        } else if (reduced) {
            GlobalFree(reduced);
            reduced = nullptr;
        }
    }
    GlobalUnlock(picture);
    return reduced;
}

const char* RefusalText(BmpVerdict v) {
    switch (v) {
    case BmpVerdict::kTooLarge:
        return "メモリ不足により、ＢＭＰファイルを読み込めません。";
    case BmpVerdict::kNotBmp:
        return "ＢＭＰファイルではないため、読み込めません。";
    case BmpVerdict::kHeader:
    case BmpVerdict::kDepth:
    case BmpVerdict::kCompression:
    case BmpVerdict::kTopDown:
        return "この形式のＢＭＰファイルは読み込めません。";
    case BmpVerdict::kEmpty:
        return "画像の大きさが０のため、読み込めません。";
    default:
        return "ＢＭＰファイルの内容が壊れているため、読み込めません。";
    }
}

}  // namespace

void CaptureStill(int32_t intervalMs, int32_t grid) {
    CMainWnd* main = CMainWnd::Instance();
    CCaptureController* capture = g_viewer.captureController;
    if (!main || !capture || g_mosaic.running) return;
    CloseRemoteHelp();
    main->PrepareCapture();
    FreeStill();
    if (grid >= 2) CaptureMosaic(main, capture, intervalMs, grid);
    else GrabSingleFrame(main, capture);
}

void MosaicStillFrame(const void* data, uint32_t bytes) {
    if (!g_mosaic.running || !g_mosaic.rows) return;
    const MosaicGeometry& g = g_mosaic.geometry;
    if (g_mosaic.done >= g.Cells()) return;
    // A frame that fails to decode, or is shorter than the format, leaves its cell black.
    auto* in = reinterpret_cast<BITMAPINFOHEADER*>(g_mosaic.in.data());
    auto* out = reinterpret_cast<BITMAPINFOHEADER*>(g_mosaic.out.data());
    if (data && bytes >= in->biSizeImage &&
        ICDecompress(g_mosaic.decompressor, 0, in, const_cast<void*>(data), out, g_mosaic.tile.data()) == ICERR_OK) {
        CopyTileToMosaic(g, g_mosaic.done, g_mosaic.tile.data(), g_mosaic.rows);
        const MosaicCell cell = MosaicCellOf(g, g_mosaic.done);
        if (HWND main = MainHandle()) {
            HDC dc = GetDC(main);
            DrawDibDraw(g_mosaic.drawDib, dc, cell.drawX, cell.drawY, g.tileWidth, g.tileHeight,
                        reinterpret_cast<BITMAPINFOHEADER*>(g_mosaic.tileHeader.data()), g_mosaic.tile.data(), 0, 0,
                        g.tileWidth, g.tileHeight, 0);
            ReleaseDC(main, dc);
        }
    }
    if (++g_mosaic.done == g.Cells()) {
        if (CCaptureController* capture = g_viewer.captureController) capture->Send(WM_CAP_STOP);
    }
}

bool StoreStill(HGLOBAL picture) {
    if (!picture) return false;
    HGLOBAL still = picture;
    HPALETTE palette = nullptr;
    if (g_viewer.colourDepth <= 8) {
        auto* p = static_cast<const uint8_t*>(GlobalLock(picture));
        const uint16_t bits = p ? Le16(p + 14) : 0;
        if (p) GlobalUnlock(picture);
        if (bits > 8) {
            still = ReduceTo256(picture);
            GlobalFree(picture);
        }
        if (still) palette = PaletteOf(still);
    }
    FreeStill();
    g_viewer.stillPicture = still;
    g_viewer.stillPalette = palette;
    if (!still) return false;
    if (OpenClipboard(MainHandle())) {
        // The clipboard holds the still alone, not what the capture window left there.
        EmptyClipboard();
        PutOnClipboard(still);
        CloseClipboard();
    }
    return true;
}

HGLOBAL ReadBmpFile(const char* path, bool tell) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    std::vector<uint8_t> bytes;
    BmpVerdict verdict = BmpVerdict::kTooLarge;
    if (high == 0 && low != INVALID_FILE_SIZE && low <= kBmpLargestFile) {
        verdict = BmpVerdict::kShort;
        DWORD read = 0;
        try {
            bytes.resize(low);
            if (ReadFile(file, bytes.data(), low, &read, nullptr) && read == low) verdict = BmpVerdict::kOk;
        } catch (const std::bad_alloc&) {
            verdict = BmpVerdict::kTooLarge;
        }
    }
    CloseHandle(file);
    std::vector<uint8_t> packed;
    if (verdict == BmpVerdict::kOk) {
        try {
            verdict = PackedFromBmpFile(bytes.data(), bytes.size(), &packed);
        } catch (const std::bad_alloc&) {
            verdict = BmpVerdict::kTooLarge;
        }
    }
    HGLOBAL block = nullptr;
    if (verdict == BmpVerdict::kOk) {
        block = GlobalAlloc(GMEM_MOVEABLE, packed.size());
        if (void* p = block ? GlobalLock(block) : nullptr) {
            std::memcpy(p, packed.data(), packed.size());
            GlobalUnlock(block);
        } else {
            if (block) GlobalFree(block);
            block = nullptr;
            verdict = BmpVerdict::kTooLarge;
        }
    }
    if (!block && tell) ShowViewerMessage(RefusalText(verdict), MB_TASKMODAL | MB_ICONERROR);
    return block;
}

bool LoadStill() {
    CFileDialog dialog(true, "bmp", "ZORTVCAP.BMP", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, "(Bitmap) *.bmp |*.bmp|",
                       MainHandle());
    if (dialog.DoModal() != IDOK) return false;
    // The file is checked whole before the current still is let go.
    HGLOBAL picture = ReadBmpFile(dialog.GetPathName().c_str(), true);
    if (!picture) return false;
    FreeStill();
    g_viewer.stillPicture = picture;
    g_viewer.stillPalette = PaletteOf(picture);
    if (CMainWnd* main = CMainWnd::Instance()) main->ShowStill();
    return true;
}

int WriteStillBmp(const char* path) {
    HGLOBAL still = g_viewer.stillPicture;
    auto* block = still ? static_cast<uint8_t*>(GlobalLock(still)) : nullptr;
    if (!block) return 1;
    const PackedDibSizes sizes = SizesOfPackedDib(block, GlobalSize(still));
    if (!sizes.valid) {
        GlobalUnlock(still);
        return 1;
    }
    CompletePackedDibHeader(block, sizes);
    const auto header = BmpFileHeader(sizes.colours, sizes.imageBytes);
    OFSTRUCT of{};
    of.cBytes = sizeof of;
    HFILE file = OpenFile(path, &of, OF_CREATE | OF_WRITE);
    if (file == HFILE_ERROR) {
        GlobalUnlock(still);
        return 1;
    }
    const bool ok = _lwrite(file, reinterpret_cast<LPCCH>(header.data()), header.size()) == header.size() &&
                    _hwrite(file, reinterpret_cast<LPCCH>(block), long(sizes.Bytes())) == long(sizes.Bytes());
    _lclose(file);
    GlobalUnlock(still);
    if (ok) return 0;
    DeleteFileA(path);
    return 2;
}

void SaveStill() {
    if (!g_viewer.stillPicture) {
        Beep();
        return;
    }
    CFileDialog dialog(false, "bmp", "*.bmp", OFN_HIDEREADONLY, "(Bitmap) *.bmp |*.bmp||", MainHandle());
    if (dialog.DoModal() != IDOK) return;
    if (WriteStillBmp(dialog.GetPathName().c_str()) != 0) ShowViewerMessage(kSaveFailed, MB_TASKMODAL | MB_ICONERROR);
}

void MakeWallpaper() {
    const std::string path = std::string(g_viewer.programDirectory) + kWallpaperName;
    if (!g_viewer.stillPicture || WriteStillBmp(path.c_str()) != 0) {
        Beep();
        return;
    }
    WriteProfileStringA("Desktop", "TileWallpaper", "1");
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()),
                          SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
    ChooseCaptureDrive();
}

void TakeDosStill(HGLOBAL picture) {
    if (!StoreStill(picture)) return;
    CVideoDeck* deck = CVideoDeck::Instance();
    if (!deck) return;
    deck->SwitchToStill();
    deck->Play();
}
