// Opens instances of vancodc.dll until the driver refuses; the exit code is how many it got.
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) return -1;
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) return -2;
    auto proc = reinterpret_cast<DRIVERPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DriverProc")));
    if (!proc) return -3;
    proc(0, nullptr, DRV_LOAD, 0, 0);
    std::vector<LRESULT> ids;
    for (int i = 0; i < 20; ++i) {
        ICOPEN open = {};
        open.dwSize = sizeof open;
        open.fccType = ICTYPE_VIDEO;
        open.fccHandler = mmioFOURCC('t', 'y', '2', 'n');
        open.dwFlags = ICMODE_DECOMPRESS;
        const LRESULT id = proc(0, nullptr, DRV_OPEN, 0, reinterpret_cast<LPARAM>(&open));
        if (!id) break;
        ids.push_back(id);
    }
    for (LRESULT id : ids) proc(DWORD_PTR(id), nullptr, DRV_CLOSE, 0, 0);
    proc(0, nullptr, DRV_FREE, 0, 0);
    FreeLibrary(module);
    return int(ids.size());
}
