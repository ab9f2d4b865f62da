#include "tuner_panel.h"

#include <cstdio>
#include <cstring>

#include "caption.h"
#include "command_handlers.h"
#include "main_wnd.h"
#include "multi_screen.h"
#include "commands.h"
#include "osd.h"
#include "skin_gdi.h"
#include "tuner_layout.h"
#include "tuner_state_win32.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

constexpr char kTitle[] = "KIVOTUNER2";
constexpr DWORD kStyle = WS_POPUP | WS_CLIPCHILDREN;  // 0x82000000
constexpr COLORREF kGreen = 0x00FF00;

CTuner* g_tuner = nullptr;

// Bitmaps the paint hooks use, fetched once when the tree is built.
SkinBitmap *g_tunerRu, *g_mainSub, *g_pocis, *g_hatch;

HBRUSH Stock(int brush) { return static_cast<HBRUSH>(GetStockObject(brush)); }
HDC Dc(SkinCanvas& c) { return static_cast<HDC>(c.Context()); }

void FrameGreen(HDC dc, const SkinRect& r) {
    RECT rect = ToRect(r);
    HBRUSH green = CreateSolidBrush(kGreen);
    FrameRect(dc, &rect, green);
    DeleteObject(green);
}

HFONT ArialFont(int height, int weight) {
    LOGFONTA f = {};
    f.lfHeight = -height;
    f.lfWeight = weight;
    f.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(f.lfFaceName, "Arial");
    return CreateFontIndirectA(&f);
}

// The etched filler panels: a grey and a white edge, then the filling.
void Etched(HDC dc, const SkinRect& r, HBRUSH fill) {
    if (r.Empty()) return;
    RECT rect = ToRect(r);
    FrameRect(dc, &rect, Stock(GRAY_BRUSH));
    --rect.right;
    --rect.bottom;
    FrameRect(dc, &rect, Stock(WHITE_BRUSH));
    ++rect.left;
    ++rect.top;
    FillRect(dc, &rect, fill);
}

// The selector buttons' look: "MAINSUB", the pressed mark, a white centred label.
void SelectorLabel(SkinNode* e, HDC dc, const SkinRect& r, const char* text, int size) {
    DrawSkinBitmap(g_mainSub, dc, r.left, r.top, false);
    if (e->Has(SKF_PRESSED)) DrawSkinBitmap(g_pocis, dc, r.left + 2, r.top + 6, false);
    HFONT font = ArialFont(size, FW_NORMAL);
    HGDIOBJ old = SelectObject(dc, font);
    int mode = SetBkMode(dc, TRANSPARENT);
    COLORREF colour = SetTextColor(dc, 0xFFFFFF);
    RECT box{r.left + 10, r.top + 3, r.right - 4, r.bottom - 4};
    DrawTextA(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetTextColor(dc, colour);
    SetBkMode(dc, mode);
    SelectObject(dc, old);
    DeleteObject(font);
}

SkinButton* ImageButton(const char* name, int x, int y, const char* i1, const char* i2, const char* i3,
                        uint16_t flags, const char* tip) {
    auto* b = new SkinButton(name, x, y, i1, i2, i3);
    b->flags |= SKF_IMAGE_BUTTON | flags;
    b->tipText = tip;
    return b;
}

void AttachTo(SkinNode* parent, SkinNode* e) {
    if (!e->parent) SkinNode::AddChild(parent, e);
}

}  // namespace

CTuner* CTuner::Instance() { return g_tuner; }

CTuner::~CTuner() {
    // The base destroys the attached tree; what is detached now goes separately.
    for (SkinNode* e : {pin_, autoStart_, gap_, multi_, setup_, freeze_, channels_, pad_})
        if (e && !e->parent && e != root_) delete e;
    if (g_tuner == this) g_tuner = nullptr;
}

