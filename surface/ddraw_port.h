// The helper's DirectDraw: "ddraw.dll" bound at run time, one IDirectDraw object with the
// normal cooperative level on the desktop window.
#pragma once
#include <windows.h>
#include <ddraw.h>

#include "surface_core.h"

namespace kivo::surface {

class DirectDrawPort final : public DisplayPort {
public:
    // Loads "ddraw.dll" and sets up the object; false (with nothing held) when any step fails.
    bool Open();
    // Releases the object and frees the module.
    void Close();

    HResult CreatePrimary(Surface** out) override;
    HResult CreateOverlay(const OverlayDescription& description, Surface** out) override;
    HResult ShowOverlay(Surface* overlay, const OverlayRect& source, Surface* primary,
                        const OverlayRect& destination) override;
    HResult IsLost(Surface* surface) override;
    HResult Restore(Surface* surface) override;
    HResult Describe(Surface* surface, int32_t* pitch) override;
    HResult Lock(Surface* surface, uintptr_t* address) override;
    void Unlock(Surface* surface) override;
    void Release(Surface* surface) override;
    HResult GetCaps(DisplayCaps* driverCaps) override;

private:
    HMODULE module_ = nullptr;
    IDirectDraw* directDraw_ = nullptr;
};

}  // namespace kivo::surface
