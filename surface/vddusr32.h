// The exports of vddusr32.dll. Export names are the decorated forms ("_ddAdd32@16" ...) on
// every target; every argument is 32 bits wide, slot indexes and sizes use their low word.
#pragma once
#include <windows.h>

extern "C" {
LONG WINAPI DLL32Call(void);
LONG WINAPI ddAdd32(DWORD width, DWORD height, DWORD fourcc, DWORD pair);
LONG WINAPI ddGetBufferSize32(void);
LONG WINAPI ddGetMode32(void);
LONG WINAPI ddGetOffset32(DWORD slot);
LONG WINAPI ddGetStride32(DWORD slot);
LONG WINAPI ddGetUserCount32(void);
LONG WINAPI ddRelease32(DWORD slot);
}
