#include "commands.h"

#include "command_handlers.h"
#include "command_table.h"
#include "control_frame.h"
#include "framework.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "voice_receiver.h"

namespace {

using Handler = void (*)(int);

// The handlers of the command table, row by row; the row after the last has none.
const Handler kHandlers[kCommandCount + 1] = {
    OnSysGuide,  OnDosPower, OnSysTvPower, OnTvMainSub,  OnTvSize,         OnCdPlay,       OnCdStop,
    OnCdPrev,    OnTvChUp,   OnTvChDown,   OnTvVideo,    OnVideoCapture,   OnVideoFreeze,  nullptr,
};

HWND ControlWindow() { return CWnd::SafeHandle(g_viewer.controlFrame); }

DispatchContext CurrentContext() {
    DispatchContext c{};
    c.commandBusy = g_viewer.commandBusy != 0;
    c.mainWindowExists = g_viewer.mainWindow && g_viewer.mainWindow->m_hWnd;
    c.mainWindowEnabled = c.mainWindowExists && IsWindowEnabled(g_viewer.mainWindow->m_hWnd);
    c.tunerPanelExists = g_viewer.tunerPanel && g_viewer.tunerPanel->m_hWnd;
    c.tunerPanelEnabled = c.tunerPanelExists && IsWindowEnabled(g_viewer.tunerPanel->m_hWnd);
    c.voiceReceiverExists = g_viewer.voiceReceiver != nullptr;
    return c;
}

}  // namespace

int DispatchCommandName(const char* name) {
    DispatchDecision d = DecideDispatch(name, CurrentContext());
    switch (d.action) {
    case DispatchAction::kRunPowerNow:
        PowerCommand();
        return 0;
    case DispatchAction::kRefuse:
        if (d.walked) g_viewer.commandIndex = d.rowIndex;
        return 0;
    case DispatchAction::kQueueTable:
        g_viewer.commandBusy = 1;
        CancelPendingTip();
        g_viewer.commandIndex = d.rowIndex;
        PostMessageA(ControlWindow(), WM_COMMAND, kIdRunTableCommand, 0);
        return 1;
    case DispatchAction::kQueueVoice:
        g_viewer.commandBusy = 1;
        CancelPendingTip();
        g_viewer.commandIndex = d.rowIndex;
        VoiceHandOver(g_viewer.voiceReceiver, name);
        PostMessageA(ControlWindow(), WM_COMMAND, kIdRunVoiceCommand, 0);
        return 1;
    }
    return 0;
}

void RunStoredTableCommand() {
    int32_t row = g_viewer.commandIndex;
    if (row >= 0 && row <= kCommandCount && kHandlers[row]) kHandlers[row](0);
}

void PowerCommand() {
    CloseRemoteHelp();
    HWND control = ControlWindow();
    if (control && IsIconic(control)) {
        PostMessageA(control, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (IsOwnWindowActive()) {
        OnDosPower(0);
    } else {
        CWnd* target = g_viewer.panelOnlyMode ? g_viewer.tunerPanel : g_viewer.mainWindow;
        if (HWND w = CWnd::SafeHandle(target)) BringToFront(w);
    }
}

void SizeCommand() {
    if (g_viewer.viewMode != kIdle) return;
    CloseRemoteHelp();
    HWND control = ControlWindow();
    if (!control) return;
    if (IsIconic(control)) {
        PostMessageA(control, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (!g_viewer.multiScreenActive && !g_viewer.panelOnlyMode) {
        PostMessageA(control, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
}

void RequestMinimise() {
    if (g_viewer.multiScreenActive || g_viewer.panelOnlyMode) return;
    PostMessageA(ControlWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void CentreControlWindow() {
    HWND control = ControlWindow();
    if (!control) return;
    const RECT& r = g_viewer.currentRect;
    SetWindowPos(control, nullptr, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
