// The driver's two windows of its own: the information dialog and the about box.
#include <windows.h>

#include "driver_win32.h"
#include "resource.h"

extern "C" INT_PTR CALLBACK DriverInfoDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

namespace vancodc {

LRESULT ShowInfoDialog(HWND owner) {
    return DialogBoxParamA(ModuleHandle(), MAKEINTRESOURCEA(IDD_DRIVER_INFO), owner, DriverInfoDlgProc, 0);
}

void ShowAboutBox(HWND owner, const char* description) {
    MessageBoxA(owner, description, "Vantor CODEC", MB_ICONINFORMATION);
}

}  // namespace vancodc
