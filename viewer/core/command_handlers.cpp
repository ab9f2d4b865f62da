#include "command_handlers.h"

#include <windows.h>

#include "commands.h"
#include "control_frame.h"
#include "framework.h"
#include "remote_help.h"
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

// Still to come: the tuner panel and the video deck act on these.
void OnTvMainSub(int) {}
void OnCdPlay(int) {}
void OnCdStop(int) {}
void OnCdPrev(int) {}
void OnTvChUp(int) {}
void OnTvChDown(int) {}
void OnTvVideo(int) {}
void OnVideoCapture(int) {}
void OnVideoFreeze(int) {}
void StartDosHandoff() {}
