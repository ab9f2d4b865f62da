#include "main_wnd.h"

#include <windows.h>
#include <shellapi.h>
#include <vfw.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "capture_controller.h"
#include "command_handlers.h"
#include "commands.h"
#include "multi_screen.h"
#include "settings.h"
#include "skin_gdi.h"
#include "tuner_panel.h"
#include "video_deck.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "voice_receiver.h"

namespace {

constexpr char kFirstTitle[] = "KIVOMON";
constexpr char kTitle[] = "KIVO";
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kStyle == 0x82CA0000, "the main window's style");
static_assert((kStyle | WS_MAXIMIZEBOX) == 0x82CB0000, "with the maximise box");

constexpr UINT kNotifyMode = 0x4C8;   // MCIWNDM_NOTIFYMODE
constexpr UINT kNotifyPos = 0x4C9;    // MCIWNDM_NOTIFYPOS
constexpr UINT kNotifyError = 0x4CD;  // MCIWNDM_NOTIFYERROR
constexpr WORD kDesktopSizeNotice = 8192;
constexpr char kEdgeMessage[] = "画面の右端や下端では、チューナーパネルやビデオデッキは表示できません。";
constexpr char kShortcutTail[] = "\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ｽﾀｰﾄｱｯﾌﾟ\\kivo.lnk";

CMainWnd* g_main = nullptr;

HDC Dc(SkinCanvas& c) { return static_cast<HDC>(c.Context()); }
HBRUSH Stock(int brush) { return static_cast<HBRUSH>(GetStockObject(brush)); }

Rect32 ToRect32(const RECT& r) { return Rect32{r.left, r.top, r.right, r.bottom}; }
SkinRect ToSkin(const Rect32& r) { return SkinRect{r.left, r.top, r.right, r.bottom}; }

Rect32 CurrentRect() { return ToRect32(g_viewer.currentRect); }

SizeContext Context() {
    return SizeContext{g_viewer.multiScreenActive != 0, g_viewer.viewMode, g_viewer.deckBmpMode};
}

HWND Handle(CWnd* w) { return CWnd::SafeHandle(w); }

bool Visible(CWnd* w) { return w && w->m_hWnd && IsWindowVisible(w->m_hWnd); }

bool TunerPinned() { return g_viewer.pinnedOnTop != 0; }

// The grow-zone drag in progress.
struct GrowDrag {
    bool running = false;
    bool outlined = false;
    POINT offset{};
};
GrowDrag g_grow;

void DrawOutline(POINT origin, SIZE size) {
    RECT r{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
    HDC screen = GetDC(nullptr);
    DrawFocusRect(screen, &r);
    ReleaseDC(nullptr, screen);
}

void DrawLabelText(HDC dc, const RECT& rect, int32_t w, int32_t h) {
    FillRect(dc, &rect, Stock(BLACK_BRUSH));
    char text[32];
    std::snprintf(text, sizeof text, "%dx%d", w, h);
    DrawSkinText(dc, text, rect, 11, FW_DONTCARE, "Arial", RGB(255, 255, 255), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// The drag's size label, drawn straight into the main window and the deck.
void DrawDragLabel(int32_t videoWidth, int32_t videoHeight) {
    HWND main = Handle(g_viewer.mainWindow);
    if (!main) return;
    RECT client;
    GetClientRect(main, &client);
    const int32_t w = client.right, h = client.bottom;
    HDC dc = GetDC(main);
    DrawLabelText(dc, RECT{w - 60, h - 13, w - 16, h - 2}, videoWidth, videoHeight);
    ReleaseDC(main, dc);
    if (HWND deck = Handle(g_viewer.videoDeck)) {
        HDC deckDc = GetDC(deck);
        DrawLabelText(deckDc, RECT{w - 60, 2, w - 16, 13}, videoWidth, videoHeight);
        ReleaseDC(deck, deckDc);
    }
}

// The still picture, drawn into the "BMPView" element at its own size.
void PaintStill(SkinNode* element, HDC dc, const RECT& rect) {
    HGLOBAL still = g_viewer.stillPicture;
    if (!still) return;
    const SIZE_T size = GlobalSize(still);
    auto* packed = static_cast<const uint8_t*>(GlobalLock(still));
    if (!packed) return;
    BITMAPINFOHEADER h{};
    if (size >= sizeof h) std::memcpy(&h, packed, sizeof h);
    DWORD colours = h.biClrUsed;
    if (colours == 0 && h.biBitCount >= 2 && h.biBitCount <= 14) colours = 1u << h.biBitCount;
    const size_t bitsAt = size_t(h.biSize) + size_t(colours) * 4;
    if (size >= sizeof h && h.biSize >= sizeof h && bitsAt < size) {
        HPALETTE old = nullptr;
        if (g_viewer.stillPalette) {
            old = SelectPalette(dc, g_viewer.stillPalette, FALSE);
            if (RealizePalette(dc) > 0) element->Invalidate();
        }
        const auto* info = reinterpret_cast<const BITMAPINFO*>(packed);
        if (HBITMAP bitmap = CreateDIBitmap(dc, &h, CBM_INIT, packed + bitsAt, info, DIB_RGB_COLORS)) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ before = SelectObject(memory, bitmap);
            const LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
            BitBlt(dc, rect.left, rect.top, std::min<LONG>(h.biWidth, rect.right - rect.left),
                   std::min<LONG>(height, rect.bottom - rect.top), memory, 0, 0, SRCCOPY);
            SelectObject(memory, before);
            DeleteDC(memory);
            DeleteObject(bitmap);
        }
        if (old) SelectPalette(dc, old, FALSE);
    }
    GlobalUnlock(still);
}

}  // namespace

FrameMetrics CurrentFrameMetrics() {
    return FrameMetrics{GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME),
                        GetSystemMetrics(SM_CYCAPTION)};
}