SkinNode* CTuner::BuildTree() {
    g_tunerRu = GetSkinBitmap("TUNERRU");
    g_mainSub = GetSkinBitmap("MAINSUB");
    g_pocis = GetSkinBitmap("POCIS");
    g_hatch = GetSkinBitmap("HATCH");

    auto* root = new SkinNode("TUNER", {0, 0, 76, 205});
    root->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        RECT rect = ToRect(r);
        FillRect(Dc(c), &rect, Stock(BLACK_BRUSH));
    };
    auto* close = new SkinButton("TUNERCLOSE", 62, 1, nullptr, nullptr, nullptr);
    close->rect = {62, 1, 75, 204};
    close->flags |= SKF_FIRE_ON_PRESS;
    close->tipText = "ﾁｭｰﾅﾊﾟﾈﾙを閉じる";
    close->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        RECT rect = ToRect(r);
        FillRect(Dc(c), &rect, Stock(GRAY_BRUSH));
        DrawSkinBitmap(g_tunerRu, Dc(c), r.left, r.top, false);
    };
    close->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { HidePanel(); };
    SkinNode::AddChild(root, close_ = close);

    inner_ = new SkinNode("INNER", {0, 1, 61, 204});
    SkinNode::AddChild(root, inner_);
    channels_ = new SkinNode("CHANNELS", {0, 0, 61, 89});
    SkinNode::AddChild(inner_, channels_);
    for (int i = 0; i < kPresetCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "PRESET%d", i);
        auto* b = ImageButton(name, i < 6 ? 0 : 31, (i % 6) * 15, "CHANNEL", "CHANNEL", "CHANNEL", 0, nullptr);
        b->paintHook = [this, i](SkinNode*, SkinCanvas& c, const SkinRect& r) {
            HDC dc = Dc(c);
            char text[12];
            FormatChannelLabel(state_.presets[i].channel, text, sizeof text);
            HFONT font = ArialFont(12, 600);
            HGDIOBJ old = SelectObject(dc, font);
            int mode = SetBkMode(dc, TRANSPARENT);
            SIZE extent{};
            GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
            int x = r.left + (r.right - r.left - extent.cx) / 2;
            COLORREF colour = SetTextColor(dc, 0xFFFFFF);
            TextOutA(dc, x + 1, r.top, text, lstrlenA(text));
            SetTextColor(dc, 0x000000);
            TextOutA(dc, x, r.top, text, lstrlenA(text));
            SetTextColor(dc, colour);
            SetBkMode(dc, mode);
            SelectObject(dc, old);
            DeleteObject(font);
            if (state_.source == kSourceTV && state_.currentPreset == i) FrameGreen(dc, r);
        };
        b->action = [this](SkinNode* e, uint32_t, int32_t, int32_t) { SelectPreset(e); };
        SkinNode::AddChild(channels_, presets_[i] = b);
    }
    chanUp_ = ImageButton("CHANUP", 0, 90, nullptr, nullptr, "CHANUP", SKF_REPEAT, "ﾁｬﾝﾈﾙｱｯﾌﾟ");
    chanUp_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { ChannelUp(); };
    SkinNode::AddChild(inner_, chanUp_);
    chanDown_ = ImageButton("CHANDOWN", 31, 90, nullptr, nullptr, "CHANDOWN", SKF_REPEAT, "ﾁｬﾝﾈﾙﾀﾞｳﾝ");
    chanDown_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { ChannelDown(); };
    SkinNode::AddChild(inner_, chanDown_);

    auto* source = new SkinButton("SOURCE", 0, 110, nullptr, nullptr, nullptr);
    source->rect = {0, 110, 61, 132};
    source->tipText = "入力切替";
    source->paintHook = [this](SkinNode* e, SkinCanvas& c, const SkinRect& r) {
        SelectorLabel(e, Dc(c), r, SourceLabel(state_.source), 12);
    };
    source->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { NextSource(); };
    SkinNode::AddChild(inner_, source_ = source);
    auto* voice = new SkinButton("VOICE", 0, 132, nullptr, nullptr, nullptr);
    voice->rect = {0, 132, 61, 154};
    voice->tipText = "音声切替";
    voice->paintHook = [this](SkinNode* e, SkinCanvas& c, const SkinRect& r) {
        SelectorLabel(e, Dc(c), r, VoiceModeLabel(state_.voiceMode), state_.voiceMode == kVoiceMainSub ? 11 : 12);
    };
    voice->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { NextSoundMode(); };
    SkinNode::AddChild(inner_, voice_ = voice);

    auto greenWhenOn = [](SkinNode* e, SkinCanvas& c, const SkinRect& r) {
        if (e->Has(SKF_ON)) FrameGreen(Dc(c), r);
    };
    autoStart_ = ImageButton("AutoStart", 15, 172, nullptr, "AUTOSTAR", "AUTOSTAR", 0, "自動起動");
    autoStart_->paintHook = greenWhenOn;
    autoStart_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { AutoStart(); };
    SkinNode::AddChild(root, autoStart_);
    pin_ = ImageButton("Pin", 15, 156, nullptr, "PIN", "PIN", 0, "前面表示");
    pin_->paintHook = greenWhenOn;
    pin_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { Pin(); };
    SkinNode::AddChild(root, pin_);
    multi_ = ImageButton("MULTI", 15, 188, nullptr, nullptr, "MULTI", 0, "ﾏﾙﾁ画面");
    multi_->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        if (g_viewer.multiScreenActive) FrameGreen(Dc(c), r);
    };
    multi_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { MultiScreen(); };
    SkinNode::AddChild(inner_, multi_);
    freeze_ = ImageButton("FREEZE", 15, 204, nullptr, nullptr, "FREEZE", 0, "静止画像");
    freeze_->paintHook = [this](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        if (state_.frozen) FrameGreen(Dc(c), r);
    };
    freeze_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { Freeze(); };
    SkinNode::AddChild(inner_, freeze_);
    setup_ = ImageButton("SETUP", 15, 220, nullptr, nullptr, "SETUP", 0, "KIVOｾｯﾄｱｯﾌﾟ");
    setup_->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { Setup(); };
    SkinNode::AddChild(inner_, setup_);

    gap_ = new SkinNode("GAP", {0, 0, 0, 0});
    gap_->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        HBRUSH grey = CreateSolidBrush(0xC0C0C0);
        Etched(Dc(c), r, grey);
        DeleteObject(grey);
    };
    SkinNode::AddChild(inner_, gap_);
    pad_ = new SkinNode("PAD", {0, 0, 0, 0});
    pad_->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) {
        HBRUSH hatch = SkinPatternBrush(g_hatch);
        Etched(Dc(c), r, hatch ? hatch : Stock(LTGRAY_BRUSH));
        if (hatch) DeleteObject(hatch);
    };
    SkinNode::AddChild(inner_, pad_);
    return root;
}

