// The resident program's window, class "KivoRemote": one button per key of the remote, an edit
// line with a send button for any other name (a voice word), and a status line. It takes the
// names that "/send" hands over (WM_COPYDATA) and advises every name in the order it came.
//
// Activation: the viewer filters names by whether one of its windows is active, so the remote
// never takes activation for a key: a click on a key or on the send button leaves the active
// window as it is (the window answers MA_NOACTIVATE, and its buttons never take the focus).
// Only a click into the edit line activates it, for typing; sending from there hands
// activation back to the window that was in front before.
#pragma once
#include <windows.h>

namespace remctl {

class DdeServer;

constexpr const char* kWindowClass = "KivoRemote";
constexpr const char* kWindowTitle = "リモコン";
// Control identifiers: key i is kFirstKeyId + i (in the order of kKeys).
constexpr int kFirstKeyId = 100;
constexpr int kEditId = 200;
constexpr int kSendId = 201;
constexpr int kStatusId = 202;

// Creates and shows (without activating) the window; nullptr on failure.
HWND CreateRemoteWindow(HINSTANCE instance, DdeServer* server, int show);

}  // namespace remctl
