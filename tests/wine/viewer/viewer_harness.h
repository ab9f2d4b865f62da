// Starting and ending the real viewer in a scratch program folder.
#pragma once
#include <string>
#include <vector>

#include "winetest.h"

namespace viewer_test {

// The files of a program folder in which the viewer runs on the virtual board.
inline std::vector<std::string> ProgramFiles() {
    return {"zortv.exe",    "kvtun32.dll",  "KVTU3216.DLL", "Kvhook.dll",  "KVBOARD.DLL",
            "ZTUNER.VXD",   "BOARDMIX.DRV", "DAZIDAV.VXD",  "VZORSPKD.VXD",
            "KVCMD32.DLL",  "KVTHK32.DLL"};
}

// The one program folder of this test program, made at first use with ProgramFiles() in it.
const kivo::wt::ScratchFolder& ViewerFolder();

// Starts the viewer from that folder; false when it could not be started.
bool StartViewer(kivo::wt::ChildProcess& viewer);

// Tells Wine which Windows the viewer is to see ("win98" or "win95").
void SetViewerVersion(const char* version);

// The viewer's control window, once it exists.
HWND WaitForControlWindow(DWORD ms = 15000);

// The control window once start-up has ended.
HWND WaitUntilStarted(kivo::wt::ChildProcess& viewer, DWORD ms = 15000);

// Closes the viewer the way the user does and waits for its process to end.
bool CloseViewer(kivo::wt::ChildProcess& viewer, DWORD ms = 15000);

// Kvhook's record of calls (of the program folder's Kvhook.dll), one "Name(argument)" per line.
std::string HookCalls();
void ResetHookCalls();

}  // namespace viewer_test
