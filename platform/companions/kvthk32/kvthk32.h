// KVTHK32.DLL, the outside thunk library the viewer tells who owns the TV around the DOS
// full-screen hand-off. Its one call is export ordinal 2 (also exported as KvThkSetTvOwner);
// link with the "kvthk32" target or bind ordinal 2 with GetProcAddress(MAKEINTRESOURCEA(2)).
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KVTHK32_SET_TV_OWNER_ORDINAL 2

// 0: the TV goes to the DOS program; 1: Windows has it again. Returns the previous value
// (1 before any call).
DWORD WINAPI KvThkSetTvOwner(DWORD owner);
typedef DWORD(WINAPI* KvThkSetTvOwnerProc)(DWORD owner);

// For tests: the calls of ordinal 2, recorded in memory shared by all processes that load the
// library (the newest 128 kept). Text: one "KvThkSetTvOwner(n)" line per call, oldest first;
// copies at most size - 1 characters and a NUL, returns the length of the whole text.
int WINAPI KvThkCallLog(char* buffer, int size);
int WINAPI KvThkCallCount(void);
// Process id of the call with that number (1 = first since the reset); 0 when not kept.
DWORD WINAPI KvThkCallProcess(int number);
void WINAPI KvThkResetLog(void);

#ifdef __cplusplus
}
#endif
