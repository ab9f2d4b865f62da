// The helper's state and its operations: one DirectDraw object per process, the primary
// surface and a two-entry table of overlay slots. DirectDraw itself is reached through
// DisplayPort, so that these rules hold the same whichever DirectDraw answers.
#pragma once
#include <cstdint>

#include "overlay_format.h"

namespace kivo::surface {

using HResult = int32_t;
inline constexpr HResult kOk = 0;
inline constexpr HResult kErrNoExclusiveMode = static_cast<HResult>(0x887600E1u);  // DDERR_NOEXCLUSIVEMODE
inline constexpr HResult kErrSurfaceLost = static_cast<HResult>(0x887601C2u);      // DDERR_SURFACELOST
inline constexpr HResult kErrWasStillDrawing = static_cast<HResult>(0x8876021Cu);  // DDERR_WASSTILLDRAWING

inline bool Failed(HResult hr) { return hr < 0; }

// A surface of the port; what it is belongs to the port alone.
struct Surface;

struct DisplayCaps {
    uint32_t vidMemTotal = 0;
    uint32_t vidMemFree = 0;
    uint32_t maxVisibleOverlays = 0;
    uint32_t currVisibleOverlays = 0;
    uint32_t numFourCCCodes = 0;
};

// The DirectDraw object as the helper uses it.
class DisplayPort {
public:
    virtual ~DisplayPort() = default;
    virtual HResult CreatePrimary(Surface** out) = 0;
    virtual HResult CreateOverlay(const OverlayDescription& description, Surface** out) = 0;
    // UpdateOverlay with DDOVER_SHOW and no effects.
    virtual HResult ShowOverlay(Surface* overlay, const OverlayRect& source, Surface* primary,
                                const OverlayRect& destination) = 0;
    virtual HResult IsLost(Surface* surface) = 0;
    virtual HResult Restore(Surface* surface) = 0;
    // GetSurfaceDesc; the line pitch when it succeeds.
    virtual HResult Describe(Surface* surface, int32_t* pitch) = 0;
    // Lock of the whole surface with flags 0; the address of its memory when it succeeds.
    virtual HResult Lock(Surface* surface, uintptr_t* address) = 0;
    virtual void Unlock(Surface* surface) = 0;
    virtual void Release(Surface* surface) = 0;
    virtual HResult GetCaps(DisplayCaps* driverCaps) = 0;
};

class SurfaceHelper {
public:
    static constexpr unsigned kSlotCount = 2;

    struct Slot {
        Surface* surface = nullptr;
        uint16_t width = 0;
        uint16_t height = 0;
        uint32_t fourcc = 0;
        uint32_t pair = 0;
    };

    // DirectDraw is set up (port non-null) or not; with it the capacity becomes `capacity`
    // (1 for the product, at most the table) and the primary surface is created.
    void Attach(DisplayPort* port, uint32_t capacity = 1);
    // Releases every slot below the capacity and the primary surface, and forgets the port.
    void Detach();

    int32_t UserCount();
    int32_t Add(uint32_t width, uint32_t height, uint32_t fourcc, uint32_t pair);
    int32_t Release(uint32_t slotIndex);
    int32_t Offset(uint32_t slotIndex);
    int32_t Stride(uint32_t slotIndex);
    int32_t BufferSize();
    int32_t Mode();

    uint32_t Capacity() const { return capacity_; }
    uint32_t SlotsInUse() const { return slotsInUse_; }
    bool PrimaryBlocked() const { return primaryBlocked_ != 0; }
    Surface* Primary() const { return primary_; }
    const Slot& SlotAt(unsigned index) const { return slots_[index]; }

private:
    bool PrimaryLost();
    void CreatePrimary();
    bool RestorePrimary();
    void ReleasePrimary();
    bool CreateOverlay(unsigned index, uint16_t width, uint16_t height, uint32_t fourcc);
    int32_t ReleaseSlot(unsigned index);
    bool LockAddress(Surface* surface, uintptr_t* address);
    uint32_t FourCCCodes();

    DisplayPort* port_ = nullptr;
    uint32_t slotsInUse_ = 0;
    uint32_t capacity_ = 0;
    uint32_t primaryBlocked_ = 0;
    Surface* primary_ = nullptr;
    Slot slots_[kSlotCount];
};

}  // namespace kivo::surface
