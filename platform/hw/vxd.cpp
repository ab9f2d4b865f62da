#include "vxd.h"

#include <string>

namespace {

// A device reached through its module: the handle handed out is the address of this record.
struct ModuleDevice {
    DWORD magic;
    HMODULE module;
    VxdDeviceIoControlProc control;
    ModuleDevice* next;
};

constexpr DWORD kMagic = 0x4B565844;  // "KVXD"

// The open module devices of this process; a handle is honoured only while it is listed.
ModuleDevice* g_devices = nullptr;

// Made at the first use, which is always before any second thread could race for it
// (a library opens its device in its process attach).
CRITICAL_SECTION& DeviceLock() {
    static CRITICAL_SECTION lock = [] {
        CRITICAL_SECTION cs;
        InitializeCriticalSection(&cs);
        return cs;
    }();
    return lock;
}

void Lock() { EnterCriticalSection(&DeviceLock()); }

void Unlock() { LeaveCriticalSection(&DeviceLock()); }

ModuleDevice* FindDevice(HANDLE h) {
    for (ModuleDevice* d = g_devices; d; d = d->next)
        if (reinterpret_cast<HANDLE>(d) == h && d->magic == kMagic) return d;
    return nullptr;
}

}  // namespace

extern "C" HANDLE WINAPI VxdOpen(const char* name) {
    if (!name || !*name) return INVALID_HANDLE_VALUE;
    std::string path = std::string("\\\\.\\") + name;
    HANDLE h = CreateFileA(path.c_str(), 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;

    HMODULE module = LoadLibraryA(name);
    if (!module) return INVALID_HANDLE_VALUE;
    auto control = reinterpret_cast<VxdDeviceIoControlProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "DeviceIoControl")));
    if (!control) {
        FreeLibrary(module);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto* d = new ModuleDevice{kMagic, module, control, nullptr};
    Lock();
    d->next = g_devices;
    g_devices = d;
    Unlock();
    return reinterpret_cast<HANDLE>(d);
}

extern "C" BOOL WINAPI VxdControl(HANDLE device, DWORD code, LPVOID in, DWORD inLength,
                                  LPVOID out, DWORD outLength, LPDWORD returned,
                                  LPOVERLAPPED overlapped) {
    Lock();
    ModuleDevice* d = FindDevice(device);
    VxdDeviceIoControlProc control = d ? d->control : nullptr;
    Unlock();
    if (control) return control(code, in, inLength, out, outLength, returned, overlapped);
    return DeviceIoControl(device, code, in, inLength, out, outLength, returned, overlapped);
}

extern "C" BOOL WINAPI VxdClose(HANDLE device) {
    Lock();
    ModuleDevice** link = &g_devices;
    while (*link && reinterpret_cast<HANDLE>(*link) != device) link = &(*link)->next;
    ModuleDevice* d = *link;
    if (d) *link = d->next;
    Unlock();
    if (!d) return CloseHandle(device);
    // The module stays loaded: closing often happens inside a library's process detach,
    // where unloading another module is not allowed.
    d->magic = 0;
    delete d;
    return TRUE;
}
