// REMCTL.EXE, the stand-in for the resident remote-control program.
//   REMCTL.EXE            the resident program: DDE server "remctl" and the remote's window
//   REMCTL.EXE /send NAME hands NAME to the running resident program, which advises it
//   REMCTL.EXE /quit      ends the running resident program
// Exit codes: see ExitCode in remote_command.h.
#include <windows.h>

#include "dde_server.h"
#include "remote_command.h"
#include "remote_window.h"

namespace {

using namespace remctl;

constexpr const char* kMutexName = "KIVO_REMCTL_RESIDENT";
constexpr DWORD kAnswerMs = 5000;

HWND FindResident() { return FindWindowA(kWindowClass, nullptr); }

int SendName(const std::string& name) {
    HWND resident = FindResident();
    if (!resident) return kExitNoResident;
    COPYDATASTRUCT data = {};
    data.dwData = kCopyDataTag;
    data.cbData = static_cast<DWORD>(name.size());
    data.lpData = const_cast<char*>(name.data());
    DWORD_PTR taken = 0;
    if (!SendMessageTimeoutA(resident, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &taken))
        return kExitNoResident;
    return taken ? kExitOk : kExitRefused;
}

int Quit() {
    HWND resident = FindResident();
    if (!resident) return kExitNoResident;
    DWORD process = 0;
    GetWindowThreadProcessId(resident, &process);
    HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
    PostMessageA(resident, WM_CLOSE, 0, 0);
    // Done once the program has ended, so that a new one can start at once.
    DWORD waited = handle ? WaitForSingleObject(handle, kAnswerMs) : WAIT_FAILED;
    if (handle) CloseHandle(handle);
    if (waited == WAIT_OBJECT_0 || !IsWindow(resident)) return kExitOk;
    return kExitRefused;
}

int Resident(HINSTANCE instance, int show) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (!mutex) return kExitNoService;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return kExitAlreadyResident;
    }
    DdeServer server;
    int code = kExitNoService;
    // The window appears only once the service is registered: it is the sign of readiness.
    if (server.Start()) {
        if (CreateRemoteWindow(instance, &server, show)) {
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            code = kExitOk;
        }
        server.Stop();
    }
    CloseHandle(mutex);
    return code;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const Invocation invocation = ParseCommandLine(commandLine ? commandLine : "");
    switch (invocation.action) {
    case Action::kResident:
        return Resident(instance, show);
    case Action::kSend:
        return SendName(invocation.name);
    case Action::kQuit:
        return Quit();
    case Action::kUsage:
    default:
        return kExitRefused;
    }
}
