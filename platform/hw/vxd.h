// Requests to the board's virtual device drivers.
//
// On Windows 9x a VxD is opened with CreateFileA("\\.\NAME") and spoken to with DeviceIoControl.
// Where the system has no VxD loader (Windows NT, Wine) the device is the module of that file
// name, found in the usual DLL search order, which exports "DeviceIoControl" with the same form.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// The form of the export a device module provides.
typedef BOOL(WINAPI* VxdDeviceIoControlProc)(DWORD code, LPVOID in, DWORD inLength, LPVOID out,
                                              DWORD outLength, LPDWORD returned,
                                              LPOVERLAPPED overlapped);

// name is the device's file name, for example "ZTUNER.VXD". INVALID_HANDLE_VALUE when the
// device is missing, as a missing VxD fails CreateFileA.
HANDLE WINAPI VxdOpen(const char* name);
BOOL WINAPI VxdControl(HANDLE device, DWORD code, LPVOID in, DWORD inLength, LPVOID out,
                       DWORD outLength, LPDWORD returned, LPOVERLAPPED overlapped);
BOOL WINAPI VxdClose(HANDLE device);

#ifdef __cplusplus
}
#endif