void CTuner::MakePanelOnly() {
    for (SkinNode* e : {gap_, multi_, setup_, autoStart_, pin_}) SkinNode::Remove(e);
    freeze_->SetRect({15, 154, 61, 170});
    pad_->SetRect({0, 154, 14, 169});
    close_->SetRect({63, 18, 76, 187});
    auto* caption = new SkinButton("Caption", 19, 1, nullptr, nullptr, nullptr);
    caption->rect = {19, 1, 76, 17};
    caption->MakeRaw(CaptionDrag);
    caption->paintHook = [](SkinNode*, SkinCanvas& c, const SkinRect& r) { PaintCaption(Dc(c), r); };
    SkinNode::AddChild(root_, caption);
    auto* power = ImageButton("Power", 1, 1, nullptr, nullptr, "POWER", 0, "終了");
    power->action = [](SkinNode*, uint32_t, int32_t, int32_t) { PowerCommand(); };
    SkinNode::AddChild(root_, power);
    inner_->SetRect({1, 18, 62, 186});
    root_->SetRect({0, 0, 77, 188});
}

CTuner* CTuner::Create(int x, int y, bool panelOnly) {
    auto* tuner = new CTuner;
    tuner->panelOnly_ = panelOnly;
    g_tuner = tuner;
    g_viewer.tunerPanel = tuner;
    CTuner* self = tuner;
    auto factory = [self] {
        SkinNode* root = self->BuildTree();
        self->root_ = root;
        if (self->panelOnly_) self->MakePanelOnly();
        return root;
    };
    if (!tuner->CreateHost(factory, kTitle, kStyle, x, y)) {
        g_viewer.tunerPanel = nullptr;
        delete tuner;
        return nullptr;
    }
    HWND w = tuner->m_hWnd;
    SetWindowLongPtrA(w, GWL_EXSTYLE, GetWindowLongPtrA(w, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE));
    tuner->state_.soundKind = 2;
    tuner->state_.frozen = 0;
    ::SetWindowPos(w, nullptr, 0, 0, 1, 205, SWP_NOMOVE | SWP_NOZORDER);
    LoadAll(tuner->state_, ViewerSettings());
    ApplyAll(tuner->state_, ViewerTuner());
    ApplyAll(tuner->state_, ViewerTuner());
    for (int i = 0; i < kPresetCount; ++i) {
        if (tuner->state_.presets[i].channel) tuner->presets_[i]->tipText = tuner->state_.presets[i].name;
        else tuner->presets_[i]->SetDisabled(false);
    }
    if (g_viewer.pinnedOnTop) tuner->pin_->SetOn();
    if (g_viewer.autoStartShortcutPresent) tuner->autoStart_->SetOn();
    g_viewer.autoStartSwitchOn = g_viewer.autoStartShortcutPresent;
    return tuner;
}

