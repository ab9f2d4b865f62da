// KVBOARD.DLL: the virtual board. Its device modules (ZTUNER.VXD, BOARDMIX.DRV, VZORSPKD.VXD,
// DAZIDAV.VXD) forward to it; tests use the inspection functions. The product never sees it.
#pragma once
#include <windows.h>

#include "board_picture.h"
#include "board_state.h"

#ifdef KIVO_BOARD_BUILD
#define BOARD_API extern "C" __declspec(dllexport)
#else
#define BOARD_API extern "C" __declspec(dllimport)
#endif

// Device side.
BOARD_API BOOL WINAPI BoardDevicePresent(DWORD device);
BOARD_API BOOL WINAPI BoardDeviceControl(DWORD device, DWORD code, LPVOID in, DWORD inLength,
                                         LPVOID out, DWORD outLength, LPDWORD returned);
BOARD_API DWORD WINAPI BoardMixerMessage(UINT deviceId, UINT message, DWORD_PTR user,
                                         DWORD_PTR param1, DWORD_PTR param2);

// Inspection. Reset reads BOARD.INI beside KVBOARD.DLL (missing file: built-in settings);
// ResetWith takes the settings text itself.
BOARD_API void WINAPI BoardReset(void);
BOARD_API void WINAPI BoardResetWith(const char* settingsText);
// Copies the whole state (with the log); returns sizeof(board::State), or 0 if size is short.
BOARD_API DWORD WINAPI BoardSnapshot(board::State* out, DWORD size);
// What reaches the picture `milliseconds` into the picture's clock: the registers and, for a
// channel fed from a video file, the file's frame of that time (its planes stay mapped in this
// process until the next call from it or a reset). A file that cannot be shown gives a fed
// picture of no signal and one kFeed line in the log. Returns sizeof(board::PictureInput), or
// 0 if size is short. Light enough for every captured frame.
BOARD_API DWORD WINAPI BoardPictureState(DWORD milliseconds, board::PictureInput* out, DWORD size);
BOARD_API DWORD WINAPI BoardLogTotal(void);
// Entry by sequence number (1 = first since the reset); FALSE when no longer kept.
BOARD_API BOOL WINAPI BoardLogEntry(DWORD sequence, board::LogEntry* out);
BOARD_API void WINAPI BoardLogClear(void);
// Changes the broadcast sound status of one channel code while running.
BOARD_API BOOL WINAPI BoardSetSound(DWORD channelCode, DWORD status);
