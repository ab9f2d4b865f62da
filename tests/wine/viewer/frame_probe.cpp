// Makes the viewer's control window and answers which system-menu items it kept:
// exit code bit 1 move, 2 maximise, 4 close.
#include <windows.h>

#include "control_frame.h"
#include "viewer_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitViewerState();
    auto* frame = new CControlFrame;
    HMENU menu = GetSystemMenu(frame->m_hWnd, FALSE);
    int items = 0;
    if (GetMenuState(menu, SC_MOVE, MF_BYCOMMAND) != static_cast<UINT>(-1)) items |= 1;
    if (GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) != static_cast<UINT>(-1)) items |= 2;
    if (GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1)) items |= 4;
    // Ends without the shutdown of a real viewer (no mixer to restore here).
    ExitProcess(static_cast<UINT>(items));
}
