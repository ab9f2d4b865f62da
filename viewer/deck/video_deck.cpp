#include "video_deck.h"

#include <windows.h>
#include <vfw.h>

#include "avi_save.h"
#include "capture_controller.h"
#include "command_handlers.h"
#include "main_wnd.h"
#include "settings.h"
#include "skin_gdi.h"
#include "still_capture.h"
#include "tuner_panel.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

constexpr char kTitle[] = "VideoDeck";
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;  // 0x82000000
constexpr int32_t kThumbLeft = 7, kThumbRight = 207;

CVideoDeck* g_deck = nullptr;
SkinBitmap* g_poci = nullptr;

HDC Dc(SkinCanvas& c) { return static_cast<HDC>(c.Context()); }

void FillBlack(HDC dc, const SkinRect& r) {
    RECT rect = ToRect(r);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// The four text buttons: white text in the rectangle moved right by 13 and shrunk by 3, and the
// press mark while the pointer holds one down.
void TextButton(SkinNode* e, HDC dc, const SkinRect& r, const char* text) {
    RECT box{r.left + 16, r.top + 3, r.right + 10, r.bottom - 3};
    DrawSkinText(dc, text, box, 12, FW_NORMAL, "Arial", RGB(255, 255, 255), kCentred);
    if (e->Has(SKF_PRESSED)) DrawSkinBitmap(g_poci, dc, r.left + 4, r.top + 4, false);
}

SkinButton* Button(const char* name, int x, int y, const char* i1, const char* i2, const char* i3, uint16_t flags,
                   const char* tip) {
    auto* b = new SkinButton(name, x, y, i1, i2, i3);
    b->flags |= flags;
    b->tipText = tip;
    return b;
}

SkinButton* SizedButton(const char* name, int x, int y, int w, int h, uint16_t flags, const char* tip) {
    auto* b = Button(name, x, y, nullptr, nullptr, nullptr, flags, tip);
    b->rect = {x, y, x + w, y + h};
    return b;
}

void AttachElement(SkinNode* parent, SkinNode* e) {
    if (!e->parent) SkinNode::AddChild(parent, e);
}
void DetachElement(SkinNode* e) {
    if (e->parent) SkinNode::Remove(e);
}

void Latch(SkinNode* e) {
    e->SetOn();
    e->Invalidate();
}
void Unlatch(SkinNode* e) {
    e->SetOff();
    e->Invalidate();
}

using Action = void (CVideoDeck::*)();

}  // namespace

CVideoDeck* CVideoDeck::Instance() { return g_deck; }

bool CVideoDeck::StillMode() const { return g_viewer.deckBmpMode == 1; }

CVideoDeck::~CVideoDeck() {
    // The base destroys the attached tree; the elements of the other face go separately.
    for (SkinNode* e : {diskSpace_, edit_, wall_, rewind_, rewindGrey_, pause_, pauseGrey_, videoBmp_, videoAvi_,
                        gage_, thumb_, interval_})
        if (e && !e->parent && e != root_) delete e;
    if (g_deck == this) g_deck = nullptr;
}

