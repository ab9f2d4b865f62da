// The draw handler: a YUY2 overlay through DirectDraw (bound at run time), the DIB drawing
// service while another process holds the overlay, and the full-screen window.
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>
#include <ddraw.h>

#include <new>
#include <vector>

#include "codec_decompress.h"
#include "draw_rules.h"
#include "driver_win32.h"

using namespace vancodc;

extern "C" LRESULT CALLBACK ScreenWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

constexpr COLORREF kKeyColours[2] = {0x0000FF, 0xFF00FF};
constexpr char kFullScreenClass[] = "CodecFullScreen";
// A surface that never stops drawing must not hang the caller.
constexpr int kStillDrawingRetries = 100000;

using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, LPDIRECTDRAW*, IUnknown*);

// What this process holds of the display.
struct ProcessDraw {
    HMODULE library = nullptr;
    IDirectDraw* directDraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* overlay = nullptr;
    uint16_t overlayWidth = 0;
    uint16_t overlayHeight = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    double shrinkX = -1;
    double shrinkY = -1;
    bool usable = true;
    bool own = false;  // this process's overlay-in-use flag
    int slot = -1;
    int users = 0;     // instances with a begun draw
    HWND fullScreen = nullptr;
    HWND restoreWindow = nullptr;
    bool classRegistered = false;
} g_draw;

bool HeldElsewhere() { return Shared().overlayInUse && !g_draw.own; }

void ReleaseSurfaces() {
    if (g_draw.overlay) {
        g_draw.overlay->UpdateOverlay(nullptr, g_draw.primary, nullptr, DDOVER_HIDE, nullptr);
        g_draw.overlay->Release();
        g_draw.overlay = nullptr;
    }
    if (g_draw.primary) {
        g_draw.primary->Release();
        g_draw.primary = nullptr;
    }
}

void ReleaseDirectDraw() {
    ReleaseSurfaces();
    if (g_draw.directDraw) {
        g_draw.directDraw->Release();
        g_draw.directDraw = nullptr;
    }
    if (g_draw.library) {
        FreeLibrary(g_draw.library);
        g_draw.library = nullptr;
    }
}

HRESULT LockWaiting(IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
    HRESULT hr = DDERR_WASSTILLDRAWING;
    for (int i = 0; i < kStillDrawingRetries && hr == DDERR_WASSTILLDRAWING; ++i) {
        *desc = {};
        desc->dwSize = sizeof *desc;
        hr = surface->Lock(nullptr, desc, 0, nullptr);
    }
    return hr;
}

// The key colour as the primary surface stores it: written through GDI, read back from memory.
bool SetKeyColour() {
    HDC dc = nullptr;
    if (FAILED(g_draw.primary->GetDC(&dc))) return false;
    const COLORREF old = GetPixel(dc, 0, 0);
    SetPixel(dc, 0, 0, kKeyColours[g_draw.slot]);
    g_draw.primary->ReleaseDC(dc);

    DDSURFACEDESC desc;
    const HRESULT hr = LockWaiting(g_draw.primary, &desc);
    DWORD value = 0;
    if (SUCCEEDED(hr)) {
        const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
        if (desc.lpSurface) {
            const DWORD bytes = bits >= 32 ? 4 : (bits + 7) / 8;
            memcpy(&value, desc.lpSurface, bytes);
        }
        if (bits > 0 && bits < 32) value &= (DWORD(1) << bits) - 1;
        g_draw.primary->Unlock(desc.lpSurface);
    }
    if (SUCCEEDED(g_draw.primary->GetDC(&dc))) {
        SetPixel(dc, 0, 0, old);
        g_draw.primary->ReleaseDC(dc);
    }
    if (FAILED(hr)) return false;
    DDCOLORKEY key = {value, value};
    return SUCCEEDED(g_draw.primary->SetColorKey(DDCKEY_DESTOVERLAY, &key));
}

