#include "surface_core.h"

namespace kivo::surface {

namespace {

// Slot indexes arrive as the low word of a 32-bit argument.
unsigned SlotIndex(uint32_t argument) { return argument & 0xFFFFu; }

// A driver that never finishes drawing must not hang the caller for ever.
constexpr unsigned kLockAttempts = 1u << 20;

}  // namespace

void SurfaceHelper::Attach(DisplayPort* port, uint32_t capacity) {
    port_ = port;
    slotsInUse_ = 0;
    primaryBlocked_ = 0;
    primary_ = nullptr;
    for (Slot& s : slots_) s = Slot{};
    capacity_ = 0;
    if (!port_) return;
    capacity_ = capacity < kSlotCount ? capacity : kSlotCount;
    CreatePrimary();
}

void SurfaceHelper::Detach() {
    if (port_) {
        for (unsigned i = 0; i < capacity_; ++i) ReleaseSlot(i);
        ReleasePrimary();
    }
    port_ = nullptr;
    capacity_ = 0;
    slotsInUse_ = 0;
}

bool SurfaceHelper::PrimaryLost() { return primary_ && port_->IsLost(primary_) == kErrSurfaceLost; }

void SurfaceHelper::ReleasePrimary() {
    if (primary_) port_->Release(primary_);
    primary_ = nullptr;
}

void SurfaceHelper::CreatePrimary() {
    if (primary_) {
        if (!PrimaryLost()) return;
        ReleasePrimary();
    }
    primaryBlocked_ = 0;
    Surface* created = nullptr;
    HResult hr = port_->CreatePrimary(&created);
    if (Failed(hr)) {
        if (created) port_->Release(created);
        if (hr == kErrNoExclusiveMode) primaryBlocked_ = 1;
        return;
    }
    primary_ = created;
}

bool SurfaceHelper::RestorePrimary() {
    if (!Failed(port_->Restore(primary_))) return true;
    ReleasePrimary();
    CreatePrimary();
    return primary_ != nullptr;
}

bool SurfaceHelper::CreateOverlay(unsigned index, uint16_t width, uint16_t height, uint32_t fourcc) {
    Slot& slot = slots_[index];
    if (slot.surface) return false;
    if (!primary_) return false;
    if (PrimaryLost() && !RestorePrimary()) return false;
    slot.width = width;
    slot.height = height;
    slot.fourcc = fourcc;
    Surface* overlay = nullptr;
    HResult hr = port_->CreateOverlay(DescribeOverlay(width, height, fourcc), &overlay);
    if (Failed(hr) || !overlay) {
        if (overlay) port_->Release(overlay);
        return false;
    }
    const OverlayRect rect = OnePixelRect(width, height);
    if (Failed(port_->ShowOverlay(overlay, rect, primary_, rect))) {
        port_->Release(overlay);
        return false;
    }
    slot.surface = overlay;
    slotsInUse_ = slotsInUse_ + 1 < capacity_ ? slotsInUse_ + 1 : capacity_;
    return true;
}

int32_t SurfaceHelper::ReleaseSlot(unsigned index) {
    if (index >= kSlotCount) return 0;
    Slot& slot = slots_[index];
    if (!slot.surface) return 0;
    port_->Release(slot.surface);
    slot.surface = nullptr;
    if (slot.pair) {
        if (index == 0 && capacity_ > 1) ReleaseSlot(1);
        slot.pair = 0;
    }
    if (slotsInUse_ > 0) --slotsInUse_;
    return 1;
}

uint32_t SurfaceHelper::FourCCCodes() {
    DisplayCaps caps;
    if (Failed(port_->GetCaps(&caps))) return 0;
    return caps.numFourCCCodes;
}

int32_t SurfaceHelper::UserCount() {
    if (!port_ || !primary_ || FourCCCodes() == 0) return -1;
    if (slotsInUse_ == capacity_) return static_cast<int32_t>(capacity_);
    // Whatever overlay cannot be made now is held by someone, here or in another program.
    unsigned firstFailed = capacity_;
    unsigned made[kSlotCount];
    unsigned madeCount = 0;
    for (unsigned i = 0; i < capacity_; ++i) {
        if (slots_[i].surface) continue;
        if (!CreateOverlay(i, 10, 10, kFourCCYUY2)) {
            firstFailed = i;
            break;
        }
        made[madeCount++] = i;
    }
    while (madeCount > 0) ReleaseSlot(made[--madeCount]);
    return static_cast<int32_t>(capacity_ - firstFailed);
}

int32_t SurfaceHelper::Add(uint32_t width, uint32_t height, uint32_t fourcc, uint32_t pair) {
    if (!port_ || FourCCCodes() == 0) return -2;
    if (!primary_) {
        if (!primaryBlocked_) return -2;
        CreatePrimary();
        if (!primary_) return -1;
    }
    if (UserCount() != 0) return -1;
    if (!CreateOverlay(0, static_cast<uint16_t>(width), static_cast<uint16_t>(height), fourcc)) return -1;
    if (pair == 1) {
        slots_[0].pair = 1;
        if (capacity_ > 1) CreateOverlay(1, 1, 1, kFourCCYUY2);
    }
    return 0;
}

int32_t SurfaceHelper::Release(uint32_t slotIndex) {
    if (!port_) return 0;
    return ReleaseSlot(SlotIndex(slotIndex));
}

bool SurfaceHelper::LockAddress(Surface* surface, uintptr_t* address) {
    HResult hr = kErrWasStillDrawing;
    for (unsigned attempt = 0; attempt < kLockAttempts && hr == kErrWasStillDrawing; ++attempt) {
        hr = port_->Lock(surface, address);
    }
    if (Failed(hr)) return false;
    port_->Unlock(surface);
    return true;
}

int32_t SurfaceHelper::Offset(uint32_t slotIndex) {
    const unsigned index = SlotIndex(slotIndex);
    if (!port_ || !primary_ || index >= kSlotCount || !slots_[index].surface) return 0;
    Surface* overlay = slots_[index].surface;
    int32_t pitch = 0;
    port_->Describe(overlay, &pitch);
    port_->Describe(primary_, &pitch);
    uintptr_t overlayAddress = 0, primaryAddress = 0;
    // Without both addresses there is no offset to tell.
    if (!LockAddress(overlay, &overlayAddress) || !LockAddress(primary_, &primaryAddress)) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(overlayAddress - primaryAddress));
}

int32_t SurfaceHelper::Stride(uint32_t slotIndex) {
    const unsigned index = SlotIndex(slotIndex);
    if (!port_ || index >= kSlotCount || !slots_[index].surface) return -1;
    int32_t pitch = 0;
    if (Failed(port_->Describe(slots_[index].surface, &pitch))) return 0;
    return pitch;
}

int32_t SurfaceHelper::BufferSize() {
    if (!port_) return -1;
    DisplayCaps caps;
    HResult hr = port_->GetCaps(&caps);
    if (Failed(hr)) return hr;
    // Negative answers mean failure: more than 2 GB free is told as the most a result can hold.
    return caps.vidMemFree > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(caps.vidMemFree);
}

int32_t SurfaceHelper::Mode() {
    if (!port_ || !primary_) return 0;
    if (PrimaryLost() && port_->Restore(primary_) == kErrNoExclusiveMode) return 2;
    return 1;
}

}  // namespace kivo::surface