SkinNode* CVideoDeck::BuildFace() {
    g_poci = GetSkinBitmap("POCI");
    g_viewer.deckBmpMode = 1;
    auto* root = new SkinImage("VIDEO", 0, 0, "VIDEO");
    auto act = [this](Action a) {
        return [this, a](SkinNode*, uint32_t, int32_t, int32_t) { (this->*a)(); };
    };

    diskSpace_ = new SkinNode("DISKSPACE", {159, 64, 222, 75});
    diskSpace_->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        const bool clipOpen = g_viewer.viewMode == kPaused || g_viewer.viewMode == kPlaying;
        RECT box = ToRect(r);
        DrawSkinText(Dc(c),
                     DiskSpaceLabel(clipOpen, g_viewer.clipLengthMs, g_viewer.captureDriveIndex,
                                    g_viewer.usableCaptureBytes)
                         .c_str(),
                     box, 12, FW_NORMAL, "Arial", RGB(0, 0, 0), kCentred);
    };
    close_ = SizedButton("DECKCLOSE", 1, 105, 352, 13, SKF_FIRE_ON_PRESS, "ﾋﾞﾃﾞｵﾃﾞｯｷを閉じる");
    close_->action = act(&CVideoDeck::CloseDeck);
    load_ = Button("LOAD", 16, 14, nullptr, nullptr, "LOAD", SKF_IMAGE_BUTTON, nullptr);
    load_->action = act(&CVideoDeck::Load);
    save_ = Button("SAVE", 63, 14, nullptr, nullptr, "SAVE", SKF_IMAGE_BUTTON, nullptr);
    save_->action = act(&CVideoDeck::Save);
    edit_ = Button("EDIT", 110, 14, nullptr, nullptr, "EDIT", SKF_IMAGE_BUTTON, "クリップミルの起動");
    edit_->action = act(&CVideoDeck::Edit);
    wall_ = Button("WALL", 110, 14, nullptr, nullptr, "WALL", SKF_IMAGE_BUTTON, "壁紙化");
    wall_->action = act(&CVideoDeck::Wallpaper);
    rewind_ = Button("REWIND", 16, 38, nullptr, nullptr, "REWIND", SKF_IMAGE_BUTTON, "頭出し");
    rewind_->action = act(&CVideoDeck::Rewind);
    rewindGrey_ = new SkinImage("REWINDD", 15, 38, "REWINDD");
    stop_ = Button("STOP", 39, 38, nullptr, nullptr, "STOP", SKF_IMAGE_BUTTON, "停止");
    stop_->action = act(&CVideoDeck::StopButton);
    play_ = Button("PLAY", 63, 38, nullptr, "PLAYP", "PLAY", SKF_IMAGE_BUTTON, "再生");
    play_->action = act(&CVideoDeck::Play);
    pause_ = Button("PAUSE", 86, 38, nullptr, "PAUSEP", "PAUSE", SKF_IMAGE_BUTTON, "一時停止");
    pause_->action = act(&CVideoDeck::Pause);
    pauseGrey_ = new SkinImage("PAUSED", 86, 38, "PAUSED");
    record_ = Button("Record", 190, 38, nullptr, "RECORDP", "RECORD", SKF_IMAGE_BUTTON, "録画");
    record_->action = act(&CVideoDeck::Record);
    bmp_ = Button("BMP", 244, 14, nullptr, "BMP", "BMP", 0, "静止画ﾓｰﾄﾞ");
    bmp_->action = act(&CVideoDeck::SwitchToStill);
    avi_ = Button("AVI", 291, 14, nullptr, "AVI", "AVI", 0, "動画ﾓｰﾄﾞ");
    avi_->action = act(&CVideoDeck::SwitchToMovie);
    frame_ = new SkinNode("FRAME", {309, 33, 334, 47});
    frame_->paintHook = [this](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        FillBlack(Dc(c), r);
        FrameLabel l = DeckFrameLabel(settings_, StillMode());
        RECT box = ToRect(r);
        DrawSkinText(Dc(c), l.text.c_str(), box, l.height, FW_NORMAL, "Arial", RGB(255, 255, 255), kCentred);
    };
    frameMinus_ = Button("FRAMEM", 291, 30, nullptr, nullptr, "FRAMEM", SKF_IMAGE_BUTTON | SKF_REPEAT, nullptr);
    frameMinus_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { StepParameter(-1); };
    framePlus_ = Button("FRAMEP", 338, 30, nullptr, nullptr, "FRAMEP", SKF_IMAGE_BUTTON | SKF_REPEAT, nullptr);
    framePlus_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { StepParameter(+1); };
    videoBmp_ = new SkinImage("VIDEOBMP", 229, 51, "VIDEOBMP");
    frames_ = SizedButton("FRAMES", 62, 18, 61, 17, 0, "取り込む枚数");
    frames_->paintHook = [this](SkinNode* e, SkinCanvas& c, const SkinRect& r) {
        TextButton(e, Dc(c), r, StillCountLabel(settings_.stillGrid).c_str());
    };
    frames_->action = act(&CVideoDeck::GridAction);
    SkinNode::AddChild(videoBmp_, frames_);
    videoAvi_ = new SkinImage("VIDEOAVI", 229, 51, "VIDEOAVI");
    struct Toggle {
        SkinNode** slot;
        const char* name;
        int y;
        const char* tip;
        int32_t DeckSettings::*flag;
        const char* (*label)(int32_t);
    } toggles[] = {{&soundRate_, "SOUNDRATE", 0, "ｻﾝﾌﾟﾘﾝｸﾞ周期", &DeckSettings::soundRate22k, SoundRateLabel},
                   {&soundBits_, "SOUNDBITS", 18, "ｻﾝﾌﾟﾘﾝｸﾞﾋﾞｯﾄ数", &DeckSettings::sound16Bit, SoundBitsLabel},
                   {&soundMode_, "SOUNDMODE", 36, "ｻｳﾝﾄﾞﾓｰﾄﾞ", &DeckSettings::soundStereo, SoundModeLabel}};
    for (const Toggle& t : toggles) {
        SkinButton* b = SizedButton(t.name, 62, t.y, 61, 17, 0, t.tip);
        auto flag = t.flag;
        auto label = t.label;
        b->paintHook = [this, flag, label](SkinNode* e, SkinCanvas& c, const SkinRect& r) {
            TextButton(e, Dc(c), r, label(settings_.*flag));
        };
        b->action = [this, flag](SkinNode* e, uint32_t, int32_t, int32_t) {
            if (g_viewer.viewMode == kCapturing) return;
            settings_.*flag = !(settings_.*flag);
            e->Invalidate();
        };
        SkinNode::AddChild(videoAvi_, *t.slot = b);
    }
    gage_ = new SkinImage("Gage", 1, 75, "GAGE");
    thumb_ = Button("VTHUMB", kThumbLeft, 83, "VTHUMB", "VTHUMB", "VTHUMB", 0, nullptr);
    thumb_->MakeRaw([this](SkinNode*, uint32_t message, int32_t, int32_t) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(m_hWnd, &p);
        SeekDrag(message, p.x);
    });
    sizeView_ = new SkinNode("SizeView", {0, 0, 0, 0});
    sizeView_->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) { PaintSizeLabel(Dc(c), ToRect(r)); };
    growZone_ = Button("GrowZone", 0, 0, nullptr, "GROW", nullptr, 0, "ｻｲｽﾞ変更");
    growZone_->MakeRaw(GrowZoneDrag);
    interval_ = new SkinImage("INTERVAL", 229, 30, "INTERVAL");
    gauge_.Init(0, 200, 0, kThumbLeft, kThumbRight);

    // The Still face, in the table's order; the Movie elements wait detached.
    for (SkinNode* e : {close_, load_, save_, wall_, rewindGrey_, stop_, play_, pauseGrey_, record_, bmp_, avi_,
                        frame_, frameMinus_, framePlus_, videoBmp_, sizeView_, growZone_, interval_})
        SkinNode::AddChild(root, e);
    bmp_->SetOn();
    return root;
}

