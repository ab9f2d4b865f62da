// The link between vddusr32.dll (32-bit side) and VDDUSR16.DLL (its 16-bit partner), standing
// in for the flat thunk.
//
// The partner exports its thunk record "thk_ThunkData16". When vddusr32 attaches to a process
// it loads the partner and connects: it stores the table of its eight functions in the record
// (a missing partner or record refuses the load, as a failed ThunkConnect32 does). When it
// detaches it clears the table again. The partner's functions take the arguments in their
// 16-bit forms, widen them as the thunk does (words zero-extended) and call through the table;
// the 32-bit results go back to the caller unchanged. A partner called before any vddusr32 is
// attached loads "VDDUSR32.DLL" itself, as the 16-bit side's first call brings in its 32-bit
// half; the two then stay loaded together until the process ends.
#pragma once
#include <windows.h>

struct Vddusr32Entries {
    LONG(WINAPI* DLL32Call)(void);
    LONG(WINAPI* ddAdd32)(DWORD width, DWORD height, DWORD fourcc, DWORD pair);
    LONG(WINAPI* ddGetBufferSize32)(void);
    LONG(WINAPI* ddGetMode32)(void);
    LONG(WINAPI* ddGetOffset32)(DWORD slot);
    LONG(WINAPI* ddGetStride32)(DWORD slot);
    LONG(WINAPI* ddGetUserCount32)(void);
    LONG(WINAPI* ddRelease32)(DWORD slot);
};

constexpr DWORD kVddThunkMagic = 0x36314456;  // "VD16"

// The partner's record, exported as "thk_ThunkData16".
struct VddThunkData16 {
    DWORD magic;
    DWORD size;  // sizeof(VddThunkData16)
    // Set by the 32-bit side while it is attached; null otherwise.
    const Vddusr32Entries* volatile entries;
};

// The partner's functions, in their 16-bit argument forms (exported under these names).
extern "C" {
typedef DWORD(WINAPI* Vdd16DLL32Call)(void);
typedef DWORD(WINAPI* Vdd16ddAdd32)(WORD width, WORD height, DWORD fourcc, DWORD pair);
typedef DWORD(WINAPI* Vdd16ddGetBufferSize32)(void);
typedef DWORD(WINAPI* Vdd16ddGetMode32)(void);
typedef DWORD(WINAPI* Vdd16ddGetOffset32)(WORD slot);
typedef DWORD(WINAPI* Vdd16ddGetStride32)(WORD slot);
typedef DWORD(WINAPI* Vdd16ddGetUserCount32)(void);
typedef DWORD(WINAPI* Vdd16ddRelease32)(WORD slot);
}