// Primary surface, key and overlay for the window; false (with nothing left over) on failure.
bool CreateSurfaces(HWND window) {
    if (FAILED(g_draw.directDraw->SetCooperativeLevel(window, DDSCL_NORMAL))) return false;
    DDSURFACEDESC primary = {};
    primary.dwSize = sizeof primary;
    primary.dwFlags = DDSD_CAPS;
    primary.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    if (FAILED(g_draw.directDraw->CreateSurface(&primary, &g_draw.primary, nullptr)) || !g_draw.primary) {
        g_draw.primary = nullptr;
        return false;
    }
    if (!SetKeyColour()) {
        ReleaseSurfaces();
        return false;
    }
    DDSURFACEDESC overlay = {};
    overlay.dwSize = sizeof overlay;
    overlay.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    overlay.ddsCaps.dwCaps = DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY;
    overlay.dwWidth = g_draw.overlayWidth;
    overlay.dwHeight = g_draw.overlayHeight;
    overlay.ddpfPixelFormat.dwSize = sizeof overlay.ddpfPixelFormat;
    overlay.ddpfPixelFormat.dwFlags = DDPF_YUV | DDPF_FOURCC;
    overlay.ddpfPixelFormat.dwFourCC = mmioFOURCC('Y', 'U', 'Y', '2');
    overlay.ddpfPixelFormat.dwYUVBitCount = 16;
    if (FAILED(g_draw.directDraw->CreateSurface(&overlay, &g_draw.overlay, nullptr)) || !g_draw.overlay) {
        g_draw.overlay = nullptr;
        ReleaseSurfaces();
        return false;
    }
    RECT first = {0, 0, g_draw.overlayWidth < 8 ? g_draw.overlayWidth : 8,
                  g_draw.overlayHeight < 8 ? g_draw.overlayHeight : 8};
    if (FAILED(g_draw.overlay->UpdateOverlay(&first, g_draw.primary, &first, DDOVER_SHOW, nullptr))) {
        ReleaseSurfaces();
        return false;
    }
    return true;
}

void FreeSlot() {
    if (g_draw.slot >= 0) Shared().overlaySlot[g_draw.slot] = 0;
    g_draw.slot = -1;
}

int32_t SetUpDirectDraw(HWND window) {
    SharedCodecState& shared = Shared();
    if (!shared.overlaySlot[0]) g_draw.slot = 0;
    else if (!shared.overlaySlot[1]) g_draw.slot = 1;
    else {
        g_draw.usable = false;
        return kIcErrError;
    }
    shared.overlaySlot[g_draw.slot] = 1;

    g_draw.library = LoadLibraryA("ddraw.dll");
    auto create = g_draw.library ? reinterpret_cast<DirectDrawCreateFn>(
                                       reinterpret_cast<void*>(GetProcAddress(g_draw.library, "DirectDrawCreate")))
                                 : nullptr;
    if (create) {
        g_draw.screenWidth = GetSystemMetrics(SM_CXSCREEN);
        g_draw.screenHeight = GetSystemMetrics(SM_CYSCREEN);
        HDC screen = GetDC(nullptr);
        if (screen) {
            g_draw.screenWidth = GetDeviceCaps(screen, HORZRES);
            g_draw.screenHeight = GetDeviceCaps(screen, VERTRES);
            ReleaseDC(nullptr, screen);
        }
        if (SUCCEEDED(create(nullptr, &g_draw.directDraw, nullptr)) && g_draw.directDraw &&
            CreateSurfaces(window)) {
            g_draw.usable = true;
            g_draw.own = true;
            shared.overlayInUse = 1;
            return kIcErrOk;
        }
    }
    ReleaseDirectDraw();
    FreeSlot();
    g_draw.usable = false;
    return kIcErrError;
}

void PlaceAt(const DrawRecord& draw, int x, int y, int w, int h) {
    if (!g_draw.usable) {
        OutputDebugStringA("$$ useDDraw is FALSE\n");
        return;
    }
    if (!g_draw.overlay) {
        OutputDebugStringA("$$ lpDDSOne is NULL\n");
        return;
    }
    if (g_draw.overlay->IsLost() == DDERR_SURFACELOST) {
        OutputDebugStringA("$$ Surface Lost in setoutputwin\n");
        return;
    }
    const OverlayPlacement p = PlaceOverlay(draw, x, y, w, h, g_draw.screenWidth, g_draw.screenHeight);
    g_draw.shrinkX = p.shrinkX;
    g_draw.shrinkY = p.shrinkY;
    RECT src = {p.source.left, p.source.top, p.source.right, p.source.bottom};
    RECT dst = {p.destination.left, p.destination.top, p.destination.right, p.destination.bottom};
    g_draw.overlay->UpdateOverlay(&src, g_draw.primary, &dst, DDOVER_SHOW, nullptr);
    g_draw.overlay->UpdateOverlay(&src, g_draw.primary, &dst, DDOVER_KEYDEST, nullptr);
}

void Reposition(DrawRecord& draw) {
    if (HeldElsewhere()) return;
    HWND window = static_cast<HWND>(draw.window);
    POINT corner = {draw.destination.left, draw.destination.top};
    ClientToScreen(window, &corner);
    PlaceAt(draw, corner.x, corner.y, draw.destination.right - draw.destination.left,
            draw.destination.bottom - draw.destination.top);
    if (g_draw.slot >= 0 && window) {
        RECT client;
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(kKeyColours[g_draw.slot]);
        if (dc && brush) FillRect(dc, &client, brush);
        if (brush) DeleteObject(brush);
        if (dc) ReleaseDC(window, dc);
    }
    draw.screenX = corner.x;
    draw.screenY = corner.y;
}