void CVideoDeck::ApplyModeTips() {
    const bool still = StillMode();
    load_->tipText = still ? "静止画ﾌｧｲﾙの読み込み" : "動画ﾌｧｲﾙの読み込み";
    save_->tipText = still ? "静止画ﾌｧｲﾙの保存" : "動画ﾌｧｲﾙの保存";
    frameMinus_->tipText = still ? "取込間隔を短くする" : "ｺﾏ数を下げる";
    framePlus_->tipText = still ? "取込間隔を長くする" : "ｺﾏ数を上げる";
}

CVideoDeck* CVideoDeck::Create(int x, int y) {
    auto* deck = new CVideoDeck;
    CVideoDeck* self = deck;
    g_deck = deck;
    if (!deck->CreateHost([self] { return self->root_ = self->BuildFace(); }, kTitle, kStyle, x, y)) {
        g_deck = nullptr;
        delete deck;
        return nullptr;
    }
    HWND w = deck->m_hWnd;
    SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    g_viewer.videoDeck = deck;
    deck->ApplyModeTips();
    deck->LoadSettings();
    if (deck->settings_.movieMode) deck->SwitchToMovie();
    ChooseCaptureDrive();
    return deck;
}

void CVideoDeck::LoadSettings() {
    auto read = [](const char* key, int def) { return static_cast<int32_t>(ReadSettingInt(key, def)); };
    settings_ = SettingsFromStored(read("FrameRate", 10), read("SoundRate", 0), read("SoundBits", 0),
                                   read("SoundMode", 0), read("Frames", 1), read("Interval", 3), read("Capture", 0));
}

void CVideoDeck::SaveSettings() {
    WriteSettingInt("FrameRate", settings_.frameRate);
    WriteSettingInt("SoundBits", settings_.sound16Bit);
    WriteSettingInt("SoundMode", settings_.soundStereo);
    WriteSettingInt("SoundRate", settings_.soundRate22k);
    WriteSettingInt("Frames", settings_.stillGrid);
    WriteSettingInt("Interval", settings_.intervalIndex);
    WriteSettingInt("Capture", StillMode() ? 0 : 1);
}

