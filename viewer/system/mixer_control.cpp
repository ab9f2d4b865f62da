#include "mixer_control.h"

namespace {

constexpr int32_t kRaisedLevel = 0x7FFF;
constexpr int32_t kAudibleLevel = 1024;

// The controls in the order they are prepared and restored.
enum Kind { kLevel, kSwitch, kSelector };
struct Control {
    uint32_t id;
    Kind kind;
};
constexpr Control kControls[kMixerSlots] = {
    {33, kLevel}, {35, kSwitch}, {5, kLevel}, {13, kSwitch}, {0, kSelector}, {6, kLevel}, {14, kSwitch},
};
constexpr int32_t kSelectorItems = 4;

}  // namespace

int32_t SetLevel(MixerPort& mixer, uint32_t control, int32_t value, int32_t threshold) {
    int32_t slots[2] = {0, 0};
    if (!mixer.Read(control, 1, slots)) return kMixerUnset;
    int32_t previous = slots[0];
    if (threshold > 0 && previous >= threshold) return previous;
    if (value == kMixerUnset) return kMixerUnset;
    slots[0] = slots[1] = value;
    if (!mixer.Write(control, 1, slots)) return kMixerUnset;
    return previous;
}

int32_t SetSwitch(MixerPort& mixer, uint32_t control, int32_t value) {
    int32_t slot = 0;
    if (!mixer.Read(control, 1, &slot)) return kMixerUnset;
    int32_t previous = slot;
    if (value == -1) return -1;
    slot = value;
    if (!mixer.Write(control, 1, &slot)) return kMixerUnset;
    return previous;
}

int32_t SetSelector(MixerPort& mixer, uint32_t control, int32_t count, int32_t index) {
    if (count <= 0 || count > 64) return kMixerUnset;
    int32_t items[64] = {};
    if (!mixer.Read(control, static_cast<uint32_t>(count), items)) return kMixerUnset;
    int32_t previous = kMixerUnset;
    for (int32_t i = 0; i < count; ++i)
        if (items[i] != 0) {
            previous = i;
            break;
        }
    if (index < 0 || index >= count) return kMixerUnset;
    items[0] = 0;
    items[index] = 1;
    if (!mixer.Write(control, static_cast<uint32_t>(count), items)) return kMixerUnset;
    return previous;
}

int PrepareMixer(MixerDevices& devices, MixerMemory& memory) {
    for (int i = 0; i < kMixerSlots - 1; ++i) memory.saved[i] = kMixerUnset;
    uint32_t n = devices.Count();
    memory.mixerIndex = 0;
    while (static_cast<uint32_t>(memory.mixerIndex) < n) {
        uint16_t pid = 0;
        if (devices.ProductId(static_cast<uint32_t>(memory.mixerIndex), &pid) &&
            pid == kBoardMixerProductId)
            break;
        ++memory.mixerIndex;
    }
    if (static_cast<uint32_t>(memory.mixerIndex) == n) return kNoBoardMixer;
    MixerPort* mixer = devices.Open(static_cast<uint32_t>(memory.mixerIndex));
    if (!mixer) return kMixerOpenFailed;
    for (int i = 0; i < kMixerSlots; ++i) {
        const Control& c = kControls[i];
        switch (c.kind) {
        case kLevel: memory.saved[i] = SetLevel(*mixer, c.id, kRaisedLevel, kAudibleLevel); break;
        case kSwitch: memory.saved[i] = SetSwitch(*mixer, c.id, 0); break;
        case kSelector: memory.saved[i] = SetSelector(*mixer, c.id, kSelectorItems, 0); break;
        }
    }
    devices.Close(mixer);
    return kMixerPrepared;
}

void RestoreMixer(MixerDevices& devices, MixerMemory& memory) {
    uint32_t n = devices.Count();
    if (memory.mixerIndex < 0 || static_cast<uint32_t>(memory.mixerIndex) == n) return;
    MixerPort* mixer = devices.Open(static_cast<uint32_t>(memory.mixerIndex));
    if (!mixer) return;
    for (int i = 0; i < kMixerSlots; ++i) {
        const Control& c = kControls[i];
        switch (c.kind) {
        case kLevel: SetLevel(*mixer, c.id, memory.saved[i], -1); break;
        case kSwitch: SetSwitch(*mixer, c.id, memory.saved[i]); break;
        case kSelector: SetSelector(*mixer, c.id, kSelectorItems, memory.saved[i]); break;
        }
    }
    devices.Close(mixer);
}
