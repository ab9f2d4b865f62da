// A small DirectDraw for the helper's tests, loaded as "ddraw.dll" in place of the system's.
// Its objects answer as the shared control says (test_ddraw_control.h), keep the surfaces in
// one block of "video memory" per process, show at most the control's number of overlays in
// all processes together, and log every call. Only the methods the helper uses do anything.
#include <windows.h>
#include <ddraw.h>

#include <map>

#include "test_ddraw_control.h"

using testddraw::Control;

namespace {

// The shared control; a private one when the mapping cannot be made.
Control* C() {
    static Control* const control = [] {
        if (Control* shared = testddraw::OpenControl()) return shared;
        static Control local;
        testddraw::SetDefaults(&local);
        return &local;
    }();
    return control;
}

LONG* Counter(uint32_t* field) { return reinterpret_cast<LONG*>(field); }

// What this process holds, given back when it ends as the system would.
struct Held {
    LONG objects, primaries, overlays, shown;
} g_held;

void Count(uint32_t* shared, LONG* own, int delta) {
    if (delta > 0) {
        InterlockedIncrement(Counter(shared));
        InterlockedIncrement(own);
    } else {
        InterlockedDecrement(Counter(shared));
        InterlockedDecrement(own);
    }
}

HRESULT Log(testddraw::Method method, uint32_t surface, HRESULT result,
            std::initializer_list<uint32_t> args = {}) {
    Control* c = C();
    uint32_t seq = static_cast<uint32_t>(InterlockedIncrement(Counter(&c->calls))) - 1;
    testddraw::Call& call = c->log[seq % testddraw::kLogSize];
    call = {};
    call.process = GetCurrentProcessId();
    call.method = method;
    call.surface = surface;
    call.result = result;
    unsigned i = 0;
    for (uint32_t a : args) {
        if (i < 13) call.arg[i++] = a;
    }
    return result;
}

// The process's video memory: one block, handed out first-fit in pages.
class VideoMemory {
public:
    bool Allocate(uint32_t size, uint32_t* offset) {
        if (!base_) {
            total_ = C()->vidMemTotal;
            base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, total_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
            if (!base_) return false;
        }
        size = (size + 4095) & ~4095u;
        uint32_t at = 0;
        for (const auto& [start, length] : used_) {
            if (start - at >= size) break;
            at = start + length;
        }
        if (at + size > total_ || at + size < at) return false;
        used_[at] = size;
        *offset = at;
        return true;
    }
    void Free(uint32_t offset) { used_.erase(offset); }
    uint32_t Free() const {
        uint32_t inUse = 0;
        for (const auto& [start, length] : used_) inUse += length;
        return (base_ ? total_ : C()->vidMemTotal) - inUse;
    }
    BYTE* At(uint32_t offset) const { return base_ + offset; }

private:
    BYTE* base_ = nullptr;
    uint32_t total_ = 0;
    std::map<uint32_t, uint32_t> used_;
};

VideoMemory g_memory;

#define UNSUPPORTED \
    { return Log(testddraw::kUnsupported, 0, DDERR_UNSUPPORTED); }

class TestSurface final : public IDirectDrawSurface {
public:
    TestSurface(bool primary, const DDSURFACEDESC& d, uint32_t offset, LONG pitch)
        : id_(static_cast<uint32_t>(InterlockedIncrement(Counter(&C()->nextSurface)))),
          primary_(primary), desc_(d), offset_(offset), epoch_(C()->lostEpoch) {
        desc_.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
        desc_.lPitch = pitch;
        desc_.lpSurface = nullptr;
        if (primary) Count(&C()->livePrimaries, &g_held.primaries, 1);
        else Count(&C()->liveOverlays, &g_held.overlays, 1);
    }
    uint32_t Id() const { return id_; }
    bool IsPrimary() const { return primary_; }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectDrawSurface)) {
            AddRef();
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHOD_(ULONG, Release)() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            Log(testddraw::kReleaseSurface, id_, 0);
            if (shown_) Count(&C()->shownOverlays, &g_held.shown, -1);
            if (primary_) Count(&C()->livePrimaries, &g_held.primaries, -1);
            else Count(&C()->liveOverlays, &g_held.overlays, -1);
            g_memory.Free(offset_);
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // The methods the helper uses.
    STDMETHOD(IsLost)() override { return Log(testddraw::kIsLost, id_, Lost() ? DDERR_SURFACELOST : DD_OK); }
    STDMETHOD(Restore)() override {
        HRESULT hr = C()->restoreResult;
        if (SUCCEEDED(hr)) epoch_ = C()->lostEpoch;
        return Log(testddraw::kRestore, id_, hr);
    }
    STDMETHOD(GetSurfaceDesc)(LPDDSURFACEDESC d) override {
        uint32_t size = d ? d->dwSize : 0;
        HRESULT hr = C()->describeResult;
        if (!d || d->dwSize != sizeof(DDSURFACEDESC)) hr = DDERR_INVALIDPARAMS;
        if (SUCCEEDED(hr)) *d = desc_;
        return Log(testddraw::kGetSurfaceDesc, id_, hr, {size});
    }
    STDMETHOD(Lock)(LPRECT rect, LPDDSURFACEDESC d, DWORD flags, HANDLE) override {
        uint32_t size = d ? d->dwSize : 0;
        HRESULT hr = C()->lockResult;
        if (C()->stillDrawingLocks > 0) {
            InterlockedDecrement(Counter(&C()->stillDrawingLocks));
            hr = DDERR_WASSTILLDRAWING;
        } else if (!d || d->dwSize != sizeof(DDSURFACEDESC)) {
            hr = DDERR_INVALIDPARAMS;
        } else if (Lost()) {
            hr = DDERR_SURFACELOST;
        } else if (SUCCEEDED(hr)) {
            *d = desc_;
            d->dwFlags |= DDSD_LPSURFACE;
            d->lpSurface = g_memory.At(offset_);
            locked_ = true;
        }
        return Log(testddraw::kLock, id_, hr, {rect != nullptr, flags, size});
    }
    STDMETHOD(Unlock)(LPVOID) override {
        HRESULT hr = locked_ ? DD_OK : DDERR_NOTLOCKED;
        locked_ = false;
        return Log(testddraw::kUnlock, id_, hr);
    }
    STDMETHOD(UpdateOverlay)(LPRECT src, LPDIRECTDRAWSURFACE destination, LPRECT dst, DWORD flags,
                             LPDDOVERLAYFX fx) override {
        auto* target = static_cast<TestSurface*>(destination);
        RECT none = {-1, -1, -1, -1};
        const RECT& s = src ? *src : none;
        const RECT& t = dst ? *dst : none;
        HRESULT hr = C()->updateResult;
        if (primary_ || !target || !target->primary_) {
            hr = DDERR_INVALIDPARAMS;
        } else if (target->Lost()) {
            hr = DDERR_SURFACELOST;
        } else if (SUCCEEDED(hr) && (flags & DDOVER_SHOW) && !shown_) {
            // The overlay engine is one for the machine: count the others' overlays.
            if (C()->shownOverlays + C()->heldByOthers >= C()->maxOverlays) {
                hr = DDERR_OUTOFCAPS;
            } else {
                Count(&C()->shownOverlays, &g_held.shown, 1);
                shown_ = true;
            }
        } else if (SUCCEEDED(hr) && (flags & DDOVER_HIDE) && shown_) {
            Count(&C()->shownOverlays, &g_held.shown, -1);
            shown_ = false;
        }
        return Log(testddraw::kUpdateOverlay, id_, hr,
                   {static_cast<uint32_t>(s.left), static_cast<uint32_t>(s.top), static_cast<uint32_t>(s.right),
                    static_cast<uint32_t>(s.bottom), static_cast<uint32_t>(t.left), static_cast<uint32_t>(t.top),
                    static_cast<uint32_t>(t.right), static_cast<uint32_t>(t.bottom), flags, fx != nullptr,
                    target ? target->id_ : 0});
    }

    // For the codec driver's key colour: a device context over the surface's first row, written
    // back when it is released, and the key it sets.
    STDMETHOD(GetDC)(HDC* out) override {
        HRESULT hr = DD_OK;
        if (!out || dc_) hr = DDERR_INVALIDPARAMS;
        const DWORD bits = desc_.ddpfPixelFormat.dwRGBBitCount;
        if (SUCCEEDED(hr) && bits != 16 && bits != 24 && bits != 32) hr = DDERR_CANTCREATEDC;
        if (SUCCEEDED(hr)) {
            struct {
                BITMAPINFOHEADER h;
                DWORD masks[3];
            } info = {};
            info.h.biSize = sizeof info.h;
            info.h.biWidth = static_cast<LONG>(desc_.dwWidth);
            info.h.biHeight = -1;
            info.h.biPlanes = 1;
            info.h.biBitCount = static_cast<WORD>(bits);
            info.h.biCompression = bits == 16 ? BI_BITFIELDS : BI_RGB;
            info.masks[0] = 0xF800;
            info.masks[1] = 0x07E0;
            info.masks[2] = 0x001F;
            dc_ = CreateCompatibleDC(nullptr);
            bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &rowBits_, nullptr, 0);
            if (!dc_ || !bitmap_) {
                if (dc_) DeleteDC(dc_);
                dc_ = nullptr;
                hr = DDERR_CANTCREATEDC;
            } else {
                oldBitmap_ = SelectObject(dc_, bitmap_);
                memcpy(rowBits_, g_memory.At(offset_), RowBytes());
                *out = dc_;
            }
        }
        return Log(testddraw::kGetDC, id_, hr);
    }
    STDMETHOD(ReleaseDC)(HDC dc) override {
        HRESULT hr = DD_OK;
        if (!dc_ || dc != dc_) {
            hr = DDERR_NODC;
        } else {
            GdiFlush();
            memcpy(g_memory.At(offset_), rowBits_, RowBytes());
            SelectObject(dc_, oldBitmap_);
            DeleteObject(bitmap_);
            DeleteDC(dc_);
            dc_ = nullptr;
        }
        return Log(testddraw::kReleaseDC, id_, hr);
    }
    STDMETHOD(SetColorKey)(DWORD flags, LPDDCOLORKEY key) override {
        return Log(testddraw::kSetColorKey, id_, key ? DD_OK : DDERR_INVALIDPARAMS,
                   {flags, key ? key->dwColorSpaceLowValue : 0, key ? key->dwColorSpaceHighValue : 0});
    }

    // The rest is not the helper's.
    STDMETHOD(AddAttachedSurface)(LPDIRECTDRAWSURFACE) override UNSUPPORTED
    STDMETHOD(AddOverlayDirtyRect)(LPRECT) override UNSUPPORTED
    STDMETHOD(Blt)(LPRECT, LPDIRECTDRAWSURFACE, LPRECT, DWORD, LPDDBLTFX) override UNSUPPORTED
    STDMETHOD(BltBatch)(LPDDBLTBATCH, DWORD, DWORD) override UNSUPPORTED
    STDMETHOD(BltFast)(DWORD, DWORD, LPDIRECTDRAWSURFACE, LPRECT, DWORD) override UNSUPPORTED
    STDMETHOD(DeleteAttachedSurface)(DWORD, LPDIRECTDRAWSURFACE) override UNSUPPORTED
    STDMETHOD(EnumAttachedSurfaces)(LPVOID, LPDDENUMSURFACESCALLBACK) override UNSUPPORTED
    STDMETHOD(EnumOverlayZOrders)(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK) override UNSUPPORTED
    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE, DWORD) override UNSUPPORTED
    STDMETHOD(GetAttachedSurface)(LPDDSCAPS, LPDIRECTDRAWSURFACE*) override UNSUPPORTED
    STDMETHOD(GetBltStatus)(DWORD) override UNSUPPORTED
    STDMETHOD(GetCaps)(LPDDSCAPS) override UNSUPPORTED
    STDMETHOD(GetClipper)(LPDIRECTDRAWCLIPPER*) override UNSUPPORTED
    STDMETHOD(GetColorKey)(DWORD, LPDDCOLORKEY) override UNSUPPORTED
    STDMETHOD(GetFlipStatus)(DWORD) override UNSUPPORTED
    STDMETHOD(GetOverlayPosition)(LPLONG, LPLONG) override UNSUPPORTED
    STDMETHOD(GetPalette)(LPDIRECTDRAWPALETTE*) override UNSUPPORTED
    STDMETHOD(GetPixelFormat)(LPDDPIXELFORMAT) override UNSUPPORTED
    STDMETHOD(Initialize)(LPDIRECTDRAW, LPDDSURFACEDESC) override UNSUPPORTED
    STDMETHOD(SetClipper)(LPDIRECTDRAWCLIPPER) override UNSUPPORTED
    STDMETHOD(SetOverlayPosition)(LONG, LONG) override UNSUPPORTED
    STDMETHOD(SetPalette)(LPDIRECTDRAWPALETTE) override UNSUPPORTED
    STDMETHOD(UpdateOverlayDisplay)(DWORD) override UNSUPPORTED
    STDMETHOD(UpdateOverlayZOrder)(DWORD, LPDIRECTDRAWSURFACE) override UNSUPPORTED

