#include "dos_handoff.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "command_link.h"
#include "commands.h"
#include "framework.h"
#include "handoff.h"
#include "handoff_record.h"
#include "kvhook.h"
#include "remote_help.h"
#include "tuner_panel.h"
#include "tuner_state_win32.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "capture_controller.h"
#include "still_capture.h"

namespace {

int g_nesting = 0;
DWORD g_handoffTime = 0;

// KVTHK32's export at ordinal 2: 0 before the hand-off, 1 when the TV comes back.
void TellThunk(DWORD value) {
    static HMODULE module = LoadLibraryA("KVTHK32.DLL");
    if (!module) return;
    auto proc = reinterpret_cast<DWORD(WINAPI*)(DWORD)>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(2))));
    if (proc) proc(value);
}

void EnableMain(BOOL enable) {
    if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow)) EnableWindow(main, enable);
}

// The remote control, the link and the thunk back to Windows after a failed hand-off.
void UndoHandoff() {
    SetStartDos(0);
    TellThunk(1);
    RouteRemoteControl(1);
    OpenCommandLink();
}

void AttachCapture() {
    if (CCaptureController* capture = g_viewer.captureController) capture->AttachDriver();
}

void FailureExit() {
    AttachCapture();
    EnableMain(TRUE);
    --g_nesting;
}

}  // namespace

void StartDosHandoff() {
    if (++g_nesting != 1) {
        --g_nesting;
        return;
    }
    if (g_viewer.viewMode != kIdle) {
        g_nesting = 0;
        return;
    }
    if (FindSetupWindow()) {
        --g_nesting;
        return;
    }
    TellThunk(0);
    EnableMain(FALSE);
    SetStartDos(1);
    CloseCommandLink();
    RouteRemoteControl(0);
    if (CTuner* tuner = CTuner::Instance()) tuner->ReleaseFreeze();
    if (CCaptureController* capture = g_viewer.captureController) capture->DetachDriverQuietly();

    std::string directory = g_viewer.programDirectory;
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    SetCurrentDirectoryA(directory.size() == 2 ? (directory + "\\").c_str() : directory.c_str());

    if (WriteHandoffRecord("TVCTRL.INF") != 0) {
        UndoHandoff();
        FailureExit();
        return;
    }
    g_handoffTime = GetTickCount();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpTitle = const_cast<char*>("ZORTV2");
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("ZORTV2.PIF", nullptr, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &process)) {
        UndoHandoff();
        ShowViewerMessage("フルスクリーン表示ができません。", MB_TASKMODAL | MB_ICONERROR);
        FailureExit();
        return;
    }
    SetDosTvInstance(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DrainMessages();

    // The DOS program owns the TV: every repaint asks whether it has given it back.
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) continue;
        if (msg.message == WM_PAINT && CheckHandoffReturn() == 1) {
            DispatchMessageA(&msg);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
    --g_nesting;
    SetActiveWindow(CWnd::SafeHandle(reinterpret_cast<CWnd*>(g_viewer.controlFrame)));
    EnableMain(TRUE);
}

int CheckHandoffReturn() {
    HANDLE file = CreateFileA("TVCTRL.INF", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    uint8_t data[kHandoffRecordSize] = {};
    DWORD got = 0;
    ReadFile(file, data, sizeof data, &got, nullptr);
    CloseHandle(file);
    HandoffState state = HandoffRecord::StateOf(data, got, GetTickCount() - g_handoffTime);
    if (state == HandoffState::kWaiting) return 0;

    CTuner* tuner = CTuner::Instance();
    TakeBackHandoffValues(data, tuner ? &tuner->State() : nullptr);
    if (tuner) SavePicture(tuner->State(), ViewerSettings());

    SetStartDos(0);
    SetDosTvInstance(0);
    TellThunk(1);
    DrainMessages();
    DeleteFileA("TVCTRL.INF");
    RouteRemoteControl(1);
    OpenCommandLink();
    if (g_viewer.mainWindow) AttachCapture();
    if (tuner) {
        ApplyAll(tuner->State(), ViewerTuner());
        InvalidateRect(tuner->m_hWnd, nullptr, FALSE);
    }
    if (state == HandoffState::kSwitchedOff) {
        EnableMain(TRUE);
        DispatchCommandName("DOS_POWER");
    }
    if (HandoffRecordOfViewer().StillSaved()) LoadDosStill();
    return 1;
}

void LoadDosStill() {
    // The file is the DOS program's hand-over: read once, then gone whatever it held.
    HGLOBAL picture = ReadBmpFile("TVCAPWIN.BMP", false);
    DeleteFileA("TVCAPWIN.BMP");
    if (picture) TakeDosStill(picture);
}
