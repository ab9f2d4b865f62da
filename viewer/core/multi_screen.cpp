#include "multi_screen.h"

#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <new>

#include "capture_controller.h"
#include "decompressor_lookup.h"
#include "kvtun32.h"
#include "main_wnd.h"
#include "mosaic_geometry.h"
#include "tuner_panel.h"
#include "tuner_state_win32.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

constexpr uint32_t kDecodeEvery = 15;  // frames
constexpr DWORD kMicroSecPerFrame = 66666;
constexpr UINT kPreviewRateMs = 66;
constexpr WORD kTimeLimitSeconds = 600;

struct MultiScreen {
    MosaicLayout layout{};
    int32_t selectedCell = 0;
    int32_t captureCell = 0;
    int32_t exitPreset = -1;
    uint32_t frameCounter = 0;
    bool paintOnlyCell = false;
    Rect32 dirtyCell{};
    uint8_t cellFormat[44] = {};
    HGLOBAL mosaic = nullptr;
    uint8_t* mosaicBytes = nullptr;  // the header, then the pixels; locked while the view runs
    HIC decompressor = nullptr;
    HDRAWDIB drawDib = nullptr;
    // The teardown resizes the window, which drains the queue: a press of the button that
    // waited there must not start a view inside it.
    bool finishing = false;
};
MultiScreen g_ms;

HWND MainHandle() { return CWnd::SafeHandle(g_viewer.mainWindow); }
CCaptureController* Capture() { return g_viewer.captureController; }

const BITMAPINFOHEADER* MosaicHeader() { return reinterpret_cast<const BITMAPINFOHEADER*>(g_ms.mosaicBytes); }
uint8_t* MosaicPixels() { return g_ms.mosaicBytes + sizeof(BITMAPINFOHEADER); }

bool AllocateMosaic() {
    const MosaicPicture p = MosaicPictureOf(g_ms.layout);
    g_ms.mosaic = GlobalAlloc(GHND, sizeof(BITMAPINFOHEADER) + p.imageBytes);
    if (!g_ms.mosaic) return false;
    g_ms.mosaicBytes = static_cast<uint8_t*>(GlobalLock(g_ms.mosaic));
    if (!g_ms.mosaicBytes) {
        GlobalFree(g_ms.mosaic);
        g_ms.mosaic = nullptr;
        return false;
    }
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = p.width;
    h.biHeight = p.height;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    h.biSizeImage = p.imageBytes;
    std::memcpy(g_ms.mosaicBytes, &h, sizeof h);
    return true;
}

void FreeMosaic() {
    if (!g_ms.mosaic) return;
    GlobalUnlock(g_ms.mosaic);
    GlobalFree(g_ms.mosaic);
    g_ms.mosaic = nullptr;
    g_ms.mosaicBytes = nullptr;
}

void CloseDrawDib() {
    if (g_ms.drawDib) DrawDibClose(g_ms.drawDib);
    g_ms.drawDib = nullptr;
}

// The green frame round a cell, or black to take it away.
void DrawSelectionFrame(HDC dc, int32_t cell, bool show) {
    const Rect32 f = SelectionFrameRect(g_ms.layout, cell);
    RECT r{f.left, f.top, f.right, f.bottom};
    HBRUSH brush = show ? CreateSolidBrush(RGB(0, 255, 0)) : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FrameRect(dc, &r, brush);
    InflateRect(&r, -1, -1);
    FrameRect(dc, &r, brush);
    if (show) DeleteObject(brush);
}

void DrawSelectionFrameNow(int32_t cell, bool show) {
    HWND main = MainHandle();
    if (!main) return;
    HDC dc = GetDC(main);
    DrawSelectionFrame(dc, cell, show);
    ReleaseDC(main, dc);
}

void SetMainMovable() {
    if (CMainWnd* main = CMainWnd::Instance()) main->SetMovable(true);
}

void TuneCell(int32_t cell) {
    CTuner* tuner = CTuner::Instance();
    if (!tuner || cell < 0 || cell >= tuner->State().validPresetCount) return;
    const TunerState& s = tuner->State();
    TuneChannel(ViewerTuner(), s.presets[s.validPresets[cell]].channel);
}