private:
    bool Lost() const { return epoch_ < C()->lostEpoch; }
    size_t RowBytes() const { return desc_.dwWidth * desc_.ddpfPixelFormat.dwRGBBitCount / 8; }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    void* rowBits_ = nullptr;

    LONG refs_ = 1;
    uint32_t id_;
    bool primary_;
    DDSURFACEDESC desc_;
    uint32_t offset_;
    uint32_t epoch_;
    bool shown_ = false;
    bool locked_ = false;
};

uint32_t BitsOf(const DDPIXELFORMAT& pf) {
    if (pf.dwSize != sizeof(DDPIXELFORMAT)) return 0;
    if (pf.dwFlags & (DDPF_RGB | DDPF_FOURCC)) return pf.dwRGBBitCount;
    return 0;
}

class TestDirectDraw final : public IDirectDraw {
public:
    TestDirectDraw() { Count(&C()->liveObjects, &g_held.objects, 1); }

    STDMETHOD(QueryInterface)(REFIID riid, void** out) override {
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDirectDraw)) {
            AddRef();
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHOD_(ULONG, Release)() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            Log(testddraw::kReleaseDirectDraw, 0, 0);
            Count(&C()->liveObjects, &g_held.objects, -1);
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override {
        return Log(testddraw::kSetCooperativeLevel, 0, C()->cooperativeResult,
                   {window == GetDesktopWindow(), flags});
    }
    STDMETHOD(CreateSurface)(LPDDSURFACEDESC d, LPDIRECTDRAWSURFACE* out, IUnknown*) override {
        if (out) *out = nullptr;
        if (!d || !out) return Log(testddraw::kCreateSurface, 0, DDERR_INVALIDPARAMS);
        const DDPIXELFORMAT& pf = d->ddpfPixelFormat;
        HRESULT hr = DD_OK;
        TestSurface* made = nullptr;
        if (d->dwSize != sizeof(DDSURFACEDESC) || !(d->dwFlags & DDSD_CAPS)) {
            hr = DDERR_INVALIDPARAMS;
        } else if (d->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) {
            hr = C()->primaryResult;
            uint32_t offset = 0;
            LONG pitch = static_cast<LONG>(C()->screenWidth * C()->screenBits / 8);
            if (SUCCEEDED(hr) && !g_memory.Allocate(static_cast<uint32_t>(pitch) * C()->screenHeight, &offset))
                hr = DDERR_OUTOFVIDEOMEMORY;
            if (SUCCEEDED(hr)) {
                DDSURFACEDESC desc = *d;
                desc.dwWidth = C()->screenWidth;
                desc.dwHeight = C()->screenHeight;
                desc.ddpfPixelFormat = {};
                desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
                desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
                desc.ddpfPixelFormat.dwRGBBitCount = C()->screenBits;
                made = new TestSurface(true, desc, offset, pitch);
            }
        } else if (d->ddsCaps.dwCaps & DDSCAPS_OVERLAY) {
            const DWORD needed = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
            uint32_t bits = BitsOf(pf);
            hr = C()->overlayResult;
            if (SUCCEEDED(hr) && ((d->dwFlags & needed) != needed || !d->dwWidth || !d->dwHeight))
                hr = DDERR_INVALIDPARAMS;
            else if (SUCCEEDED(hr) && bits == 0)
                hr = DDERR_INVALIDPIXELFORMAT;
            uint32_t offset = 0;
            LONG pitch = static_cast<LONG>(((d->dwWidth * bits + 7) / 8 + 15) & ~15u);
            if (SUCCEEDED(hr) && !g_memory.Allocate(static_cast<uint32_t>(pitch) * d->dwHeight, &offset))
                hr = DDERR_OUTOFVIDEOMEMORY;
            if (SUCCEEDED(hr)) made = new TestSurface(false, *d, offset, pitch);
        } else {
            hr = DDERR_INVALIDCAPS;
        }
        *out = made;
        return Log(testddraw::kCreateSurface, made ? made->Id() : 0, hr,
                   {d->dwSize, d->dwFlags, d->dwWidth, d->dwHeight, d->ddsCaps.dwCaps, pf.dwSize, pf.dwFlags,
                    pf.dwFourCC, pf.dwRGBBitCount, pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask,
                    pf.dwRGBAlphaBitMask});
    }
    STDMETHOD(GetCaps)(LPDDCAPS driver, LPDDCAPS emulation) override {
        const uint32_t driverSize = driver ? driver->dwSize : 0, emulationSize = emulation ? emulation->dwSize : 0;
        HRESULT hr = C()->capsResult;
        auto valid = [](DWORD size) {
            return size == sizeof(DDCAPS_DX3) || size == sizeof(DDCAPS_DX5) || size == sizeof(DDCAPS_DX6) ||
                   size == sizeof(DDCAPS_DX7);
        };
        if ((driver && !valid(driver->dwSize)) || (emulation && !valid(emulation->dwSize))) hr = DDERR_INVALIDPARAMS;
        if (SUCCEEDED(hr)) {
            for (LPDDCAPS caps : {driver, emulation}) {
                if (!caps) continue;
                DWORD size = caps->dwSize;
                ZeroMemory(caps, size);
                caps->dwSize = size;
            }
            if (driver) {
                driver->dwCaps = DDCAPS_OVERLAY | DDCAPS_OVERLAYSTRETCH;
                driver->dwVidMemTotal = C()->vidMemTotal;
                driver->dwVidMemFree = g_memory.Free();
                driver->dwMaxVisibleOverlays = C()->maxOverlays;
                driver->dwCurrVisibleOverlays = C()->shownOverlays + C()->heldByOthers;
                driver->dwNumFourCCCodes = C()->fourccCodes;
            }
        }
        return Log(testddraw::kGetCaps, 0, hr, {driverSize, emulationSize});
    }

    STDMETHOD(Compact)() override UNSUPPORTED
    STDMETHOD(CreateClipper)(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override UNSUPPORTED
    STDMETHOD(CreatePalette)(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*) override UNSUPPORTED
    STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*) override UNSUPPORTED
    STDMETHOD(EnumDisplayModes)(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK) override UNSUPPORTED
    STDMETHOD(EnumSurfaces)(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) override UNSUPPORTED
    STDMETHOD(FlipToGDISurface)() override UNSUPPORTED
    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC) override UNSUPPORTED
    STDMETHOD(GetFourCCCodes)(LPDWORD, LPDWORD) override UNSUPPORTED
    STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE*) override UNSUPPORTED
    STDMETHOD(GetMonitorFrequency)(LPDWORD) override UNSUPPORTED
    STDMETHOD(GetScanLine)(LPDWORD) override UNSUPPORTED
    STDMETHOD(GetVerticalBlankStatus)(WINBOOL*) override UNSUPPORTED
    STDMETHOD(Initialize)(GUID*) override UNSUPPORTED
    STDMETHOD(RestoreDisplayMode)() override UNSUPPORTED
    STDMETHOD(SetDisplayMode)(DWORD, DWORD, DWORD) override UNSUPPORTED
    STDMETHOD(WaitForVerticalBlank)(DWORD, HANDLE) override UNSUPPORTED

private:
    LONG refs_ = 1;
};

}  // namespace

extern "C" HRESULT WINAPI DirectDrawCreate(GUID* guid, LPDIRECTDRAW* out, IUnknown* outer) {
    if (!out) return Log(testddraw::kDirectDrawCreate, 0, DDERR_INVALIDPARAMS);
    *out = nullptr;
    HRESULT hr = C()->createResult;
    if (outer) hr = CLASS_E_NOAGGREGATION;
    if (SUCCEEDED(hr)) *out = new TestDirectDraw;
    return Log(testddraw::kDirectDrawCreate, 0, hr, {guid != nullptr});
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) {
        Control* c = C();
        InterlockedExchangeAdd(Counter(&c->liveObjects), -g_held.objects);
        InterlockedExchangeAdd(Counter(&c->livePrimaries), -g_held.primaries);
        InterlockedExchangeAdd(Counter(&c->liveOverlays), -g_held.overlays);
        InterlockedExchangeAdd(Counter(&c->shownOverlays), -g_held.shown);
    }
    return TRUE;
}
