#include "osd.h"

#include <windows.h>

#include <cstring>

#include "osd_text.h"
#include "tuner_panel.h"
#include "tuner_state_win32.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

// The erase area and the two line boxes, relative to the capture window's client area.
RECT EraseArea(const RECT& client) { return RECT{client.right - 104, client.top + 8, client.right - 8, client.top + 40}; }

bool Frozen() {
    CTuner* tuner = CTuner::Instance();
    return tuner && tuner->State().frozen;
}

}  // namespace

bool RefreshSoundStatus() {
    CTuner* tuner = CTuner::Instance();
    if (!tuner) return false;
    TunerState& s = tuner->State();
    int32_t before = s.soundKind;
    s.soundKind = ViewerTuner().GetStatusTV() & 0xFFFF;
    return s.soundKind != before;
}

void EraseOsd() {
    if (Frozen()) return;
    g_viewer.osdCountdown = 0;
    HWND capture = g_viewer.captureWindow;
    if (!capture) return;
    RECT client;
    GetClientRect(capture, &client);
    RECT area = EraseArea(client);
    InvalidateRect(capture, &area, TRUE);
    UpdateWindow(capture);
}

void ShowOsd() {
    if (g_viewer.osdCountdown > 0) EraseOsd();
    HWND capture = g_viewer.captureWindow;
    CTuner* tuner = CTuner::Instance();
    if (Frozen() || !capture || !tuner) return;
    if (FindSetupWindow() && !IsWindowVisible(tuner->m_hWnd)) return;
    TunerState& s = tuner->State();
    HDC dc = GetDC(capture);
    int oldMode = GetBkMode(dc);
    COLORREF oldColour = GetTextColor(dc);
    LOGFONTA f = {};
    f.lfHeight = -14;
    f.lfWeight = 700;
    f.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(f.lfFaceName, "ＭＳ ゴシック");
    HFONT font = CreateFontIndirectA(&f);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(capture, &client);
    const char* presetName =
        s.currentPreset >= 0 && s.currentPreset < kPresetCount ? s.presets[s.currentPreset].name : "";
    std::string line1 = OsdChannelLine(s.source, presetName, s.cableChannel);
    SetTextColor(dc, RGB(0, 255, 0));
    RECT box1{client.right - 104, client.top + 8, client.right - 8, client.top + 24};
    DrawTextA(dc, line1.c_str(), -1, &box1, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    if (s.source == 0) {
        SetTextColor(dc, RGB(0, 255, 255));
        RefreshSoundStatus();
        std::string line2 = OsdSoundLine(s.soundKind);
        RECT box2{client.right - 104, client.top + 24, client.right - 8, client.top + 40};
        DrawTextA(dc, line2.c_str(), -1, &box2, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    ReleaseDC(capture, dc);
    DeleteObject(font);
    g_viewer.osdCountdown = kOsdTicks;
}

void OsdTickNow() {
    OsdTickInput input{Frozen(), g_viewer.captureWindow != nullptr, g_viewer.multiScreenActive != 0,
                       g_viewer.viewMode == kIdle};
    if (!OsdTickRuns(input)) return;
    OsdTickState state{g_viewer.osdCountdown, g_viewer.soundPollTicks};
    bool poll = OsdPollDue(state, input);
    g_viewer.soundPollTicks = state.pollTicks;
    CTuner* tuner = CTuner::Instance();
    if (poll && tuner && tuner->State().source == 0 && RefreshSoundStatus()) ShowOsd();
    state.countdown = g_viewer.osdCountdown;
    bool erase = OsdCountDown(state);
    g_viewer.osdCountdown = state.countdown;
    if (erase) EraseOsd();
}