HWND CreateFullScreen() {
    if (!g_draw.classRegistered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ScreenWndProc;
        wc.hInstance = ModuleHandle();
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFullScreenClass;
        g_draw.classRegistered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return CreateWindowExA(0, kFullScreenClass, nullptr, WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                           ModuleHandle(), nullptr);
}

// Bytes a frame of the begun format brings, stored at W' x H'.
uint64_t FrameBytes(uint32_t formatId, uint16_t w, uint16_t h) {
    if (formatId == kFormatTy0n) return uint64_t(w) * h + 2u * uint64_t(w / 2u) * (h / 2u);
    return uint64_t(w) * h * 2;
}

int32_t CopyFrame(const CodecInstance& instance, const void* format, const void* data, DWORD size) {
    const DrawRecord& draw = instance.draw;
    if (!g_draw.overlay || !format) return kIcErrError;
    const FrameHeader h = ReadFrameHeader(format);
    if (h.width < 1 || h.width > 0xFFFF || h.height < 1 || h.height > 0xFFFF) return kIcErrError;
    // The frame must fill the overlay as it was made, and bring the bytes it claims.
    DrawRecord frame = draw;
    BeginRequest request = {0, 0, 0, 0, 0, format, 0, 0, 0, 0};
    RecordBegin(frame, request, {});
    if (frame.formatId != draw.formatId || frame.storedWidth != g_draw.overlayWidth ||
        frame.storedHeight != g_draw.overlayHeight)
        return kIcErrError;
    const uint16_t w = frame.storedWidth;
    const uint16_t hh = frame.storedHeight;
    if (size < FrameBytes(draw.formatId, w, hh)) return kIcErrError;

    const auto* packed = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> scratch;
    if (draw.formatId == kFormatTy0n) {
        try {
            scratch.assign(size_t(w) * hh * 2, 0);
        } catch (const std::bad_alloc&) {
            return kIcErrError;
        }
        RepackPlanarToPacked(packed, w, hh, scratch.data());
        packed = scratch.data();
    }

    DDSURFACEDESC desc;
    HRESULT hr = LockWaiting(g_draw.overlay, &desc);
    if (hr == DDERR_SURFACELOST) {
        ReleaseSurfaces();
        if (!g_draw.directDraw || !CreateSurfaces(g_draw.restoreWindow)) return kIcErrError;
        hr = LockWaiting(g_draw.overlay, &desc);
    }
    if (FAILED(hr)) return kIcErrError;
    const SurfaceView view = {static_cast<uint8_t*>(desc.lpSurface), desc.lPitch, desc.dwWidth, desc.dwHeight};
    CopyFrameToOverlay(packed, w, hh, g_draw.shrinkX, g_draw.shrinkY, view);
    g_draw.overlay->Unlock(desc.lpSurface);
    return kIcErrOk;
}

void FillBlack(const DrawRecord& draw) {
    RECT r = {draw.destination.left, draw.destination.top, draw.destination.right, draw.destination.bottom};
    FillRect(static_cast<HDC>(draw.dc), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

namespace vancodc {

LRESULT DrawQueryMessage(const void* format) { return DrawQuery(g_draw.usable, format); }

LRESULT DrawBegin(CodecInstance& instance, const ICDRAWBEGIN* begin) {
    if (!begin) return kIcErrBadFormat;
    if (begin->dwFlags & ICDRAW_QUERY) return kIcErrOk;
    const int32_t query = DrawQuery(g_draw.usable, begin->lpbi);
    if (query != kIcErrOk) return query;

    DrawRecord& draw = instance.draw;
    Rect32 fullClient = {};
    HWND target = begin->hwnd;
    if (begin->dwFlags & ICDRAW_FULLSCREEN) {
        if (!g_draw.fullScreen) g_draw.fullScreen = CreateFullScreen();
        if (!g_draw.fullScreen) return kIcErrError;
        SetWindowPos(g_draw.fullScreen, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        target = g_draw.fullScreen;
        RECT client;
        GetClientRect(target, &client);
        fullClient = {client.left, client.top, client.right, client.bottom};
    }
    const BeginRequest request = {begin->dwFlags, begin->xDst, begin->yDst, begin->dxDst, begin->dyDst,
                                  begin->lpbi, begin->xSrc, begin->ySrc, begin->dxSrc, begin->dySrc};
    RecordBegin(draw, request, fullClient);
    draw.window = target;

    if (instance.handler == kHandlerDraw && instance.drawDib) {
        draw.dc = begin->hdc;
        SetStretchBltMode(begin->hdc, COLORONCOLOR);
        DrawDibBegin(static_cast<HDRAWDIB>(instance.drawDib), begin->hdc,
                     draw.destination.right - draw.destination.left, draw.destination.bottom - draw.destination.top,
                     reinterpret_cast<LPBITMAPINFOHEADER>(begin->lpbi), begin->dxSrc, begin->dySrc, 0);
    }

    if (instance.drawBegins++ == 0 && g_draw.users++ == 0) {
        g_draw.overlayWidth = draw.storedWidth;
        g_draw.overlayHeight = draw.storedHeight;
        g_draw.shrinkX = g_draw.shrinkY = -1;
        const int32_t result = SetUpDirectDraw(target);
        if (result != kIcErrOk) return result;
    } else if (g_draw.usable && g_draw.overlay && g_draw.overlay->IsLost() != DDERR_SURFACELOST &&
               g_draw.directDraw) {
        g_draw.directDraw->SetCooperativeLevel(target, DDSCL_NORMAL);
    }
    g_draw.restoreWindow = target;
    Reposition(draw);
    return kIcErrOk;
}

LRESULT DrawFrame(CodecInstance& instance, const ICDRAW* request) {
    if (instance.drawBegins <= 0) return kIcErrError;
    if (!request) return kIcErrError;
    DrawRecord& draw = instance.draw;
    const bool update = request->dwFlags & ICDRAW_UPDATE;
    const bool noFrame = (request->dwFlags & ICDRAW_NULLFRAME) || !request->lpData;

    if (HeldElsewhere()) {
        if (noFrame && !update) return kIcErrOk;
        UINT options = DDF_SAME_HDC;
        if (update && noFrame) options |= DDF_UPDATE;
        if (request->dwFlags & ICDRAW_PREROLL) options |= DDF_DONTDRAW;
        const BOOL drawn =
            instance.drawDib && draw.dc &&
            DrawDibDraw(static_cast<HDRAWDIB>(instance.drawDib), static_cast<HDC>(draw.dc), draw.destination.left,
                        draw.destination.top, draw.destination.right - draw.destination.left,
                        draw.destination.bottom - draw.destination.top,
                        static_cast<LPBITMAPINFOHEADER>(request->lpFormat), noFrame ? nullptr : request->lpData,
                        draw.source.left, draw.source.top, draw.source.right - draw.source.left,
                        draw.source.bottom - draw.source.top, options);
        if (!drawn && draw.dc) FillBlack(draw);
        return kIcErrOk;
    }
    if (!request->lpData || request->cbData == 0) {
        if (g_draw.own && update) Reposition(draw);
        return kIcErrOk;
    }
    if (update) Reposition(draw);
    if (CopyFrame(instance, request->lpFormat, request->lpData, request->cbData) != kIcErrOk) return kIcErrError;
    if (!(draw.beginFlags & ICDRAW_FULLSCREEN))
        PlaceAt(draw, draw.screenX, draw.screenY, draw.destination.right - draw.destination.left,
                draw.destination.bottom - draw.destination.top);
    return kIcErrOk;
}

LRESULT DrawWindow(CodecInstance& instance, const RECT* rect) {
    if (HeldElsewhere()) return kIcErrUnsupported;
    if (rect && rect->right > rect->left && rect->bottom > rect->top && instance.drawBegins > 0)
        Reposition(instance.draw);
    return kIcErrOk;
}

LRESULT DrawEnd(CodecInstance& instance) {
    if (instance.drawBegins <= 0) return kIcErrError;
    if (g_draw.fullScreen) {
        DestroyWindow(g_draw.fullScreen);
        g_draw.fullScreen = nullptr;
    }
    if (--instance.drawBegins == 0 && --g_draw.users == 0) {
        ReleaseDirectDraw();
        // Another process's overlay keeps its flag when this one never held one.
        if (g_draw.own) Shared().overlayInUse = 0;
        g_draw.own = false;
        FreeSlot();
    }
    return kIcErrOk;
}

LRESULT DrawRealize(CodecInstance& instance, HDC dc, BOOL background) {
    if (HeldElsewhere()) return kIcErrUnsupported;
    instance.draw.palette = dc != nullptr;
    if (instance.drawDib && dc) return DrawDibRealize(static_cast<HDRAWDIB>(instance.drawDib), dc, background);
    return kIcErrUnsupported;
}

LRESULT DrawGetPalette(CodecInstance& instance) {
    if (HeldElsewhere()) return kIcErrUnsupported;
    HPALETTE palette = instance.drawDib ? DrawDibGetPalette(static_cast<HDRAWDIB>(instance.drawDib)) : nullptr;
    return palette ? reinterpret_cast<LRESULT>(palette) : kIcErrUnsupported;
}

LRESULT DrawSuggestFormat(const ICDRAWSUGGEST* suggest) {
    if (suggest && suggest->lpbiSuggest && suggest->lpbiIn) {
        HIC hic = ICGetDisplayFormat(nullptr, suggest->lpbiIn, suggest->lpbiSuggest, 8, 0, 0);
        if (hic) ICClose(hic);
    }
    return kSuggestFormatResult;
}

}  // namespace vancodc