void PaintSizeLabel(HDC dc, const RECT& rect) {
    int32_t w = 0, h = 0;
    if (g_viewer.multiScreenActive) {
        int cell = 0, columns = 0, cw = 0, ch = 0;
        if (MultiScreenSelection(&cell, &columns, &cw, &ch)) {
            w = cw;
            h = ch;
        }
    } else if (HWND main = Handle(g_viewer.mainWindow)) {
        RECT client;
        GetClientRect(main, &client);
        w = client.right - kFrameMargin;
        h = client.bottom - kFrameMargin;
    }
    DrawLabelText(dc, rect, w, h);
}

void GrowZoneDrag(SkinNode*, uint32_t message, int32_t, int32_t) {
    HWND main = Handle(g_viewer.mainWindow);
    if (!main) return;
    RECT window;
    GetWindowRect(main, &window);
    POINT cursor;
    GetCursorPos(&cursor);
    const int32_t x = cursor.x - window.left, y = cursor.y - window.top;
    switch (message) {
    case kSkinButtonDown:
        g_viewer.dragSize = SIZE{window.right - window.left, window.bottom - window.top};
        g_viewer.dragOrigin = POINT{window.left, window.top};
        g_grow = GrowDrag{};
        g_grow.offset = POINT{g_viewer.dragSize.cx - x, g_viewer.dragSize.cy - y};
        g_grow.running = true;
        break;
    case kSkinMouseMove: {
        if (!g_grow.running) break;
        int32_t cx = x + g_grow.offset.x, cy = y + g_grow.offset.y;
        const FrameMetrics m = CurrentFrameMetrics();
        if (!GrowDragSize(cx, cy, Context(), m, g_viewer.screenWidth, g_viewer.screenHeight)) break;
        if (cx == g_viewer.dragSize.cx && cy == g_viewer.dragSize.cy) break;
        if (g_grow.outlined) DrawOutline(g_viewer.dragOrigin, g_viewer.dragSize);
        g_viewer.dragSize = SIZE{cx, cy};
        DrawOutline(g_viewer.dragOrigin, g_viewer.dragSize);
        g_grow.outlined = true;
        DrawDragLabel(cx - m.FrameW() - kFrameMargin, cy - m.FrameH() - kFrameMargin);
        break;
    }
    case kSkinButtonUp:
        if (g_grow.outlined) {
            DrawOutline(g_viewer.dragOrigin, g_viewer.dragSize);
            SetWindowPos(main, nullptr, 0, 0, g_viewer.dragSize.cx, g_viewer.dragSize.cy, SWP_NOMOVE | SWP_NOZORDER);
        }
        g_grow = GrowDrag{};
        break;
    }
}

HPALETTE PaletteOfPackedDib(const void* packed, size_t size) {
    if (!packed || size < sizeof(BITMAPINFOHEADER)) return nullptr;
    BITMAPINFOHEADER h;
    std::memcpy(&h, packed, sizeof h);
    DWORD count = h.biClrUsed;
    if (h.biBitCount > 8 && count == 0) return nullptr;
    if (h.biBitCount <= 8 && count == 0) count = 1u << h.biBitCount;
    // The colour table must lie inside the block.
    if (count > 256 || h.biSize < sizeof h || h.biSize > size || (size - h.biSize) / 4 < count) return nullptr;
    const size_t bytes = sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY);
    auto* logical = static_cast<LOGPALETTE*>(std::calloc(1, bytes));
    if (!logical) return nullptr;
    logical->palVersion = 0x300;
    logical->palNumEntries = WORD(count);
    const auto* table = static_cast<const uint8_t*>(packed) + h.biSize;
    for (DWORD i = 0; i < count; ++i) {
        logical->palPalEntry[i].peBlue = table[4 * i];
        logical->palPalEntry[i].peGreen = table[4 * i + 1];
        logical->palPalEntry[i].peRed = table[4 * i + 2];
        logical->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(logical);
    std::free(logical);
    return palette;
}

// Creation ------------------------------------------------------------------------------------

CMainWnd* CMainWnd::Instance() { return g_main; }

CMainWnd::~CMainWnd() {
    if (bmpView_ && !bmpView_->parent) delete bmpView_;
    if (g_main == this) g_main = nullptr;
}

