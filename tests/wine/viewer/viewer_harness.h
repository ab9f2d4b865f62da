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

// With the capture service and the codec as well: the viewer shows live television.
inline std::vector<std::string> LiveProgramFiles() {
    std::vector<std::string> files = ProgramFiles();
    files.push_back("avicap32.dll");
    files.push_back("vancodc.dll");
    return files;
}

// The one program folder of this test program, made at first use with ProgramFiles() in it.
const kivo::wt::ScratchFolder& ViewerFolder();
// A program folder with LiveProgramFiles(), the codec registered from it.
const kivo::wt::ScratchFolder& LiveFolder();

// Starts the viewer from that folder; false when it could not be started.
bool StartViewer(kivo::wt::ChildProcess& viewer);
bool StartLiveViewer(kivo::wt::ChildProcess& viewer);

// Tells Wine which Windows the viewer is to see ("win98" or "win95").
void SetViewerVersion(const char* version);

// The viewer's control window, once it exists.
HWND WaitForControlWindow(DWORD ms = 15000);

// The control window once start-up has ended.
HWND WaitUntilStarted(kivo::wt::ChildProcess& viewer, DWORD ms = 15000);

// The viewer's windows by title ("KIVO" the main window, "KIVOTUNER2", "VideoDeck"), once
// they are visible.
HWND WaitForVisibleWindow(const char* title, DWORD ms = 15000);

// The live viewer's windows: the main window with its capture window (child 7), the deck and the
// tuner panel.
struct LiveWindows {
    HWND main = nullptr, tuner = nullptr, deck = nullptr, capture = nullptr;
};
// Starts the live viewer and waits for the end of its start-up and for those windows (the tuner
// panel only where it is wanted); a missing one fails the test.
void StartLive(kivo::wt::ChildProcess& viewer, LiveWindows& windows, bool withTuner);

// Closes the viewer the way the user does and waits for its process to end.
bool CloseViewer(kivo::wt::ChildProcess& viewer, DWORD ms = 15000);

// Kvhook's record of calls (of the program folder's Kvhook.dll), one "Name(argument)" per line.
std::string HookCalls();
void ResetHookCalls();

}  // namespace viewer_test