bool CTuner::Blocked() const { return g_viewer.multiScreenActive || g_viewer.viewMode != kIdle; }

void CTuner::RepaintPreset(int32_t index) {
    if (index >= 0 && index < kPresetCount) presets_[index]->Invalidate();
}

void CTuner::RepaintCurrentPreset() { RepaintPreset(state_.currentPreset); }
void CTuner::RepaintSource() { source_->Invalidate(); }

void CTuner::ReleaseFreeze() {
    if (state_.frozen) Freeze();
}

void CTuner::SelectPreset(SkinNode* element) {
    ReleaseFreeze();
    if (Blocked()) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    bool sourceChanged = false;
    if (state_.source != kSourceTV) {
        state_.source = kSourceTV;
        RepaintSource();
        sourceChanged = true;
    }
    int32_t index = kPresetCount;
    for (int i = 0; i < kPresetCount; ++i)
        if (presets_[i] == element) index = i;
    int32_t old = state_.currentPreset;
    ::SelectPreset(state_, ViewerTuner(), static_cast<uint32_t>(index));
    RepaintPreset(old);
    RepaintCurrentPreset();
    if (sourceChanged) ApplySource(state_, ViewerTuner());
    ShowOsd();
}

void CTuner::StepChannel(int direction) {
    ReleaseFreeze();
    if (Blocked() || (state_.source != kSourceTV && state_.source != kSourceCATV)) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    CloseRemoteHelp();
    int32_t old = state_.currentPreset;
    ::StepChannel(state_, ViewerTuner(), direction);
    if (state_.source == kSourceTV) {
        RepaintPreset(old);
        RepaintCurrentPreset();
    }
    ShowOsd();
}

void CTuner::NextSource() {
    ReleaseFreeze();
    if (Blocked()) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    CloseRemoteHelp();
    bool wasTV = state_.source == kSourceTV;
    ChangeSource(state_, ViewerTuner());
    if (wasTV != (state_.source == kSourceTV)) RepaintCurrentPreset();
    RepaintSource();
    ShowOsd();
}

void CTuner::NextSoundMode() {
    if (Blocked()) {
        MessageBeep(static_cast<UINT>(-1));
        return;
    }
    if (state_.source != kSourceTV) return;
    SoundModeStep step = StepSoundMode(state_, ViewerTuner());
    if (step.modeChanged) {
        CloseRemoteHelp();
        voice_->Invalidate();
    }
    if (step.changed) ShowOsd();
}