SkinNode* CMainWnd::BuildTree() {
    for (const char* name : {"LOGO", "LOGO2", "CLTUNER", "CLDECK"}) GetSkinBitmap(name);
    const MainElements e = LayoutMainElements(240 + kFrameMargin, 180 + kFrameMargin);
    auto* monitor = new SkinNode("Monitor", ToSkin(e.monitor));
    monitor->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        RECT rect = ToRect(r);
        FillRect(Dc(c), &rect, Stock(BLACK_BRUSH));
        if (g_viewer.multiScreenActive) PaintMultiScreen(Dc(c), rect);
    };
    monitor->action = [](SkinNode*, uint32_t message, int32_t x, int32_t y) {
        if (message == kSkinButtonDown && g_viewer.multiScreenActive) MultiScreenClick(x, y);
    };

    auto* deckTab = new SkinButton("ClosedDeck", 0, 0, nullptr, nullptr, nullptr);
    deckTab->rect = ToSkin(e.closedDeck);
    deckTab->flags |= SKF_FIRE_ON_PRESS;
    deckTab->tipText = "ﾋﾞﾃﾞｵﾃﾞｯｷを開く";
    deckTab->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        RECT rect = ToRect(r);
        FillRect(Dc(c), &rect, Stock(GRAY_BRUSH));
        if (g_main && g_main->DeckFits(false)) DrawSkinBitmap(GetSkinBitmap("CLDECK"), Dc(c), r.left, r.top, false);
    };
    deckTab->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { ShowDeckPanel(); };
    SkinNode::AddChild(monitor, closedDeck_ = deckTab);

    auto* tunerTab = new SkinNode("ClosedTuner", ToSkin(e.closedTuner));
    tunerTab->tipText = "ﾁｭｰﾅﾊﾟﾈﾙを開く";
    tunerTab->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        RECT rect = ToRect(r);
        FillRect(Dc(c), &rect, Stock(GRAY_BRUSH));
        if (g_main && g_main->TunerFits(false)) DrawSkinBitmap(GetSkinBitmap("CLTUNER"), Dc(c), r.left, r.top, false);
    };
    tunerTab->action = [this](SkinNode*, uint32_t message, int32_t, int32_t) {
        if (message == kSkinButtonDown) ShowTunerPanel();
    };
    SkinNode::AddChild(monitor, closedTuner_ = tunerTab);

    sizeView_ = new SkinNode("SizeView", ToSkin(e.sizeView));
    sizeView_->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) { PaintSizeLabel(Dc(c), ToRect(r)); };
    SkinNode::AddChild(monitor, sizeView_);

    auto* grow = new SkinButton("GrowZone", e.growZone.left, e.growZone.top, nullptr, "GROW", nullptr);
    grow->tipText = "ｻｲｽﾞ変更";
    grow->MakeRaw(GrowZoneDrag);
    SkinNode::AddChild(monitor, growZone_ = grow);

    bmpView_ = new SkinNode("BMPView", ToSkin(e.video));
    bmpView_->paintHook = [](SkinNode* self, SkinCanvas& c, const SkinRect& r) { PaintStill(self, Dc(c), ToRect(r)); };
    return monitor;
}

CMainWnd* CMainWnd::Create(int x, int y, bool withMaximiseBox) {
    auto* main = new CMainWnd;
    CMainWnd* self = main;
    g_main = main;
    const DWORD style = kStyle | (withMaximiseBox ? WS_MAXIMIZEBOX : 0);
    if (!main->CreateHost([self] { return self->root_ = self->BuildTree(); }, kFirstTitle, style, x, y)) {
        g_main = nullptr;
        delete main;
        return nullptr;
    }
    SetWindowTextA(main->m_hWnd, kTitle);
    g_viewer.mainWindow = main;
    CVideoDeck::Create(x, y);

    char shortcut[MAX_PATH + 64];
    GetWindowsDirectoryA(shortcut, MAX_PATH);
    std::strcat(shortcut, kShortcutTail);
    OFSTRUCT of{};
    of.cBytes = sizeof of;
    g_viewer.autoStartShortcutPresent = OpenFile(shortcut, &of, OF_EXIST) != HFILE_ERROR ? 1 : 0;
    g_viewer.autoStartSwitchOn = g_viewer.autoStartShortcutPresent;

    main->Place();
    main->capture_.reset(new CCaptureController(main->m_hWnd));
    g_viewer.captureController = main->capture_.get();
    return main;
}