void CVideoDeck::Repaint() {
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CVideoDeck::SetState(int32_t state) {
    if (state == g_viewer.viewMode) return;
    if (g_viewer.viewMode == kPaused) Unlatch(pause_);
    if (g_viewer.viewMode == kPlaying) Unlatch(play_);
    g_viewer.viewMode = state;
    if (state == kPaused) Latch(pause_);
    if (state == kPlaying) Latch(play_);
}

void CVideoDeck::Stop() {
    CMainWnd* main = CMainWnd::Instance();
    switch (g_viewer.viewMode) {
    case kCapturing:
        if (HWND capture = g_viewer.captureWindow) {
            if (IsWindow(capture)) ::SendMessageA(capture, WM_CAP_STOP, 0, 0);
        }
        g_viewer.stopPending = 1;
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        ::EnableWindow(m_hWnd, FALSE);
        break;
    case kPaused:
    case kPlaying:
        if (StillMode()) {
            ResetState();
            if (main) main->LeaveStill();
            break;
        }
        if (main) main->CloseClip();
        break;
    default:
        break;
    }
}

void CVideoDeck::SetGaugeMax(int32_t max) { gauge_.SetMax(max < 0 ? 0 : max); }

void CVideoDeck::SetGaugeValue(int32_t value, bool force) {
    const int32_t before = gauge_.ToPixel();
    gauge_.SetValue(value);
    const int32_t x = gauge_.ToPixel();
    if (x != before || force) thumb_->MoveAndRepaint(x, thumb_->rect.top, true);
}

void CVideoDeck::RefreshGaugeFromPlayback() {
    HWND playback = g_viewer.playbackWindow;
    if (playback && IsWindow(playback)) SetGaugeValue(static_cast<int32_t>(MCIWndGetPosition(playback)), false);
}

void CVideoDeck::RepaintDiskSpace() {
    if (diskSpace_->parent) diskSpace_->Invalidate();
}

void CVideoDeck::PlaybackMode(LPARAM mode) {
    if (g_viewer.viewMode == kPlaying && mode == MCI_MODE_STOP) {
        SetState(kPaused);
        RefreshGaugeFromPlayback();
    }
}

void CVideoDeck::PlaybackPosition(LPARAM position) { SetGaugeValue(static_cast<int32_t>(position), false); }

void CVideoDeck::SeekDrag(uint32_t message, int32_t x) {
    const bool clipOpen = g_viewer.viewMode == kPaused || g_viewer.viewMode == kPlaying;
    if (message == kSkinButtonDown) {
        if (StillMode() || !clipOpen) {
            MessageBeep(static_cast<UINT>(-1));
            seeking_ = false;
            return;
        }
        seeking_ = true;
        seekLastX_ = x;
        seekOffset_ = thumb_->rect.left - x;
        return;
    }
    if (message == kSkinButtonUp) {
        seeking_ = false;
        return;
    }
    if (!seeking_ || x == seekLastX_) return;
    seekLastX_ = x;
    HWND playback = g_viewer.playbackWindow;
    if (playback && IsWindow(playback)) MCIWndSeek(playback, gauge_.FromPixel(x + seekOffset_));
    RefreshGaugeFromPlayback();
}

void CVideoDeck::StepParameter(int direction) {
    if (g_viewer.viewMode == kCapturing) return;
    StepDeckParameter(settings_, StillMode(), direction);
    frame_->Invalidate();
}

void CVideoDeck::GridAction() {
    settings_.stillGrid = NextStillGrid(settings_.stillGrid);
    frames_->Invalidate();
}

void CVideoDeck::SetStillGrid(int32_t grid) {
    if (grid < 1 || grid > 5) return;
    settings_.stillGrid = grid;
    frames_->Invalidate();
}

void CVideoDeck::SwitchToMovie() {
    if (!StillMode()) return;
    Stop();
    Unlatch(bmp_);
    Latch(avi_);
    DetachElement(videoBmp_);
    for (SkinNode* e : {videoAvi_, rewind_, pause_, gage_, thumb_, edit_, diskSpace_}) AttachElement(root_, e);
    for (SkinNode* e : {rewindGrey_, pauseGrey_, wall_, interval_}) DetachElement(e);
    g_viewer.deckBmpMode = 0;
    ApplyModeTips();
    Repaint();
}

void CVideoDeck::SwitchToStill() {
    if (g_viewer.viewMode == kCapturing || StillMode()) return;
    Stop();
    if (CMainWnd* main = CMainWnd::Instance()) main->SetLivePicture(true);
    Unlatch(avi_);
    Latch(bmp_);
    DetachElement(videoAvi_);
    AttachElement(root_, videoBmp_);
    videoBmp_->Invalidate();
    for (SkinNode* e : {rewind_, pause_, gage_, thumb_, edit_, diskSpace_}) DetachElement(e);
    for (SkinNode* e : {rewindGrey_, pauseGrey_, wall_, interval_}) AttachElement(root_, e);
    g_viewer.deckBmpMode = 1;
    ApplyModeTips();
    Repaint();
}

void CVideoDeck::Load() {
    if (g_viewer.viewMode == kCapturing) return;
    // A still on view comes back when no file replaces it.
    const bool stillShown = StillMode() && g_viewer.viewMode == kPlaying;
    Stop();
    if (CTuner* tuner = CTuner::Instance()) tuner->ReleaseFreeze();
    HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
    for (HWND w : {m_hWnd, main}) {
        if (!w) continue;
        ::EnableWindow(w, FALSE);
        ::UpdateWindow(w);
    }
    if (StillMode()) {
        if (!LoadStill() && stillShown && g_viewer.stillPicture)
            if (CMainWnd* m = CMainWnd::Instance()) m->ShowStill();
    } else {
        LoadClip();
    }
    DrainMessages();
    for (HWND w : {m_hWnd, main})
        if (w) ::EnableWindow(w, TRUE);
    if (main) {
        InvalidateRect(main, nullptr, TRUE);
        ::UpdateWindow(main);
    }
}

void CVideoDeck::Save() {
    if (g_viewer.viewMode == kCapturing) return;
    Stop();
    HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
    for (HWND w : {m_hWnd, main}) {
        if (!w) continue;
        ::EnableWindow(w, FALSE);
        ::UpdateWindow(w);
    }
    if (StillMode()) {
        SaveStill();
    } else {
        CCaptureController* capture = g_viewer.captureController;
        if (capture) capture->DetachDriver();
        SaveClip();
        if (capture) capture->AttachDriver();
    }
    DrainMessages();
    for (HWND w : {m_hWnd, main})
        if (w) ::EnableWindow(w, TRUE);
    ShowLiveAgain();
    ChooseCaptureDrive();
}

void CVideoDeck::Wallpaper() {
    if (StillMode() && g_viewer.viewMode == kCapturing) return;
    MakeWallpaper();
}

void CVideoDeck::LatchRecord(bool on) {
    if (on) Latch(record_);
    else Unlatch(record_);
}

void CVideoDeck::CloseDeck() {
    if (StillMode() && g_viewer.viewMode == kCapturing) return;
    ::ShowWindow(m_hWnd, SW_HIDE);
    if (CMainWnd* main = CMainWnd::Instance()) main->RequestNcActivate();
}

void CVideoDeck::OnWindowPosChanging(WINDOWPOS* pos) {
    const FrameMetrics m = CurrentFrameMetrics();
    const RECT& r = g_viewer.currentRect;
    const Point32 dock = DeckDockPosition(Rect32{r.left, r.top, r.right, r.bottom}, m);
    if (pos->x != dock.x || pos->y != dock.y) {
        pos->x = dock.x;
        pos->y = dock.y;
        pos->flags &= ~SWP_NOMOVE;
    }
    Default();
}

void CVideoDeck::OnWindowPosChanged(WINDOWPOS*) {
    HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
    if (main && (GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
        !(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST))
        ::SetWindowPos(main, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Default();
}

BOOL CVideoDeck::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case kDeckRecordingProgress:
        if (!StillMode() && g_viewer.viewMode == kCapturing) SetGaugeValue(static_cast<int32_t>(g_viewer.capturedMs), true);
        return TRUE;
    case kDeckRecordingFinished:
        RecordingFinished();
        return TRUE;
    }
    return FALSE;
}

void CVideoDeck::OnDestroy() {
    SaveSettings();
    SkinHost::OnDestroy();
    if (g_viewer.videoDeck == this) g_viewer.videoDeck = nullptr;
}
