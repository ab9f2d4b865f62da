// One of the board's device modules: the file the system opens as a VxD (or as the mixer
// driver). Each module is a few lines over KVBOARD.DLL; DEVICE_ID names the device.
#pragma once
// The module exports its own "DeviceIoControl"; keep kernel32's declaration out of the way.
#define DeviceIoControl Kernel32DeviceIoControl
#include "board_api.h"
#undef DeviceIoControl

#define KIVO_DEVICE_MODULE(DEVICE_ID)                                                          \
    BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {                             \
        if (reason == DLL_PROCESS_ATTACH) {                                                     \
            DisableThreadLibraryCalls(instance);                                                \
            /* An absent device refuses to load, so opening it fails as with no board. */      \
            return BoardDevicePresent(DEVICE_ID);                                               \
        }                                                                                       \
        return TRUE;                                                                            \
    }                                                                                           \
    extern "C" __declspec(dllexport) BOOL WINAPI DeviceIoControl(                               \
        DWORD code, LPVOID in, DWORD inLength, LPVOID out, DWORD outLength, LPDWORD returned,   \
        LPOVERLAPPED) {                                                                         \
        return BoardDeviceControl(DEVICE_ID, code, in, inLength, out, outLength, returned);     \
    }
