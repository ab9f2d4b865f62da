#include "window_hooks.h"

#include <windows.h>

#include <string>

#include "handoff.h"
#include "osd.h"
#include "tuner_panel.h"
#include "tuner_state_win32.h"
#include "viewer_state.h"

void DetachCaptureForShutdown() {
    HWND capture = g_viewer.captureWindow;
    if (!capture || !IsWindow(capture)) return;
    // WM_CAP_SET_CALLBACK_STATUS, WM_CAP_SET_CALLBACK_VIDEOSTREAM, WM_CAP_DRIVER_DISCONNECT.
    const UINT kDetach[] = {0x403, 0x406, 0x40B};
    for (UINT message : kDetach)
        if (IsWindow(capture)) SendMessageA(capture, message, 0, 0);
    if (IsWindow(capture)) DestroyWindow(capture);
    g_viewer.captureWindow = nullptr;
}

void ViewerPeriodicTick() { OsdTickNow(); }

void TunerPanelKey(unsigned ch, unsigned repeat, unsigned flags) {
    if (CTuner* t = CTuner::Instance()) t->Key(ch, repeat, flags);
}
void WriteHandoffRecordOnExit() {
    std::string path = std::string(g_viewer.programDirectory) + "TVCTRL.QIF";
    WriteHandoffRecord(path.c_str());
}
void CreateMainWindow(bool) {}
void CreateTunerPanel(bool panelOnly) {
    CTuner* tuner = CTuner::Create(200, 200, panelOnly);
    if (tuner && panelOnly)
        tuner->SetWindowPos(nullptr, 0, 0, 77, 172, SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOMOVE);
}
void ChooseCaptureDrive() {}
void CheckPanelFit() {}
void FreeCompressorList() {}

bool TunerPanelSelectPresetNamed(const char* elementName) {
    CTuner* t = CTuner::Instance();
    SkinNode* e = t ? t->Find(elementName) : nullptr;
    if (!e) return false;
    t->SelectPreset(e);
    return true;
}

bool TunerUsesCableTV() {
    CTuner* t = CTuner::Instance();
    return t && t->State().useCableTV;
}

int TunerSource() {
    CTuner* t = CTuner::Instance();
    return t ? t->State().source : 0;
}

void TunerSetSource(int source) {
    if (CTuner* t = CTuner::Instance()) t->SetSource(source);
}

void TunerPanelNextSource() {
    if (CTuner* t = CTuner::Instance()) t->NextSource();
}

void TunerPanelRepaintCurrentPreset() {
    if (CTuner* t = CTuner::Instance()) t->RepaintCurrentPreset();
}

void TunerPanelMultiScreen() {
    if (CTuner* t = CTuner::Instance()) t->MultiScreen();
}

void TunerPanelSetup() {
    if (CTuner* t = CTuner::Instance()) t->Setup();
}

void TunerPictureStep(int step) {
    CTuner* t = CTuner::Instance();
    if (!t) return;
    void (*const steps[])(TunerState&, TunerLibrary&) = {HueUp,        HueDown,      ColorUp,
                                                         ColorDown,    ContrastUp,   ContrastDown,
                                                         BrightnessUp, BrightnessDown};
    if (step >= 0 && step < 8) steps[step](t->State(), ViewerTuner());
}
bool VideoDeckHasFrames() { return false; }
void VideoDeckSetStillGrid(int) {}
void VideoDeckGridAction() {}
void VideoDeckStillMode() {}
void VideoDeckMovieMode() {}
void VideoDeckLoad() {}
void VideoDeckSave() {}
bool MultiScreenSelection(int*, int*, int*, int*) { return false; }
void ExitMultiScreen(int) {}
void SetMainWindowMovable() {}
void ClearMainWindowMovable() {}
void EnterMultiScreen() {}
void FinishMultiScreen() {}
void MultiScreenKey(unsigned, unsigned, unsigned) {}
void DetachCaptureDriverQuietly() {}
void AttachCaptureDriver() {}
void ShowDosStill() {}