void CTuner::Freeze() {
    if (g_viewer.multiScreenActive || g_viewer.viewMode != kIdle || FindSetupWindow()) return;
    CloseRemoteHelp();
    if (!state_.frozen) EraseOsd();
    state_.frozen = !state_.frozen;
    HWND capture = g_viewer.captureWindow;
    if (capture && IsWindow(capture)) {
        if (state_.frozen) {
            ::SendMessageA(capture, 0x432, 0, 0);  // WM_CAP_SET_PREVIEW: live preview off
            ::SendMessageA(capture, 0x43D, 0, 0);  // WM_CAP_GRAB_FRAME_NOSTOP: one frame stays
        } else {
            ::SendMessageA(capture, 0x432, 1, 0);
        }
    }
    freeze_->Invalidate();
}

void CTuner::MultiScreen() {
    if (!g_viewer.captureWindow || g_viewer.viewMode != kIdle) return;
    if (g_viewer.multiScreenActive) {
        ExitMultiScreen(-1);
        if (CMainWnd* main = CMainWnd::Instance()) main->SetMovable(true);
    } else {
        if (state_.source != kSourceTV) {
            state_.source = kSourceTV;
            RepaintCurrentPreset();
            ApplySource(state_, ViewerTuner());
            RepaintSource();
        }
        CMainWnd* main = CMainWnd::Instance();
        if (main) main->SetMovable(false);
        // A view that did not start leaves the window movable.
        if (!EnterMultiScreen() && main) main->SetMovable(true);
    }
    multi_->Invalidate();
}

void CTuner::Setup() {
    if (g_viewer.multiScreenActive || g_viewer.viewMode != kIdle || FindSetupWindow()) return;
    ReleaseFreeze();
    char command[300];
    std::snprintf(command, sizeof command, "%sKVSETUP.EXE", g_viewer.programDirectory);
    if (WinExec(command, SW_SHOW) >= 32) {
        HWND deck = CWnd::SafeHandle(g_viewer.videoDeck);
        if (deck && IsWindowVisible(deck)) ::ShowWindow(deck, SW_HIDE);
    } else {
        MessageBeep(static_cast<UINT>(-1));
    }
}

