// The viewer's audio mixer preparation and restoration. Portable: the mixer is reached through
// the two interfaces below, which the Win32 side binds to the system's mixer functions.
#pragma once
#include <cstdint>

// One open mixer device.
class MixerPort {
public:
    virtual ~MixerPort() = default;
    // Reads items 32-bit values of a control; false when the read fails.
    virtual bool Read(uint32_t control, uint32_t items, int32_t* values) = 0;
    virtual bool Write(uint32_t control, uint32_t items, const int32_t* values) = 0;
};

// The mixer devices of the machine.
class MixerDevices {
public:
    virtual ~MixerDevices() = default;
    virtual uint32_t Count() = 0;
    // Product identifier of a device; false when its capabilities cannot be read.
    virtual bool ProductId(uint32_t index, uint16_t* productId) = 0;
    // nullptr when the device cannot be opened.
    virtual MixerPort* Open(uint32_t index) = 0;
    virtual void Close(MixerPort* port) = 0;
};

// The marker of a control that was not read or not written.
constexpr int32_t kMixerUnset = -63;
constexpr uint16_t kBoardMixerProductId = 23;
constexpr int kMixerSlots = 7;

struct MixerMemory {
    int32_t mixerIndex;
    int32_t saved[kMixerSlots];
};

enum PrepareResult : int { kMixerPrepared = 0, kNoBoardMixer = 1, kMixerOpenFailed = 3 };

int32_t SetLevel(MixerPort& mixer, uint32_t control, int32_t value, int32_t threshold);
int32_t SetSwitch(MixerPort& mixer, uint32_t control, int32_t value);
int32_t SetSelector(MixerPort& mixer, uint32_t control, int32_t count, int32_t index);

int PrepareMixer(MixerDevices& devices, MixerMemory& memory);
void RestoreMixer(MixerDevices& devices, MixerMemory& memory);
