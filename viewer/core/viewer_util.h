// Routines shared by every part of the viewer.
#pragma once
#include <windows.h>

class CWnd;

// A Japanese text in a message box captioned "ＫＩＶＯ", owned by the main window; no panel
// can be used while it is up.
void ShowViewerMessage(const char* text, UINT type);
// Handles every waiting message except timers; a quit request is held back until the queue
// is empty, then posted again.
void DrainMessages();
bool IsWindows98OrLater();
bool IsOwnWindowActive();
bool IsLiveWindow(const CWnd* window);
void BringToFront(HWND window);
// The separate TV setup program's main window, or nullptr.
HWND FindSetupWindow();

// The caption of every message of the viewer ("ＫＩＶＯ").
extern const char kViewerCaption[];
