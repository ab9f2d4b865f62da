// The 187-byte hand-off record shared with the DOS full-screen TV program ("TVCTRL.INF") and
// left behind when the viewer ends ("TVCTRL.QIF"). Portable: the record is built and read
// field by field, little-endian, whatever the target.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kHandoffRecordSize = 187;
constexpr int kHandoffPresets = 12;

// The tuner panel's values as the record carries them.
struct HandoffValues {
    int32_t source;
    int32_t voiceMode;
    int32_t currentPreset;
    int32_t cableChannel;   // 63..88 for C13..C38
    int32_t brightness;
    int32_t contrast;
    int32_t color;
    int32_t hue;
    struct Preset {
        bool empty;
        int32_t channel;
        std::string name;   // at most 12 bytes are carried
    } presets[kHandoffPresets];
    int32_t frozen;
    int32_t useCableTV;
    uint32_t pnpAddress;    // the tuner library's GetPnpAdr
};

enum class HandoffState {
    kWaiting,     // not a record yet, the DOS program runs, or not taken over within 30 s
    kReturned,    // back to Windows
    kSwitchedOff, // the user switched the TV off in DOS: the viewer ends
};

class HandoffRecord {
public:
    // Zero at start; byte 182 keeps what the last record read back said.
    std::array<uint8_t, kHandoffRecordSize> bytes{};

    // Fills the record from the values (state 0).
    void Fill(const HandoffValues& values);

    // The state of a record read back from the DOS program, size bytes of data (a short or
    // foreign record keeps the viewer waiting). elapsedMs: time since the DOS box started.
    static HandoffState StateOf(const uint8_t* data, size_t size, uint32_t elapsedMs);

    // Takes over the values the DOS program changed (source, sound mode, preset, cable
    // channel, picture) and remembers its still flag. The data must hold a whole record. A
    // source outside 0..3, a preset outside 1..12 or a cable channel outside 13..38 keeps the
    // value held.
    void ReadBack(const uint8_t* data, HandoffValues& values);

    // The DOS program left a still picture in "TVCAPWIN.BMP".
    bool StillSaved() const { return bytes[182] != 0; }
};
