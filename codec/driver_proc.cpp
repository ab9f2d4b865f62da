// DriverProc: the compression manager's messages in, the driver's records and conversions out.
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstring>

#include "codec_decompress.h"
#include "codec_instance.h"
#include "driver_win32.h"

using namespace vancodc;

static_assert(sizeof(ICINFO) == 568, "the information record is 568 bytes");

// One copy for every process that loads the driver (a shared section).
__attribute__((section(".shr"), shared)) SharedCodecState g_shared = {0, 0, {0, 0}, 0, 100, {}};

namespace {

HINSTANCE g_module = nullptr;
ProcessCodecState g_process = {};

LRESULT Open(ICOPEN* request) {
    if (!request) return 1;  // a plain driver open without a record creates nothing
    const int32_t untouched = int32_t(request->dwError);
    int32_t error = untouched;
    CodecInstance* instance =
        OpenInstance(g_shared, g_process, request->fccType, request->fccHandler, request->dwFlags, &error);
    if (error != untouched) request->dwError = error;
    if (!instance) return 0;
    if (instance->handler == kHandlerDraw) instance->drawDib = DrawDibOpen();
    return reinterpret_cast<LRESULT>(instance);
}

void Close(CodecInstance* instance) {
    if (!instance) return;
    // A begun draw holds the overlay and perhaps the full-screen window.
    while (instance->drawBegins > 0) DrawEnd(*instance);
    if (instance->drawDib) DrawDibClose(static_cast<HDRAWDIB>(instance->drawDib));
    instance->drawDib = nullptr;
    CloseInstance(g_shared, instance);
}

void PutWide(WCHAR* dst, size_t capacity, const char* text) {
    size_t i = 0;
    for (; i + 1 < capacity && text[i]; ++i) dst[i] = WCHAR(static_cast<unsigned char>(text[i]));
    dst[i] = 0;
}

LRESULT GetInfo(const CodecInstance& instance, ICINFO* info, DWORD size) {
    if (!info) return sizeof(ICINFO);
    if (size < sizeof(ICINFO)) return 0;
    std::memset(info, 0, sizeof(ICINFO));
    info->dwSize = sizeof(ICINFO);
    info->fccType = kTypeVidc;
    info->fccHandler = instance.handler;
    info->dwFlags = VIDCF_DRAW;
    info->dwVersion = 0x10000;
    info->dwVersionICM = ICVERSION;
    PutWide(info->szName, sizeof info->szName / sizeof info->szName[0], "Vantor CODEC");
    PutWide(info->szDescription, sizeof info->szDescription / sizeof info->szDescription[0],
            instance.description);
    return sizeof(ICINFO);
}

LRESULT DecompressFrame(CodecInstance& instance, const ICDECOMPRESS* d) {
    if (!d) return ICERR_BADFORMAT;
    return Decompress(instance, d->dwFlags, d->lpbiInput, d->lpInput, d->lpbiOutput, d->lpOutput);
}

}  // namespace

namespace vancodc {
HINSTANCE ModuleHandle() { return g_module; }
SharedCodecState& Shared() { return g_shared; }
}  // namespace vancodc

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" LRESULT WINAPI DriverProc(DWORD_PTR driverId, HDRVR driver, UINT message, LPARAM lParam1,
                                     LPARAM lParam2) {
    CodecInstance* instance =
        driverId == 0 || driverId == 1 ? nullptr : reinterpret_cast<CodecInstance*>(driverId);
    const auto* in = reinterpret_cast<const void*>(lParam1);

    switch (message) {
    case DRV_LOAD: return LoadDriver(g_shared);
    case DRV_FREE: FreeDriver(g_shared, g_process); return 1;
    case DRV_OPEN: return Open(reinterpret_cast<ICOPEN*>(lParam2));
    case DRV_CLOSE: Close(instance); return 1;
    case DRV_CONFIGURE: return ShowInfoDialog(reinterpret_cast<HWND>(lParam1));
    case DRV_QUERYCONFIGURE: return 0;
    default: break;
    }
    if (!instance) return DefDriverProc(driverId, driver, message, lParam1, lParam2);

    switch (message) {
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_INSTALL:
    case DRV_REMOVE: return 1;
    case ICM_GETSTATE:
    case ICM_SETSTATE: return 1;
    case ICM_GETINFO: return GetInfo(*instance, reinterpret_cast<ICINFO*>(lParam1), DWORD(lParam2));
    case ICM_CONFIGURE: return lParam1 == -1 ? ICERR_UNSUPPORTED : ICERR_OK;
    case ICM_ABOUT:
        if (lParam1 != -1) ShowAboutBox(reinterpret_cast<HWND>(lParam1), instance->description);
        return ICERR_OK;
    case ICM_GETDEFAULTQUALITY:
    case ICM_GETQUALITY:
    case ICM_SETQUALITY:
    case ICM_GETDEFAULTKEYFRAMERATE: return ICERR_UNSUPPORTED;
    case ICM_COMPRESS_QUERY:
    case ICM_COMPRESS_GET_FORMAT:
    case ICM_COMPRESS_BEGIN:
    case ICM_COMPRESS: return ICERR_BADFORMAT;
    case ICM_COMPRESS_GET_SIZE: return ICERR_UNSUPPORTED;
    case ICM_COMPRESS_END: return CompressEnd(*instance);
    case ICM_DECOMPRESS_QUERY:
        return DecompressQuery(*instance, in, reinterpret_cast<const void*>(lParam2));
    case ICM_DECOMPRESS_GET_FORMAT:
        return DecompressGetFormat(*instance, in, reinterpret_cast<void*>(lParam2));
    case ICM_DECOMPRESS_BEGIN:
        return DecompressBegin(*instance, in, reinterpret_cast<const void*>(lParam2));
    case ICM_DECOMPRESS:
        return DecompressFrame(*instance, reinterpret_cast<const ICDECOMPRESS*>(lParam1));
    case ICM_DECOMPRESS_END: return DecompressEnd(*instance);
    case ICM_DECOMPRESS_GET_PALETTE: return ICERR_UNSUPPORTED;
    case ICM_DRAW_QUERY: return DrawQueryMessage(in);
    case ICM_DRAW_BEGIN: return DrawBegin(*instance, reinterpret_cast<const ICDRAWBEGIN*>(lParam1));
    case ICM_DRAW: return DrawFrame(*instance, reinterpret_cast<const ICDRAW*>(lParam1));
    case ICM_DRAW_WINDOW: return DrawWindow(*instance, reinterpret_cast<const RECT*>(lParam1));
    case ICM_DRAW_END: return DrawEnd(*instance);
    case ICM_DRAW_REALIZE:
        return DrawRealize(*instance, reinterpret_cast<HDC>(lParam1), BOOL(lParam2));
    case ICM_DRAW_GET_PALETTE: return DrawGetPalette(*instance);
    case ICM_DRAW_SUGGESTFORMAT:
        return DrawSuggestFormat(reinterpret_cast<const ICDRAWSUGGEST*>(lParam1));
    default:
        if (message > 0x3FFF) return ICERR_UNSUPPORTED;
        return DefDriverProc(driverId, driver, message, lParam1, lParam2);
    }
}
