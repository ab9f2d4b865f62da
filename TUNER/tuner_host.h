// What the tuner library needs of the machine, as one abstract interface: the tuner driver,
// the request lock, the millisecond clock, the board's mixer, the settings file and the
// machine-wide "board initialised" marker. The Win32 binding implements it over VxdControl,
// a CRITICAL_SECTION, GetTickCount, the hw mixer, the profile API and a named semaphore;
// native tests implement it with a recording fake. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <string>

namespace kvtun {

class TunerHost {
public:
    virtual ~TunerHost() = default;

    // One driver request. Answers shorter than outLength leave the rest of out untouched;
    // the success flag is not reported because the library never looks at it.
    virtual void Request(uint32_t code, const void* in, uint32_t inLength, void* out,
                         uint32_t outLength) = 0;

    // The recursive request lock.
    virtual void Enter() = 0;
    virtual void Leave() = 0;

    // The system's millisecond tick count (wraps).
    virtual uint32_t Ticks() = 0;

    // Mixer devices, as winmm numbers them. Results are MMRESULT codes (0 = success).
    virtual uint32_t MixerCount() = 0;
    virtual uint32_t MixerProductId(uint32_t device, uint16_t& productId) = 0;
    virtual uint32_t MixerOpen(uint32_t device, uintptr_t& mixer) = 0;
    // Sets a one-channel, one-item control through an open mixer handle.
    virtual uint32_t MixerSetValue(uintptr_t mixer, uint32_t controlId, int32_t value) = 0;
    virtual void MixerClose(uintptr_t mixer) = 0;

    // The settings file. ReadSetting gives false when the key (or the file) is missing.
    virtual bool ReadSetting(const char* section, const char* key, std::string& value) = 0;
    virtual void WriteSetting(const char* section, const char* key, const std::string& value) = 0;

    // The machine-wide mark of the one-time board initialisation: true when this call made it,
    // false when some process already had.
    virtual bool MarkBoardInitialised() = 0;
};

// Holds the request lock for a scope; recursive use is expected.
class LockHold {
public:
    explicit LockHold(TunerHost& host) : host_(host) { host_.Enter(); }
    ~LockHold() { host_.Leave(); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    TunerHost& host_;
};

}  // namespace kvtun
