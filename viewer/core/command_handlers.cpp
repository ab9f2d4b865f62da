#include "command_handlers.h"

#include <windows.h>

#include "commands.h"
#include "control_frame.h"
#include "framework.h"
#include "tip_window.h"
#include "viewer_state.h"

void OnDosPower(int) {
    CloseRemoteHelp();
    PostMessageA(CWnd::SafeHandle(g_viewer.controlFrame), WM_CLOSE, 0, 0);
}

void OnSysTvPower(int) { PowerCommand(); }

void CancelPendingTip() { Tooltips().ButtonPressed(); }
void OnTvSize(int) { SizeCommand(); }

// Still to come: the help window, the tuner panel and the video deck act on these.
void OnSysGuide(int) {}
void OnTvMainSub(int) {}
void OnCdPlay(int) {}
void OnCdStop(int) {}
void OnCdPrev(int) {}
void OnTvChUp(int) {}
void OnTvChDown(int) {}
void OnTvVideo(int) {}
void OnVideoCapture(int) {}
void OnVideoFreeze(int) {}
void CloseRemoteHelp() {}
void StartDosHandoff() {}
