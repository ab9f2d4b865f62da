#include "ddraw_port.h"

namespace kivo::surface {

static_assert(kDescCaps == DDSD_CAPS && kDescHeight == DDSD_HEIGHT && kDescWidth == DDSD_WIDTH &&
              kDescPixelFormat == DDSD_PIXELFORMAT);
static_assert(kCapsOverlay == DDSCAPS_OVERLAY && kCapsPrimary == DDSCAPS_PRIMARYSURFACE &&
              kCapsVideoMemory == DDSCAPS_VIDEOMEMORY);
static_assert(kPixelFourCC == DDPF_FOURCC && kPixelRGB == DDPF_RGB && kPixelYUV == DDPF_YUV);
static_assert(kPixelFormatSize == sizeof(DDPIXELFORMAT));
static_assert(kErrNoExclusiveMode == DDERR_NOEXCLUSIVEMODE && kErrSurfaceLost == DDERR_SURFACELOST &&
              kErrWasStillDrawing == DDERR_WASSTILLDRAWING);
// The caps record of the DirectDraw generation the helper was made for.
static_assert(sizeof(DDCAPS_DX3) == 316);

namespace {

using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);

IDirectDrawSurface* AsDD(Surface* s) { return reinterpret_cast<IDirectDrawSurface*>(s); }
Surface* AsSurface(IDirectDrawSurface* s) { return reinterpret_cast<Surface*>(s); }

RECT ToRect(const OverlayRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

DDSURFACEDESC EmptyDescription() {
    DDSURFACEDESC d;
    ZeroMemory(&d, sizeof d);
    d.dwSize = sizeof d;
    return d;
}

}  // namespace

bool DirectDrawPort::Open() {
    if (!module_) module_ = LoadLibraryA("ddraw.dll");
    if (!module_) return false;
    auto create = reinterpret_cast<DirectDrawCreateFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DirectDrawCreate")));
    if (create) {
        IDirectDraw* dd = nullptr;
        HRESULT hr = create(nullptr, &dd, nullptr);
        if (SUCCEEDED(hr) && dd) {
            if (SUCCEEDED(dd->SetCooperativeLevel(GetDesktopWindow(), DDSCL_NORMAL))) {
                directDraw_ = dd;
                return true;
            }
        }
        if (dd) dd->Release();
    }
    FreeLibrary(module_);
    module_ = nullptr;
    return false;
}

void DirectDrawPort::Close() {
    if (directDraw_) directDraw_->Release();
    directDraw_ = nullptr;
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
}

HResult DirectDrawPort::CreatePrimary(Surface** out) {
    DDSURFACEDESC d = EmptyDescription();
    d.dwFlags = DDSD_CAPS;
    d.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* s = nullptr;
    HRESULT hr = directDraw_->CreateSurface(&d, &s, nullptr);
    *out = AsSurface(s);
    return hr;
}

HResult DirectDrawPort::CreateOverlay(const OverlayDescription& description, Surface** out) {
    DDSURFACEDESC d = EmptyDescription();
    d.dwFlags = description.flags;
    d.dwWidth = description.width;
    d.dwHeight = description.height;
    d.ddsCaps.dwCaps = description.caps;
    const PixelFormat& pf = description.pixelFormat;
    d.ddpfPixelFormat.dwSize = pf.size;
    d.ddpfPixelFormat.dwFlags = pf.flags;
    d.ddpfPixelFormat.dwFourCC = pf.fourcc;
    d.ddpfPixelFormat.dwRGBBitCount = pf.bitCount;
    d.ddpfPixelFormat.dwRBitMask = pf.redMask;
    d.ddpfPixelFormat.dwGBitMask = pf.greenMask;
    d.ddpfPixelFormat.dwBBitMask = pf.blueMask;
    d.ddpfPixelFormat.dwRGBAlphaBitMask = pf.alphaMask;
    IDirectDrawSurface* s = nullptr;
    HRESULT hr = directDraw_->CreateSurface(&d, &s, nullptr);
    *out = AsSurface(s);
    return hr;
}

HResult DirectDrawPort::ShowOverlay(Surface* overlay, const OverlayRect& source, Surface* primary,
                                    const OverlayRect& destination) {
    RECT src = ToRect(source), dst = ToRect(destination);
    return AsDD(overlay)->UpdateOverlay(&src, AsDD(primary), &dst, DDOVER_SHOW, nullptr);
}

HResult DirectDrawPort::IsLost(Surface* surface) { return AsDD(surface)->IsLost(); }

HResult DirectDrawPort::Restore(Surface* surface) { return AsDD(surface)->Restore(); }

HResult DirectDrawPort::Describe(Surface* surface, int32_t* pitch) {
    DDSURFACEDESC d = EmptyDescription();
    HRESULT hr = AsDD(surface)->GetSurfaceDesc(&d);
    if (SUCCEEDED(hr)) *pitch = d.lPitch;
    return hr;
}

HResult DirectDrawPort::Lock(Surface* surface, uintptr_t* address) {
    DDSURFACEDESC d = EmptyDescription();
    HRESULT hr = AsDD(surface)->Lock(nullptr, &d, 0, nullptr);
    if (SUCCEEDED(hr)) *address = reinterpret_cast<uintptr_t>(d.lpSurface);
    return hr;
}

void DirectDrawPort::Unlock(Surface* surface) { AsDD(surface)->Unlock(nullptr); }

void DirectDrawPort::Release(Surface* surface) { AsDD(surface)->Release(); }

HResult DirectDrawPort::GetCaps(DisplayCaps* driverCaps) {
    DDCAPS_DX3 driver, emulation;
    ZeroMemory(&driver, sizeof driver);
    ZeroMemory(&emulation, sizeof emulation);
    driver.dwSize = emulation.dwSize = sizeof(DDCAPS_DX3);
    HRESULT hr = directDraw_->GetCaps(reinterpret_cast<DDCAPS*>(&driver), reinterpret_cast<DDCAPS*>(&emulation));
    if (SUCCEEDED(hr)) {
        driverCaps->vidMemTotal = driver.dwVidMemTotal;
        driverCaps->vidMemFree = driver.dwVidMemFree;
        driverCaps->maxVisibleOverlays = driver.dwMaxVisibleOverlays;
        driverCaps->currVisibleOverlays = driver.dwCurrVisibleOverlays;
        driverCaps->numFourCCCodes = driver.dwNumFourCCCodes;
    }
    return hr;
}

}  // namespace kivo::surface
