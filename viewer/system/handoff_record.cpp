#include "handoff_record.h"

#include <cstring>

namespace {

constexpr size_t kStateByte = 3;
constexpr uint32_t kTakeOverMs = 30000;

uint8_t Low(int32_t v) { return static_cast<uint8_t>(v & 0xFF); }
int32_t Signed(uint8_t b) { return static_cast<int8_t>(b); }

}  // namespace

void HandoffRecord::Fill(const HandoffValues& v) {
    bytes[0] = 'T';
    bytes[1] = 'V';
    bytes[2] = 0x02;
    bytes[3] = 0;
    bytes[4] = Low(v.source);
    // Sound mode codes of the DOS program; a mode it does not know leaves the byte alone.
    switch (v.voiceMode) {
    case 1: bytes[5] = 2; break;
    case 2: bytes[5] = 0; break;
    case 3: bytes[5] = 1; break;
    }
    bytes[6] = Low(v.currentPreset + 1);
    bytes[7] = Low(v.cableChannel - 50);
    bytes[8] = Low(v.brightness);
    bytes[9] = Low(v.contrast);
    bytes[10] = Low(v.color);
    bytes[11] = Low(v.hue);
    for (int i = 0; i < kHandoffPresets; ++i) {
        uint8_t* entry = &bytes[12 + 14 * i];
        std::memset(entry, 0, 14);
        const auto& p = v.presets[i];
        entry[0] = p.empty ? 255 : Low(p.channel);
        std::memcpy(entry + 1, p.name.data(), p.name.size() < 12 ? p.name.size() : 12);
    }
    bytes[180] = Low(v.frozen);
    bytes[181] = Low(v.useCableTV);
    for (int i = 0; i < 4; ++i) bytes[183 + i] = static_cast<uint8_t>(v.pnpAddress >> (8 * i));
}

HandoffState HandoffRecord::StateOf(const uint8_t* data, size_t size, uint32_t elapsedMs) {
    if (!data || size < kHandoffRecordSize || data[0] != 'T' || data[1] != 'V') return HandoffState::kWaiting;
    switch (data[kStateByte]) {
    case 1: return HandoffState::kWaiting;
    case 0: return elapsedMs < kTakeOverMs ? HandoffState::kWaiting : HandoffState::kReturned;
    case 2:
    case 4: return HandoffState::kSwitchedOff;
    }
    return HandoffState::kReturned;
}

void HandoffRecord::ReadBack(const uint8_t* data, HandoffValues& v) {
    // A source, preset or cable channel the viewer has no use for is refused: the viewer keeps
    // its own, instead of saving and later tuning a value the DOS program made up.
    if (Signed(data[4]) >= 0 && Signed(data[4]) <= 3) v.source = Signed(data[4]);
    switch (data[5]) {
    case 0: v.voiceMode = 2; break;
    case 1: v.voiceMode = 3; break;
    case 2: v.voiceMode = 1; break;
    }
    if (Signed(data[6]) >= 1 && Signed(data[6]) <= kHandoffPresets) v.currentPreset = Signed(data[6]) - 1;
    if (Signed(data[7]) >= 13 && Signed(data[7]) <= 38) v.cableChannel = Signed(data[7]) + 50;
    v.brightness = Signed(data[8]);
    v.contrast = data[9];
    v.color = data[10];
    v.hue = Signed(data[11]);
    bytes[182] = data[182];
}
