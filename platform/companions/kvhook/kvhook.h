// Kvhook.dll, the outside hook library the viewer tells about its start, its end and the DOS
// full-screen hand-off. Exported by plain name on every target; link with the "kvhook" target.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Installs a keyboard hook of the calling thread that passes every key on. TRUE when the hook
// is in place (also when it already was).
BOOL WINAPI TvInstallHook(HINSTANCE instance);
// Removes the calling process's hook; TRUE when there was one.
BOOL WINAPI TvRemoveHook(void);
// 1 while the TV is handed to the DOS full-screen program, 0 after. Returns the previous value.
int WINAPI SetStartDos(int starting);
// Process identifier of the DOS box that holds the TV, 0 when none. Returns the previous value.
DWORD WINAPI SetDosTvInstance(DWORD process);

// For tests: every call above is recorded, with its argument and the caller's process, in
// memory shared by all processes that load the library; the newest 128 are kept.
// The kept calls as text, one "Name(argument)" line each, oldest first: TvInstallHook(0x400000),
// TvRemoveHook(), SetStartDos(1), SetDosTvInstance(1234). Copies at most size - 1 characters
// and a NUL; returns the length of the whole text.
int WINAPI KvhookCallLog(char* buffer, int size);
// Calls recorded since the last reset (kept or not).
int WINAPI KvhookCallCount(void);
// Process id of the call with that number (1 = first since the reset); 0 when not kept.
DWORD WINAPI KvhookCallProcess(int number);
// Forgets every recorded call.
void WINAPI KvhookResetLog(void);

#ifdef __cplusplus
}
#endif
