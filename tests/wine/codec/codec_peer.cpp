// A second process of the driver. "codec_peer DRIVER" opens instances until the driver refuses
// and exits with how many it got. "codec_peer DRIVER hold DDRAW" loads that DirectDraw, begins a
// draw into a window of its own, signals "KivoCodecPeerHolding" and keeps the overlay until
// "KivoCodecPeerRelease" is signalled; its exit code is the begin's result (0 when it held).
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

LRESULT Open(DRIVERPROC proc, DWORD type, DWORD handler) {
    ICOPEN open = {};
    open.dwSize = sizeof open;
    open.fccType = type;
    open.fccHandler = handler;
    open.dwFlags = ICMODE_DECOMPRESS;
    return proc(0, nullptr, DRV_OPEN, 0, reinterpret_cast<LPARAM>(&open));
}

int Hold(DRIVERPROC proc) {
    HANDLE holding = CreateEventA(nullptr, TRUE, FALSE, "KivoCodecPeerHolding");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, "KivoCodecPeerRelease");
    HWND window = CreateWindowExA(0, "STATIC", "peer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150, nullptr,
                                  nullptr, nullptr, nullptr);
    const LRESULT id = Open(proc, ICTYPE_VIDEO, mmioFOURCC('t', 'y', '2', 'n'));
    if (!id || !window) return -4;
    BITMAPINFOHEADER format = {};
    format.biSize = sizeof format;
    format.biWidth = 64;
    format.biHeight = 48;
    format.biPlanes = 1;
    format.biBitCount = 16;
    format.biCompression = mmioFOURCC('t', 'y', '2', 'n');
    format.biSizeImage = 64 * 48 * 2;
    ICDRAWBEGIN begin = {};
    begin.hwnd = window;
    begin.dxDst = 64;
    begin.dyDst = 48;
    begin.lpbi = &format;
    begin.dxSrc = 64;
    begin.dySrc = 48;
    const LRESULT result = proc(DWORD_PTR(id), nullptr, ICM_DRAW_BEGIN, reinterpret_cast<LPARAM>(&begin), sizeof begin);
    SetEvent(holding);
    if (result == 0) {
        while (MsgWaitForMultipleObjects(1, &release, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        proc(DWORD_PTR(id), nullptr, ICM_DRAW_END, 0, 0);
    }
    proc(DWORD_PTR(id), nullptr, DRV_CLOSE, 0, 0);
    DestroyWindow(window);
    return int(result);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return -1;
    const bool hold = argc >= 4 && std::strcmp(argv[2], "hold") == 0;
    // The folder of the DirectDraw named here is searched for the driver's "ddraw.dll".
    if (hold) {
        std::string folder = argv[3];
        folder.resize(folder.find_last_of('\\') == std::string::npos ? 0 : folder.find_last_of('\\'));
        SetDllDirectoryA(folder.c_str());
        if (!LoadLibraryA("ddraw.dll")) return -5;
    }
    HMODULE module = LoadLibraryA(argv[1]);
    if (!module) return -2;
    auto proc = reinterpret_cast<DRIVERPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DriverProc")));
    if (!proc) return -3;
    proc(0, nullptr, DRV_LOAD, 0, 0);
    int exitCode = 0;
    if (hold) {
        exitCode = Hold(proc);
    } else {
        std::vector<LRESULT> ids;
        for (int i = 0; i < 20; ++i) {
            const LRESULT id = Open(proc, ICTYPE_VIDEO, mmioFOURCC('t', 'y', '2', 'n'));
            if (!id) break;
            ids.push_back(id);
        }
        for (LRESULT id : ids) proc(DWORD_PTR(id), nullptr, DRV_CLOSE, 0, 0);
        exitCode = int(ids.size());
    }
    proc(0, nullptr, DRV_FREE, 0, 0);
    FreeLibrary(module);
    return exitCode;
}
