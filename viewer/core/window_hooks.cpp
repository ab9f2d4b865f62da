#include "window_hooks.h"

#include <windows.h>

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

void ViewerPeriodicTick() {}
void TunerPanelKey(unsigned, unsigned, unsigned) {}
void WriteHandoffRecordOnExit() {}
void CreateMainWindow(bool) {}
void CreateTunerPanel(bool) {}
void ChooseCaptureDrive() {}
void CheckPanelFit() {}
void FreeCompressorList() {}

bool TunerPanelSelectPresetNamed(const char*) { return false; }
bool TunerUsesCableTV() { return false; }
int TunerSource() { return 0; }
void TunerSetSource(int) {}
void TunerPanelNextSource() {}
void TunerPanelRepaintCurrentPreset() {}
void TunerPanelMultiScreen() {}
void TunerPanelSetup() {}
void TunerPictureStep(int) {}
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
