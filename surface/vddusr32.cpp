// vddusr32.dll: lends a hardware overlay surface to 16-bit code. Connected at load to its
// partner VDDUSR16.DLL, which calls the same eight functions.
#include "vddusr32.h"

#include <string>

#include "ddraw_port.h"
#include "surface_core.h"
#include "vddusr16_link.h"

namespace {

using kivo::surface::DirectDrawPort;
using kivo::surface::SurfaceHelper;

SurfaceHelper g_helper;
DirectDrawPort g_port;
HMODULE g_partner = nullptr;
VddThunkData16* g_link = nullptr;

const Vddusr32Entries kEntries = {DLL32Call,        ddAdd32,       ddGetBufferSize32, ddGetMode32,
                                  ddGetOffset32,    ddGetStride32, ddGetUserCount32,  ddRelease32};

// The partner is delivered beside this library; the usual search order after that.
HMODULE LoadPartner(HMODULE self) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::string folder(path, n);
        folder.erase(folder.find_last_of("\\/") + 1);
        if (HMODULE m = LoadLibraryA((folder + "VDDUSR16.DLL").c_str())) return m;
    }
    return LoadLibraryA("VDDUSR16.DLL");
}

bool ConnectPartner(HMODULE self) {
    g_partner = LoadPartner(self);
    if (!g_partner) return false;
    auto* link = reinterpret_cast<VddThunkData16*>(GetProcAddress(g_partner, "thk_ThunkData16"));
    if (!link || link->magic != kVddThunkMagic || link->size != sizeof(VddThunkData16)) {
        FreeLibrary(g_partner);
        g_partner = nullptr;
        return false;
    }
    g_link = link;
    g_link->entries = &kEntries;
    return true;
}

void DisconnectPartner(bool processEnding) {
    if (g_link) g_link->entries = nullptr;
    g_link = nullptr;
    if (g_partner && !processEnding) FreeLibrary(g_partner);
    g_partner = nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (!ConnectPartner(instance)) return FALSE;
        g_helper.Attach(g_port.Open() ? &g_port : nullptr);
    } else if (reason == DLL_PROCESS_DETACH) {
        const bool processEnding = reserved != nullptr;
        DisconnectPartner(processEnding);
        // At process end ddraw.dll may already be gone: the system reclaims its objects.
        if (!processEnding) {
            g_helper.Detach();
            g_port.Close();
        }
    }
    return TRUE;
}

extern "C" {

LONG WINAPI DLL32Call(void) { return 1; }

LONG WINAPI ddAdd32(DWORD width, DWORD height, DWORD fourcc, DWORD pair) {
    return g_helper.Add(width, height, fourcc, pair);
}

LONG WINAPI ddGetBufferSize32(void) { return g_helper.BufferSize(); }

LONG WINAPI ddGetMode32(void) { return g_helper.Mode(); }

LONG WINAPI ddGetOffset32(DWORD slot) { return g_helper.Offset(slot); }

LONG WINAPI ddGetStride32(DWORD slot) { return g_helper.Stride(slot); }

LONG WINAPI ddGetUserCount32(void) { return g_helper.UserCount(); }

LONG WINAPI ddRelease32(DWORD slot) { return g_helper.Release(slot); }

}  // extern "C"
