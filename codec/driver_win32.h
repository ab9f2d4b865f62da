// What the Win32 files of the driver share.
#pragma once
#include <windows.h>

namespace vancodc {

HINSTANCE ModuleHandle();
LRESULT ShowInfoDialog(HWND owner);
void ShowAboutBox(HWND owner, const char* description);

}  // namespace vancodc
