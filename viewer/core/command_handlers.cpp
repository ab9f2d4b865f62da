#include "command_handlers.h"

#include <windows.h>

#include "commands.h"
#include "control_frame.h"
#include "framework.h"
#include "remote_help.h"
#include "tuner_panel.h"
#include "video_deck.h"
#include "tip_window.h"
#include "viewer_state.h"

void OnDosPower(int) {
    CloseRemoteHelp();
    PostMessageA(CWnd::SafeHandle(g_viewer.controlFrame), WM_CLOSE, 0, 0);
}

void OnSysGuide(int) { ToggleRemoteHelp(); }
void OnSysTvPower(int) { PowerCommand(); }
void CloseRemoteHelp() { CloseRemoteHelpWindow(); }

void CancelPendingTip() { Tooltips().ButtonPressed(); }
void OnTvSize(int) { SizeCommand(); }

// The tuner panel's actions.
void OnTvMainSub(int) {
    if (CTuner* t = CTuner::Instance()) t->NextSoundMode();
}
void OnTvChUp(int) {
    if (CTuner* t = CTuner::Instance()) t->ChannelUp();
}
void OnTvChDown(int) {
    if (CTuner* t = CTuner::Instance()) t->ChannelDown();
}
void OnTvVideo(int) {
    if (CTuner* t = CTuner::Instance()) t->NextSource();
}
void OnVideoFreeze(int) {
    if (CTuner* t = CTuner::Instance()) t->Freeze();
}

// The video deck's actions.
void OnCdPlay(int) {
    if (CVideoDeck* d = CVideoDeck::Instance()) d->Play();
}
void OnCdStop(int) {
    if (CVideoDeck* d = CVideoDeck::Instance()) d->StopButton();
}
void OnCdPrev(int) {
    if (CVideoDeck* d = CVideoDeck::Instance()) d->Rewind();
}
void OnVideoCapture(int) {
    if (CVideoDeck* d = CVideoDeck::Instance()) d->Record();
}
