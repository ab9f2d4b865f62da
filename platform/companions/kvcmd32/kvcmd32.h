// KVCMD32.DLL, the outside voice-command service as the viewer reaches it. The viewer links the
// "kvcmd32" target, whose import library names ordinals 4 and 7 only.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// The result of a call the service accepted.
#define KVCMD_OK 10000

// Ordinal 7. Registers the application under its name and stores its identifier in *id
// (the same name always gets the same identifier, 1 and up). KVCMD_OK when registered.
int WINAPI VcmdRegister(const char* application, WORD* id);
// Ordinal 4. (1, id) makes the service listen for that registered application; (0, any) stops it.
// KVCMD_OK when done.
int WINAPI VcmdEnable(int flag, WORD id);

// For tests: every call above is recorded in memory shared by all processes that load the
// library. The kept calls as text, one line each, oldest first:
//   "Register(KIVO)=1", "Register(KIVO) refused", "Enable(1,1)", "Enable(0,0)", "Enable(1,9) refused".
// Copies at most size - 1 characters and a NUL; returns the length of the whole text.
int WINAPI KvcmdCallLog(char* buffer, int size);
// Calls recorded since the last reset (kept or not).
int WINAPI KvcmdCallCount(void);
// Forgets the recorded calls, the registered names and the listening identifier; stops refusing.
void WINAPI KvcmdResetLog(void);
// Non-zero: every later call is refused (the service is not answering). Returns the previous value.
int WINAPI KvcmdSetRefuse(int refuse);
// The identifier the service listens for; 0 when none.
int WINAPI KvcmdListeningId(void);

#ifdef __cplusplus
}
#endif