void CMainWnd::Place() {
    char text[128];
    ReadSettingText("Window", kWindowSettingDefault, text, sizeof text);
    const FrameMetrics m = CurrentFrameMetrics();
    const Placement p = PlaceFromSetting(ParseWindowSetting(text), m, g_viewer.screenWidth, g_viewer.screenHeight);
    RECT r{0, 0, p.videoWidth + kFrameMargin, p.videoHeight + kFrameMargin};
    AdjustWindowRect(&r, static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)), FALSE);
    ::SetWindowPos(m_hWnd, nullptr, p.x, p.y, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    if (!p.pinned) return;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    g_viewer.pinnedOnTop = 1;
    ::SetWindowPos(Handle(reinterpret_cast<CWnd*>(g_viewer.controlFrame)), HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
    if (HWND setup = FindSetupWindow())
        ::SetWindowPos(setup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Panels --------------------------------------------------------------------------------------

void CMainWnd::EdgeMessage() {
    if (GetCapture()) return;  // a drag is under way
    g_viewer.edgeWarningShown = 1;
    ShowViewerMessage(kEdgeMessage, MB_ICONINFORMATION);
    RequestNcActivate();
}

bool CMainWnd::TunerFits(bool hideIfNot) {
    CWnd* tuner = g_viewer.tunerPanel;
    if (!tuner) return false;
    if (g_viewer.panelOnlyMode || TunerFitsScreen(CurrentRect(), g_viewer.screenWidth)) return true;
    if (g_viewer.startingUp) return false;
    if (hideIfNot && Visible(tuner)) tuner->ShowWindow(SW_HIDE);
    if (!g_viewer.edgeWarningShown) EdgeMessage();
    return false;
}

bool CMainWnd::DeckFits(bool hideIfNot) {
    CWnd* deck = g_viewer.videoDeck;
    if (!deck) return false;
    if (g_viewer.panelOnlyMode || DeckFitsScreen(CurrentRect(), g_viewer.screenHeight)) return true;
    if (g_viewer.startingUp) return false;
    if (hideIfNot && Visible(deck)) deck->ShowWindow(SW_HIDE);
    if (!g_viewer.edgeWarningShown) EdgeMessage();
    return false;
}

void CMainWnd::ShowDeckPanel() {
    if (g_viewer.multiScreenActive || FindSetupWindow()) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    if (!DeckFits(false)) return;
    HWND deck = Handle(g_viewer.videoDeck);
    if (!deck) return;
    if (TunerPinned()) ::SetWindowPos(deck, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    const Point32 at = DeckDockPosition(CurrentRect(), CurrentFrameMetrics());
    HWND after = Visible(g_viewer.tunerPanel) ? g_viewer.tunerPanel->m_hWnd : HWND_TOP;
    ::SetWindowPos(deck, after, at.x, at.y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
}

void CMainWnd::ShowTunerPanel() {
    if (FindSetupWindow() || !TunerFits(false)) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    HWND tuner = Handle(g_viewer.tunerPanel);
    if (!tuner) return;
    if (TunerPinned()) ::SetWindowPos(tuner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    const Rect32 r = TunerDockRect(CurrentRect(), CurrentFrameMetrics());
    ::SetWindowPos(tuner, HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::UpdateWindow(tuner);
}

void CMainWnd::OpenPanelsThatFit() {
    if (TunerFits(true) && !Visible(g_viewer.tunerPanel)) ShowTunerPanel();
    if (DeckFits(true) && !Visible(g_viewer.videoDeck)) ShowDeckPanel();
}

void CMainWnd::RequestNcActivate() {
    g_viewer.ncActivateAllowed = 1;
    ::PostMessageA(m_hWnd, WM_NCACTIVATE, IsOwnWindowActive() ? TRUE : FALSE, 0);
}

// Position and size -----------------------------------------------------------------------------

void CMainWnd::OnWindowPosChanging(WINDOWPOS* pos) {
    if (!(pos->flags & SWP_NOZORDER) && !g_viewer.panelOnlyMode) ++pendingNcActivate_;
    if (g_viewer.deckBmpMode == 0 && g_viewer.viewMode == kCapturing) pos->flags |= SWP_NOMOVE;
    const FrameMetrics m = CurrentFrameMetrics();
    if (!(pos->flags & SWP_NOMOVE)) pos->x = std::max(pos->x, LeftmostX(m));
    if (!(pos->flags & SWP_NOSIZE)) {
        const Rect32 current = CurrentRect();
        if (pos->cx != current.Width() && pos->cy != current.Height())
            if (CTuner* tuner = CTuner::Instance()) tuner->ReleaseFreeze();
        int32_t cx = pos->cx, cy = pos->cy;
        if (g_viewer.multiScreenActive) {
            if (!(g_viewer.deckBmpMode == 1 && g_viewer.viewMode == kPlaying)) MultiScreenSize(cx, cy);
        } else {
            LimitRequestedSize(cx, cy, Context(), m, g_viewer.screenWidth, g_viewer.screenHeight);
        }
        pos->cx = cx;
        pos->cy = cy;
    }
    Default();
}

void CMainWnd::LayoutElements(int32_t w, int32_t h) {
    const MainElements e = LayoutMainElements(w, h);
    root_->SetRect(ToSkin(e.monitor));
    closedDeck_->SetRect(ToSkin(e.closedDeck));
    closedTuner_->SetRect(ToSkin(e.closedTuner));
    growZone_->SetRect(ToSkin(e.growZone));
    sizeView_->SetRect(ToSkin(e.sizeView));
    bmpView_->SetRect(ToSkin(e.video));
    if (CVideoDeck* deck = CVideoDeck::Instance()) {
        deck->GrowZone()->SetRect(ToSkin(e.deckGrowZone));
        deck->SizeView()->SetRect(ToSkin(e.deckSizeView));
    }
}

void CMainWnd::OnWindowPosChanged(WINDOWPOS* pos) {
    if (g_viewer.panelOnlyMode) {
        Default();
        return;
    }
    RECT& cur = g_viewer.currentRect;
    const int32_t oldW = cur.right - cur.left, oldH = cur.bottom - cur.top;
    const bool resized = !(pos->flags & SWP_NOSIZE) && (pos->cx != oldW || pos->cy != oldH);
    const bool moved = !(pos->flags & SWP_NOMOVE) && (pos->x != cur.left || pos->y != cur.top);
    const int32_t width = (pos->flags & SWP_NOSIZE) ? oldW : pos->cx;
    const int32_t height = (pos->flags & SWP_NOSIZE) ? oldH : pos->cy;
    if (!(pos->flags & SWP_NOMOVE)) {
        cur.left = pos->x;
        cur.top = pos->y;
    }
    HWND capture = g_viewer.captureWindow;
    if (capture && !g_viewer.multiScreenActive)
        ::SetWindowPos(capture, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    cur.right = cur.left + width;
    cur.bottom = cur.top + height;
    const bool placed = !(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE);
    if (placed) InvalidateRect(m_hWnd, nullptr, FALSE);
    if (resized) {
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        LayoutElements(client.right, client.bottom);
        InvalidateRect(m_hWnd, nullptr, TRUE);
        ::UpdateWindow(m_hWnd);
    }

    const bool zOrder = !(pos->flags & SWP_NOZORDER);
    const FrameMetrics m = CurrentFrameMetrics();
    if (Visible(g_viewer.videoDeck)) {
        UINT flags = (moved || resized) ? SWP_NOZORDER : SWP_NOZORDER | SWP_NOMOVE;
        HWND after = nullptr;
        if (zOrder) {
            flags &= ~SWP_NOZORDER;
            after = pos->hwndInsertAfter;
        }
        if (flags != (SWP_NOZORDER | SWP_NOMOVE)) {
            HWND deck = g_viewer.videoDeck->m_hWnd;
            const Point32 at = DeckDockPosition(CurrentRect(), m);
            ::SetWindowPos(deck, after, at.x, at.y, 0, 0, flags | SWP_NOSIZE | SWP_NOACTIVATE);
            InvalidateRect(deck, nullptr, FALSE);
            ::UpdateWindow(deck);
        }
    }
    if (Visible(g_viewer.tunerPanel)) {
        UINT flags = (moved || resized) ? SWP_NOZORDER | SWP_NOSIZE : SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE;
        HWND after = nullptr;
        if (zOrder) {
            flags &= ~SWP_NOZORDER;
            after = pos->hwndInsertAfter;
        }
        if (resized) flags &= ~SWP_NOSIZE;
        if (flags != (SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE)) {
            HWND tuner = g_viewer.tunerPanel->m_hWnd;
            const Rect32 r = TunerDockRect(CurrentRect(), m);
            ::SetWindowPos(tuner, after, r.left, r.top, r.Width(), r.Height(), flags | SWP_NOACTIVATE);
            ::UpdateWindow(tuner);
        }
    }
    if (resized && !g_viewer.multiScreenActive && !mosaicResizing_) {
        DrainMessages();
        if (capture_) capture_->FitToVideoArea();
        if (HWND c = g_viewer.captureWindow) {
            ::UpdateWindow(c);
            if (IsWindowVisible(c)) {
                // Moving the picture away and back makes the overlay repaint.
                const UINT f = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
                ::SetWindowPos(c, nullptr, 1, 0, 0, 0, f);
                ::UpdateWindow(c);
                ::SetWindowPos(c, nullptr, 0, 0, 0, 0, f);
                ::UpdateWindow(c);
            }
        }
        if (g_viewer.deckBmpMode == 0 && g_viewer.viewMode != kIdle && g_viewer.playbackWindow) {
            RECT client;
            ::GetClientRect(m_hWnd, &client);
            ::SetWindowPos(g_viewer.playbackWindow, nullptr, 0, 0, client.right - kFrameMargin,
                           client.bottom - kFrameMargin, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    TunerFits(true);
    DeckFits(true);
    if (pendingNcActivate_ > 0) {
        RequestNcActivate();
        --pendingNcActivate_;
    }
    Default();
}

// Other messages ------------------------------------------------------------------------------

LRESULT CMainWnd::OnNcHitTest(POINT) {
    LRESULT hit = Default();
    if (g_viewer.multiScreenActive && hit == HTCAPTION) hit = HTNOWHERE;
    return hit;
}

void CMainWnd::OnShowWindow(BOOL, UINT status) {
    Default();
    if (status != SW_PARENTOPENING) return;
    for (CWnd* panel : {g_viewer.tunerPanel, g_viewer.videoDeck})
        if (HWND w = Handle(panel)) ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CMainWnd::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (CTuner* tuner = CTuner::Instance()) tuner->Key(ch, repeat, flags);
}

void CMainWnd::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (CTuner* tuner = CTuner::Instance()) tuner->Key(key, repeat, flags);
}

void CMainWnd::OnActivateApp(BOOL active, DWORD) {
    g_viewer.ncActivateAllowed = 1;
    if (active) {
        SetActiveWindow(m_hWnd);
        VoiceSetActive(g_viewer.voiceReceiver, 1);
        return;
    }
    CloseRemoteHelp();
    if (g_viewer.multiScreenActive) {
        ExitMultiScreen(-1);
        movable_ = true;
    }
    VoiceSetActive(g_viewer.voiceReceiver, 0);
    ::PostMessageA(m_hWnd, WM_NCACTIVATE, 0, 0);
}

void CMainWnd::OnClose() {
    for (CWnd* panel : {g_viewer.tunerPanel, g_viewer.videoDeck})
        if (HWND w = Handle(panel)) ::ShowWindow(w, SW_HIDE);
    ::PostMessageA(Handle(reinterpret_cast<CWnd*>(g_viewer.controlFrame)), WM_CLOSE, 0, 0);
    Default();
}

void CMainWnd::SavePlacement() {
    if (!::IsIconic(m_hWnd) && g_viewer.viewMode == kIdle && !g_viewer.multiScreenActive)
        g_viewer.savedRect = g_viewer.currentRect;
    const std::string text =
        FormatWindowSetting(ToRect32(g_viewer.savedRect), CurrentFrameMetrics(), g_viewer.pinnedOnTop != 0);
    WriteSettingText("Window", text.c_str());
}

void CMainWnd::UpdateAutoStart() {
    if (g_viewer.autoStartSwitchOn == g_viewer.autoStartShortcutPresent) return;
    char path[MAX_PATH + 16];
    GetWindowsDirectoryA(path, MAX_PATH);
    std::strcat(path, "\\setup.ini");
    OFSTRUCT of{};
    of.cBytes = sizeof of;
    if (OpenFile(path, &of, OF_EXIST) != HFILE_ERROR) {
        // The converter has not taken the last request yet: give it a moment.
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 5000) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(10);
        }
    }
    HFILE file = OpenFile(path, &of, OF_CREATE);
    if (file == HFILE_ERROR) return;
    std::string text = "[progman.groups]\r\ngroup0 = \"ｽﾀｰﾄｱｯﾌﾟ\"\r\n[group0]\r\n\"KIVO\"";
    if (g_viewer.autoStartSwitchOn) text += ",ZORTV.EXE";
    text += "\r\n";
    _lwrite(file, text.c_str(), static_cast<UINT>(text.size()));
    _lclose(file);
    ShellExecuteA(nullptr, nullptr, "grpconv.exe", "/o", nullptr, SW_SHOW);
}

void CMainWnd::OnDestroy() {
    ForgetRecording();
    UpdateAutoStart();
    SavePlacement();
    SkinHost::OnDestroy();
}

void CMainWnd::PostNcDestroy() {
    if (bmpView_ && bmpView_->parent) SkinNode::Remove(bmpView_);
    if (capture_) capture_->Teardown();
    capture_.reset();
    g_viewer.captureController = nullptr;
    if (g_viewer.mainWindow == this) g_viewer.mainWindow = nullptr;
    delete this;
}

BOOL CMainWnd::OnCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) != kDesktopSizeNotice) return FALSE;
    if (g_viewer.desktopSizeNotice == 1) {
        g_viewer.desktopSizeNotice = 0;
        ShowViewerMessage("デスクトップ領域の大きさを変更する前に、ＫＩＶＯを終了させてください。", MB_TASKMODAL);
    }
    return TRUE;
}

void CMainWnd::KickPlayback() {
    HWND playback = g_viewer.playbackWindow;
    if (!playback) return;
    const bool foreign = !IsOwnWindowActive();
    ::SendMessageA(playback, MCIWNDM_PALETTEKICK, foreign ? 1 : 0, 0);
}

BOOL CMainWnd::OnQueryNewPalette() {
    if (g_viewer.deckBmpMode == 1 && g_viewer.viewMode == kPlaying && g_viewer.stillPicture && g_viewer.stillPalette) {
        HDC dc = GetDC(m_hWnd);
        HPALETTE old = SelectPalette(dc, g_viewer.stillPalette, FALSE);
        if (RealizePalette(dc) > 0) InvalidateRect(m_hWnd, nullptr, TRUE);
        SelectPalette(dc, old, FALSE);
        ReleaseDC(m_hWnd, dc);
    }
    KickPlayback();
    return static_cast<BOOL>(Default());
}

void CMainWnd::OnPaletteChanged(HWND changer) {
    if (changer != m_hWnd && !IsChild(m_hWnd, changer)) InvalidateRect(m_hWnd, nullptr, TRUE);
    KickPlayback();
}

void CMainWnd::OnSysCommand(UINT id, LPARAM) {
    switch (id & 0xFFF0) {
    case SC_MINIMIZE: {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(m_hWnd, &wp);
        if (wp.showCmd == SW_SHOWMAXIMIZED) g_viewer.maximisedBeforeMinimise = 1;
        RequestMinimise();
        return;
    }
    case SC_MAXIMIZE:
        if (livePicture_) {
            SizeCommand();
            return;
        }
        if (!g_viewer.maximisedBeforeMinimise) {
            if (!g_viewer.edgeWarningShown) {
                g_viewer.edgeWarningShown = 1;
                g_viewer.edgeWarningSetByMaximise = 1;
            }
            if (Visible(g_viewer.tunerPanel)) {
                g_viewer.tunerPanel->ShowWindow(SW_HIDE);
                g_viewer.tunerHiddenByMaximise = 1;
                g_viewer.tunerPanel->UpdateWindow();
            }
            if (Visible(g_viewer.videoDeck)) {
                g_viewer.videoDeck->ShowWindow(SW_HIDE);
                g_viewer.deckHiddenByMaximise = 1;
                g_viewer.videoDeck->UpdateWindow();
            }
        }
        Default();
        return;
    case SC_RESTORE: {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        GetWindowPlacement(m_hWnd, &wp);
        Default();
        if (wp.showCmd == SW_SHOWMINIMIZED) return;
        if (g_viewer.edgeWarningSetByMaximise) {
            g_viewer.edgeWarningSetByMaximise = 0;
            g_viewer.edgeWarningShown = 0;
        }
        struct Hidden {
            CWnd* panel;
            int32_t* mark;
        } hidden[] = {{g_viewer.tunerPanel, &g_viewer.tunerHiddenByMaximise},
                      {g_viewer.videoDeck, &g_viewer.deckHiddenByMaximise}};
        for (const Hidden& h : hidden) {
            if (!*h.mark) continue;
            *h.mark = 0;
            if (h.panel && h.panel->m_hWnd) {
                h.panel->ShowWindow(SW_SHOW);
                h.panel->UpdateWindow();
            }
        }
        RequestNcActivate();
        return;
    }
    default:
        Default();
    }
}

BOOL CMainWnd::OnNcActivate(BOOL) {
    if (!g_viewer.ncActivateAllowed) return TRUE;
    g_viewer.ncActivateAllowed = 0;
    return static_cast<BOOL>(Default());
}

void CMainWnd::OnDisplayChange(UINT depth, int width, int height) {
    if (int32_t(depth) != g_viewer.colourDepth || width != g_viewer.screenWidth || height != g_viewer.screenHeight) {
        g_viewer.colourDepth = int32_t(depth);
        if (depth < 8) {
            MessageBoxA(m_hWnd, "１６色モードでは使用できません。\nＫＩＶＯを終了します。", kViewerCaption,
                        MB_TASKMODAL | MB_ICONERROR);
            ::PostMessageA(Handle(reinterpret_cast<CWnd*>(g_viewer.controlFrame)), WM_CLOSE, 0, 0);
            return;
        }
        g_viewer.screenWidth = width;
        g_viewer.screenHeight = height;
    }
    for (CWnd* panel : {g_viewer.videoDeck, g_viewer.tunerPanel})
        if (Visible(panel)) panel->ShowWindow(SW_HIDE);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    if (g_viewer.deckBmpMode == 1 && g_viewer.viewMode == kPlaying && bmpView_) bmpView_->Invalidate();
    RequestNcActivate();
}

LRESULT CMainWnd::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        if (::IsWindowEnabled(m_hWnd)) SetActiveWindow(m_hWnd);
        return MA_NOACTIVATE;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam))
            EnableMenuItem(reinterpret_cast<HMENU>(wParam), SC_MOVE, MF_BYCOMMAND | (movable_ ? MF_ENABLED : MF_GRAYED));
        return Default();
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION) {
            WINDOWPLACEMENT wp{};
            wp.length = sizeof wp;
            GetWindowPlacement(m_hWnd, &wp);
            ::PostMessageA(m_hWnd, WM_SYSCOMMAND, wp.showCmd == SW_SHOWMAXIMIZED ? SC_RESTORE : SC_MAXIMIZE, 0);
            return 0;
        }
        return Default();
    case kNotifyMode:
        if (CVideoDeck* deck = CVideoDeck::Instance()) deck->PlaybackMode(lParam);
        return 0;
    case kNotifyPos:
        if (CVideoDeck* deck = CVideoDeck::Instance()) deck->PlaybackPosition(lParam);
        return 0;
    case kNotifyError: {
        // A clip window that is being closed reports its closing as an error: not the user's.
        HWND playback = g_viewer.playbackWindow;
        if (!playback) return 0;
        // "Invalid device ID": the clip window's device is already closed (it closes itself on
        // some errors and on close); a command that reached it then is nothing the user did,
        // and the system's text about device IDs means nothing to the user.
        if (lParam == MCIERR_INVALID_DEVICE_ID) return 0;
        char text[256] = {};
        ::SendMessageA(playback, MCIWNDM_GETERRORA, sizeof text, reinterpret_cast<LPARAM>(text));
        text[sizeof text - 1] = '\0';
        ShowViewerMessage(text, MB_TASKMODAL | MB_ICONERROR);
        return 0;
    }
    }
    return Default();
}