// The main window and the capture window back at the size of before the view.
void RestoreSavedSize() {
    const RECT& saved = g_viewer.savedRect;
    if (HWND main = MainHandle())
        SetWindowPos(main, nullptr, 0, 0, saved.right - saved.left, saved.bottom - saved.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowFailure() {
    char title[MAX_PATH] = "zortv";
    char path[MAX_PATH];
    if (GetModuleFileNameA(nullptr, path, sizeof path)) {
        const char* name = std::strrchr(path, '\\');
        name = name ? name + 1 : path;
        lstrcpynA(title, name, sizeof title);
        if (char* dot = std::strrchr(title, '.')) *dot = '\0';
    }
    MessageBoxA(MainHandle(), "マルチ画面は失敗。", title, MB_OK);
}

}  // namespace

void MultiScreenSize(int32_t& outerWidth, int32_t& outerHeight) {
    const Size32 s = MultiScreenOuterSize(g_ms.layout.columns, CurrentFrameMetrics());
    outerWidth = s.cx;
    outerHeight = s.cy;
}

bool MultiScreenSelection(int* selectedCell, int* columns, int* cellWidth, int* cellHeight) {
    if (!g_viewer.multiScreenActive) return false;
    *selectedCell = g_ms.selectedCell;
    *columns = g_ms.layout.columns;
    *cellWidth = g_ms.layout.cellWidth;
    *cellHeight = g_ms.layout.cellHeight;
    return true;
}

bool EnterMultiScreen() {
    CTuner* tuner = CTuner::Instance();
    CMainWnd* main = CMainWnd::Instance();
    CCaptureController* capture = Capture();
    if (!tuner || !main || !capture || g_viewer.multiScreenActive || g_ms.finishing) return false;
    const TunerState& s = tuner->State();
    const int32_t count = s.validPresetCount;
    g_ms.frameCounter = 0;
    g_ms.selectedCell = CellOfPreset(s.validPresets, count, s.currentPreset);
    if (count <= 0) {
        MessageBeep(static_cast<UINT>(-1));
        return false;
    }
    g_viewer.savedRect = g_viewer.currentRect;
    g_ms.exitPreset = -1;
    HWND deck = CWnd::SafeHandle(g_viewer.videoDeck);
    if (deck && IsWindowVisible(deck)) ShowWindow(deck, SW_HIDE);
    tuner->ReleaseFreeze();

    g_ms.captureCell = 0;
    TuneCell(0);

    const FrameMetrics m = CurrentFrameMetrics();
    g_ms.layout = MosaicLayoutFor(count, m);
    const auto record = CellFormatRecord(g_ms.layout.cellWidth, g_ms.layout.cellHeight, g_viewer.screenWidth,
                                         g_viewer.colourDepth);
    std::memcpy(g_ms.cellFormat, record.data(), sizeof g_ms.cellFormat);
    capture->Send(WM_CAP_SET_VIDEOFORMAT, sizeof g_ms.cellFormat, LPARAM(g_ms.cellFormat));

    CAPTUREPARMS params{};
    bool parameters = capture->Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof params, LPARAM(&params)) != 0;
    if (parameters) {
        params.dwRequestMicroSecPerFrame = kMicroSecPerFrame;
        params.wPercentDropForError = 100;
        params.fYield = TRUE;
        params.dwIndexSize = 324000;
        params.fCaptureAudio = FALSE;
        params.vKeyAbort = 0;
        params.fAbortLeftMouse = FALSE;
        params.fAbortRightMouse = FALSE;
        params.fLimitEnabled = TRUE;
        params.wTimeLimit = kTimeLimitSeconds;
        parameters = capture->Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof params, LPARAM(&params)) != 0;
    }
    if (!parameters) {
        capture->FitToVideoArea();
        return false;
    }

    g_viewer.multiScreenActive = 1;
    bool started = false;
    if (AllocateMosaic()) {
        g_ms.drawDib = DrawDibOpen();
        if (g_ms.drawDib) {
            const Size32 outer = MultiScreenOuterSize(g_ms.layout.columns, m);
            const RECT& saved = g_viewer.savedRect;
            const bool toLeftEdge = saved.left < 0;
            SetWindowPos(main->m_hWnd, nullptr, 0, saved.top, outer.cx, outer.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE | (toLeftEdge ? 0 : SWP_NOMOVE));
            HWND window = g_viewer.captureWindow;
            SetWindowPos(window, nullptr, kMosaicGap, kMosaicGap, g_ms.layout.cellWidth, g_ms.layout.cellHeight,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            UpdateWindow(main->m_hWnd);
            UpdateWindow(window);
            capture->Send(WM_CAP_SET_PREVIEWRATE, kPreviewRateMs);
            if (g_viewer.screenWidth >= 800) {
                capture->Send(WM_CAP_SET_PREVIEW, TRUE);
                capture->Send(WM_CAP_SET_PREVIEWRATE, kPreviewRateMs);
            }

            g_ms.decompressor = OpenFrameDecompressor(g_ms.cellFormat);
            if (!g_ms.decompressor) {
                CloseDrawDib();
                FreeMosaic();
                g_viewer.multiScreenActive = 0;
                RestoreSavedSize();
                capture->FitToVideoArea();
                ShowFailure();
                return false;
            }

            SetFocus(main->m_hWnd);
            if (capture->Send(WM_CAP_SEQUENCE_NOFILE)) {
                HDC dc = GetDC(main->m_hWnd);
                RECT client;
                GetClientRect(main->m_hWnd, &client);
                RECT video{0, 0, client.right - kFrameMargin, client.bottom - kFrameMargin};
                FillRect(dc, &video, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                DrawSelectionFrame(dc, g_ms.selectedCell, true);
                ReleaseDC(main->m_hWnd, dc);
                return true;
            }
            if (g_viewer.screenWidth >= 800) capture->PreviewOn();
            // The decoder begun above is not left open behind a view that never ran.
            CloseFrameDecompressor(g_ms.decompressor);
            CloseDrawDib();
            started = true;  // the window was resized: give it back its size
        }
    }
    FreeMosaic();
    g_viewer.multiScreenActive = 0;
    if (started) RestoreSavedSize();
    capture->FitToVideoArea();
    return false;
}

void ExitMultiScreen(int32_t preset) {
    g_ms.exitPreset = preset;
    if (CCaptureController* capture = Capture()) capture->Send(WM_CAP_STOP);
    CloseFrameDecompressor(g_ms.decompressor);
}

void FinishMultiScreen() {
    if (!g_viewer.multiScreenActive || g_ms.finishing) return;
    g_ms.finishing = true;
    CCaptureController* capture = Capture();
    if (capture && g_viewer.screenWidth >= 800) capture->PreviewOn();
    g_viewer.multiScreenActive = 0;
    FreeMosaic();
    CloseDrawDib();
    CloseFrameDecompressor(g_ms.decompressor);

    if (CTuner* tuner = CTuner::Instance()) {
        if (g_ms.exitPreset < 0) tuner->ReapplySource();
        else tuner->SelectPresetAt(g_ms.exitPreset);
        tuner->RepaintMulti();
    }

    HWND window = g_viewer.captureWindow;
    if (capture) capture->Send(WM_CAP_SET_OVERLAY, TRUE);
    if (window) SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT& saved = g_viewer.savedRect;
    const FrameMetrics m = CurrentFrameMetrics();
    RestoreSavedSize();
    if (window)
        SetWindowPos(window, nullptr, 0, 0, saved.right - saved.left - m.FrameW() - kFrameMargin,
                     saved.bottom - saved.top - m.FrameH() - kFrameMargin, SWP_NOMOVE | SWP_NOZORDER);
    if (HWND main = MainHandle()) {
        InvalidateRect(main, nullptr, TRUE);
        UpdateWindow(main);
    }
    g_ms.finishing = false;
}

void MultiScreenFrame(const void* data, uint32_t bytes) {
    if (++g_ms.frameCounter < kDecodeEvery) return;
    g_ms.frameCounter = 0;
    // The tuner is still settling on the cell's channel: this frame may show the last one.
    if (GetUseTuner() & 0xFFFF) return;
    const MosaicLayout& l = g_ms.layout;
    const int32_t cell = g_ms.captureCell;
    const auto* in = reinterpret_cast<const BITMAPINFOHEADER*>(g_ms.cellFormat);
    // A short frame would have the decoder read past its end.
    if (!data || bytes < in->biSizeImage || !g_ms.mosaicBytes) return;
    const size_t rowBytes = size_t(l.cellWidth) * 3;
    uint8_t* buffer = new (std::nothrow) uint8_t[rowBytes * size_t(l.cellHeight)];
    if (!buffer) return;
    if (!g_ms.decompressor || !g_viewer.formatOut) {
        delete[] buffer;
        return;
    }
    // The decoder writes the cell at its own size: the output record it was begun with.
    const DWORD result = ICDecompress(g_ms.decompressor, 0, const_cast<BITMAPINFOHEADER*>(in), const_cast<void*>(data),
                                      &g_viewer.formatOut->header, buffer);
    if (result != ICERR_OK) {
        delete[] buffer;
        return;
    }
    uint8_t* pixels = MosaicPixels();
    for (int32_t i = 0; i < l.cellHeight; ++i)
        std::memcpy(pixels + CellRowOffset(l, cell, i), buffer + size_t(i) * rowBytes, rowBytes);
    delete[] buffer;

    g_ms.dirtyCell = CellRect(l, cell);
    g_ms.captureCell = NextCaptureCell(cell, l.count);

    HWND main = MainHandle();
    if (main) {
        UpdateWindow(main);
        g_ms.paintOnlyCell = true;
        const Point32 at = CellOrigin(l, g_ms.captureCell);
        if (HWND window = g_viewer.captureWindow)
            SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(main);
        g_ms.paintOnlyCell = false;
        ValidateRect(main, nullptr);
    }
    TuneCell(g_ms.captureCell);
}

void PaintMultiScreen(HDC dc, const RECT& area) {
    if (!g_ms.mosaicBytes) return;
    Rect32 r{area.left, area.top, area.right, area.bottom};
    if (g_ms.paintOnlyCell) r = g_ms.dirtyCell;
    r = ClipToMosaic(r, MosaicPictureOf(g_ms.layout));
    if (r.Width() > 0 && g_ms.drawDib)
        DrawDibDraw(g_ms.drawDib, dc, r.left, r.top, r.Width(), r.Height(), const_cast<BITMAPINFOHEADER*>(MosaicHeader()),
                    MosaicPixels(), r.left, r.top, r.Width(), r.Height(), 0);
    DrawSelectionFrame(dc, g_ms.selectedCell, true);
}

void MultiScreenKey(uint32_t key) {
    if (!g_viewer.multiScreenActive) return;
    CTuner* tuner = CTuner::Instance();
    if (key == kMosaicKeyReturn) {
        const TunerState* s = tuner ? &tuner->State() : nullptr;
        const int32_t cell = g_ms.selectedCell;
        ExitMultiScreen(s && cell >= 0 && cell < s->validPresetCount ? s->validPresets[cell] : -1);
        SetMainMovable();
        return;
    }
    if (key == kMosaicKeyEscape) {
        ExitMultiScreen(-1);
        SetMainMovable();
        return;
    }
    const int32_t next = MoveSelection(g_ms.layout, g_ms.selectedCell, key);
    if (next == g_ms.selectedCell) return;
    DrawSelectionFrameNow(g_ms.selectedCell, false);
    g_ms.selectedCell = next;
    DrawSelectionFrameNow(next, true);
}

void MultiScreenClick(int32_t x, int32_t y) {
    if (!g_viewer.multiScreenActive) return;
    const int32_t cell = CellAt(g_ms.layout, x, y);
    if (cell < 0) return;
    DrawSelectionFrameNow(g_ms.selectedCell, false);
    g_ms.selectedCell = cell;
    DrawSelectionFrameNow(cell, true);
    if (HWND tuner = CWnd::SafeHandle(g_viewer.tunerPanel)) PostMessageA(tuner, WM_KEYDOWN, VK_RETURN, 0);
}