void CTuner::Pin() {
    HWND setup = FindSetupWindow();
    HWND target;
    auto setTopmost = [](CWnd* w, bool on) {
        if (!w || !w->m_hWnd) return;
        LONG_PTR ex = GetWindowLongPtrA(w->m_hWnd, GWL_EXSTYLE);
        SetWindowLongPtrA(w->m_hWnd, GWL_EXSTYLE, on ? ex | WS_EX_TOPMOST : ex & ~static_cast<LONG_PTR>(WS_EX_TOPMOST));
    };
    bool on = !pin_->Has(SKF_ON);
    if (on) pin_->SetOn();
    else pin_->SetOff();
    for (CWnd* w : {g_viewer.mainWindow, static_cast<CWnd*>(this), g_viewer.videoDeck}) setTopmost(w, on);
    target = on ? HWND_TOPMOST : HWND_NOTOPMOST;
    g_viewer.pinnedOnTop = on ? 1 : 0;
    ::SetWindowPos(CWnd::SafeHandle(reinterpret_cast<CWnd*>(g_viewer.controlFrame)), target, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    if (setup) ::SetWindowPos(setup, target, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CTuner::AutoStart() {
    if (autoStart_->Has(SKF_ON)) autoStart_->SetOff();
    else autoStart_->SetOn();
    g_viewer.autoStartSwitchOn = autoStart_->Has(SKF_ON) ? 1 : 0;
}

void CTuner::ReapplySource() { ApplySource(state_, ViewerTuner()); }

void CTuner::HidePanel() {
    if (panelOnly_) return;
    ::ShowWindow(m_hWnd, SW_HIDE);
    if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow))
        ::PostMessageA(main, WM_NCACTIVATE, IsOwnWindowActive() ? TRUE : FALSE, 0);
}

void CTuner::Key(UINT ch, UINT, UINT) {
    if (g_viewer.multiScreenActive) MultiScreenKey(ch);
}

void CTuner::SelectPresetAt(int32_t index) {
    if (index >= 0 && index < kPresetCount) SelectPreset(presets_[index]);
}

void CTuner::RepaintMulti() {
    if (multi_) multi_->Invalidate();
}

void CTuner::RefreshPresetButtons() {
    for (int i = 0; i < kPresetCount; ++i) {
        if (IsValidChannel(state_.presets[i].channel)) {
            presets_[i]->SetEnabled(false);
            presets_[i]->tipText = state_.presets[i].name;
        } else {
            presets_[i]->SetDisabled(false);
            presets_[i]->tipText = nullptr;
        }
    }
}

void CTuner::OnSize(UINT, int cx, int cy) {
    if (panelOnly_ || !root_) return;
    TunerLayout l = LayoutTuner(cx, cy);
    root_->SetRect(l.tuner);
    inner_->SetRect(l.inner);
    close_->rect.bottom = close_->rect.top + l.innerHeight;
    if (l.channels) AttachTo(inner_, channels_);
    else SkinNode::Remove(channels_);
    chanUp_->MoveTo(0, l.buttonsY);
    chanDown_->MoveTo(31, l.buttonsY);
    source_->MoveTo(0, l.sourceY);
    voice_->MoveTo(0, l.sourceY + 22);
    gap_->SetRect(l.gap);
    pad_->SetRect(l.pad);
    struct Option {
        SkinNode* e;
        bool shown;
        int32_t y;
    } options[] = {{setup_, l.setup, l.setupY}, {freeze_, l.freeze, l.freezeY}, {multi_, l.multi, l.multiY},
                   {autoStart_, l.autoStart, l.autoStartY}, {pin_, l.pin, l.pinY}};
    for (const Option& o : options) {
        if (o.shown) {
            AttachTo(inner_, o.e);
            o.e->MoveTo(15, o.y);
        } else if (o.e->parent) {
            SkinNode::Remove(o.e);
        }
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CTuner::OnWindowPosChanging(WINDOWPOS* pos) {
    if (!panelOnly_ && !(pos->flags & SWP_NOMOVE)) {
        const RECT& r = g_viewer.currentRect;
        int x = r.right - GetSystemMetrics(SM_CXDLGFRAME) - 14;
        int y = r.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
        if (pos->x != x || pos->y != y) pos->flags |= SWP_NOMOVE;
    }
    Default();
}

void CTuner::OnWindowPosChanged(WINDOWPOS*) {
    if (!panelOnly_) {
        HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
        if (main && (GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
            !(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST))
            ::SetWindowPos(main, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    }
    Default();
}

void CTuner::OnActivateApp(BOOL, DWORD) {
    if (!panelOnly_) {
        Default();
        return;
    }
    HDC dc = GetDC(m_hWnd);
    PaintCaption(dc, SkinRect{19, 1, 76, 17});
    ReleaseDC(m_hWnd, dc);
}

void CTuner::OnDestroy() {
    SaveOnExit(state_, ViewerSettings(), ViewerTuner());
    SkinHost::OnDestroy();
    if (g_viewer.tunerPanel == this) g_viewer.tunerPanel = nullptr;
}

BOOL CTuner::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case 711: {
        if (!panelOnly_ && IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_HIDE);
        HWND setup = FindSetupWindow();
        if (g_viewer.mainWindow && pin_->Has(SKF_ON) && setup)
            ::SetWindowPos(setup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return TRUE;
    }
    case 712:
        ReloadPicture(state_, ViewerSettings(), ViewerTuner());
        if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow)) {
            SetFocus(main);
            ::PostMessageA(main, WM_NCACTIVATE, IsOwnWindowActive() ? TRUE : FALSE, 0);
        }
        return TRUE;
    case 713:
        ReloadPresets(state_, ViewerSettings(), ViewerTuner());
        RefreshPresetButtons();
        InvalidateRect(m_hWnd, nullptr, FALSE);
        if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow)) SetFocus(main);
        return TRUE;
    case 121:
        FinishMultiScreen();
        return TRUE;
    }
    return FALSE;
}
