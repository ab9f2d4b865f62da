// VDDUSR16.DLL stand-in: the 16-bit partner of vddusr32. Its eight functions take the 16-bit
// argument forms and reach vddusr32 through the table it connects (vddusr16_link.h).
#include <string>

#include "vddusr16_link.h"

extern "C" {
VddThunkData16 thk_ThunkData16 = {kVddThunkMagic, sizeof(VddThunkData16), nullptr};
}

namespace {

HMODULE g_self = nullptr;

// Brings in the 32-bit half when it is not attached yet; its attach connects the table.
const Vddusr32Entries* Entries() {
    if (const Vddusr32Entries* e = thk_ThunkData16.entries) return e;
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_self, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::string folder(path, n);
        folder.erase(folder.find_last_of("\\/") + 1);
        LoadLibraryA((folder + "VDDUSR32.DLL").c_str());
    }
    if (!thk_ThunkData16.entries) LoadLibraryA("VDDUSR32.DLL");
    return thk_ThunkData16.entries;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

// Without the 32-bit half every function answers as vddusr32 does without DirectDraw.
extern "C" {

DWORD WINAPI DLL32Call(void) {
    const Vddusr32Entries* e = Entries();
    return e ? static_cast<DWORD>(e->DLL32Call()) : 0;
}

DWORD WINAPI ddAdd32(WORD width, WORD height, DWORD fourcc, DWORD pair) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddAdd32(width, height, fourcc, pair) : -2);
}

DWORD WINAPI ddGetBufferSize32(void) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddGetBufferSize32() : -1);
}

DWORD WINAPI ddGetMode32(void) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddGetMode32() : 0);
}

DWORD WINAPI ddGetOffset32(WORD slot) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddGetOffset32(slot) : 0);
}

DWORD WINAPI ddGetStride32(WORD slot) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddGetStride32(slot) : -1);
}

DWORD WINAPI ddGetUserCount32(void) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddGetUserCount32() : -1);
}

DWORD WINAPI ddRelease32(WORD slot) {
    const Vddusr32Entries* e = Entries();
    return static_cast<DWORD>(e ? e->ddRelease32(slot) : 0);
}

}  // extern "C"