// Clip and still views ----------------------------------------------------------------------------

void CMainWnd::PrepareCapture() {
    // Kept on the screen for the length of the capture.
    const RECT& r = g_viewer.currentRect;
    const UINT keep = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (r.left < 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, r.top, 0, 0, keep);
        ::UpdateWindow(m_hWnd);
    }
    if (r.right >= g_viewer.screenWidth) {
        ::SetWindowPos(m_hWnd, nullptr, g_viewer.screenWidth - (r.right - r.left), r.top, 0, 0, keep);
        ::UpdateWindow(m_hWnd);
    }
    if (CVideoDeck* deck = CVideoDeck::Instance()) deck->Stop();
    ForgetRecording();
}

void CMainWnd::ForgetRecording() {
    if (g_viewer.lastClipBytes) {
        DeleteFileA(g_viewer.lastClipPath);
        g_viewer.lastClipBytes = 0;
    }
    g_viewer.clipPresent = 0;
    if (g_viewer.stillPicture) GlobalFree(g_viewer.stillPicture);
    if (g_viewer.stillPalette) DeleteObject(g_viewer.stillPalette);
    g_viewer.stillPicture = nullptr;
    g_viewer.stillPalette = nullptr;
}

int CMainWnd::OpenClip() {
    CVideoDeck* deck = CVideoDeck::Instance();
    g_viewer.savedRect = g_viewer.currentRect;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (capture_) capture_->DetachDriver();
    ::UpdateWindow(m_hWnd);
    const DWORD style = WS_CHILD | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYERROR | MCIWNDF_NOTIFYPOS |
                        MCIWNDF_NOTIFYMODE | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR;
    static_assert((WS_CHILD | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYERROR | MCIWNDF_NOTIFYPOS | MCIWNDF_NOTIFYMODE |
                   MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR) == 0x4000530A,
                  "the clip window's style");
    HWND playback = MCIWndCreateA(m_hWnd, GetModuleHandleA(nullptr), style, g_viewer.clipPath);
    g_viewer.playbackWindow = playback;
    if (CTuner* tuner = CTuner::Instance()) tuner->ReleaseFreeze();
    auto fail = [this]() {
        MessageBeep(static_cast<UINT>(-1));
        if (HWND w = g_viewer.playbackWindow) {
            g_viewer.playbackWindow = nullptr;
            ::SendMessageA(w, WM_CLOSE, 0, 0);
            if (IsWindow(w)) ::DestroyWindow(w);
        }
        if (capture_) capture_->AttachDriver();
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return 1;
    };
    if (!playback || MCIWndSeek(playback, MCIWND_START) != 0) return fail();
    MCIWndSetTimeFormat(playback, "ms");
    g_viewer.clipLengthMs = static_cast<uint32_t>(MCIWndGetLength(playback));
    MCIWndSetTimeFormat(playback, "frames");
    const LONG frames = MCIWndGetLength(playback);
    if (frames < 1) return fail();

    RECT movie{};
    MCIWndGetSource(playback, &movie);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const RECT& saved = g_viewer.savedRect;
    const int32_t width = (saved.right - saved.left) + (movie.right - movie.left) - (client.right - kFrameMargin);
    const int32_t height = (saved.bottom - saved.top) + (movie.bottom - movie.top) - (client.bottom - kFrameMargin);
    int32_t x = saved.left, y = saved.top;
    UINT flags = SWP_NOMOVE;
    if (width < g_viewer.screenWidth && saved.right <= g_viewer.screenWidth && x + width > g_viewer.screenWidth) {
        x = g_viewer.screenWidth - width;
        flags = 0;
    }
    if (height < g_viewer.screenHeight && saved.bottom <= g_viewer.screenHeight && y + height > g_viewer.screenHeight) {
        y = g_viewer.screenHeight - height;
        flags = 0;
    }
    if (deck) deck->SetState(kPaused);
    else g_viewer.viewMode = kPaused;
    ::SetWindowPos(m_hWnd, HWND_TOP, x, y, width, height, flags);
    ::SetWindowPos(playback, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOSIZE);
    if (deck) {
        deck->SetGaugeMax(frames - 1);
        deck->RefreshGaugeFromPlayback();
        deck->RepaintDiskSpace();
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
    livePicture_ = false;
    return 0;
}

void CMainWnd::CloseClip() {
    CVideoDeck* deck = CVideoDeck::Instance();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (HWND playback = g_viewer.playbackWindow) {
        g_viewer.playbackWindow = nullptr;
        MCIWndStop(playback);
        ::SendMessageA(playback, WM_CLOSE, 0, 0);
        // Some clip windows only close their file on WM_CLOSE.
        if (IsWindow(playback)) ::DestroyWindow(playback);
    }
    if (deck) deck->ResetState();
    else g_viewer.viewMode = kIdle;
    const RECT& cur = g_viewer.currentRect;
    const RECT& saved = g_viewer.savedRect;
    if (cur.right - cur.left != saved.right - saved.left || cur.bottom - cur.top != saved.bottom - saved.top)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, saved.right - saved.left, saved.bottom - saved.top,
                       SWP_NOMOVE | SWP_NOZORDER);
    if (capture_) capture_->AttachDriver();
    if (deck) {
        deck->SetGaugeValue(0, true);
        deck->RepaintDiskSpace();
    }
    livePicture_ = true;
    if (CTuner* tuner = CTuner::Instance()) tuner->ReapplySource();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void CMainWnd::ShowStill() {
    g_viewer.savedRect = g_viewer.currentRect;
    int32_t w = 0, h = 0;
    if (g_viewer.stillPicture) {
        if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(g_viewer.stillPicture))) {
            w = header->biWidth;
            h = header->biHeight;
            GlobalUnlock(g_viewer.stillPicture);
        }
    }
    const Rect32 r =
        StillViewRect(w, h, CurrentRect(), CurrentFrameMetrics(), g_viewer.screenWidth, g_viewer.screenHeight);
    if (CVideoDeck* deck = CVideoDeck::Instance()) deck->SetState(kPlaying);
    else g_viewer.viewMode = kPlaying;
    if (capture_) capture_->Hide();
    if (!bmpView_->parent) SkinNode::AddChild(root_, bmpView_);
    const RECT& saved = g_viewer.savedRect;
    if (r.Width() != saved.right - saved.left || r.Height() != saved.bottom - saved.top) {
        ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER);
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    OnQueryNewPalette();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
}

void CMainWnd::LeaveStill() {
    const RECT& saved = g_viewer.savedRect;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, saved.right - saved.left, saved.bottom - saved.top, SWP_NOMOVE | SWP_NOZORDER);
    if (bmpView_->parent) SkinNode::Remove(bmpView_);
    if (capture_) capture_->Show();
    InvalidateRect(m_hWnd, nullptr, TRUE);
}
