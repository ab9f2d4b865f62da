// Any bytes as "TVCTRL.INF" written back by the DOS program: the state is read from any length,
// a whole record is taken back into the tuner state, and the viewer then applies that state and
// writes the next record. Nothing read may select outside the presets or send a bad channel.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "handoff_record.h"
#include "tuner_state.h"

namespace {

class CheckedTuner : public TunerLibrary {
public:
    void SelChannel(uint32_t word) override {
        // 0: an empty preset, which the library refuses; anything else must be a channel.
        if (word == 0) return;
        const uint32_t n = word & 0xFFFF;
        const bool cable = (word & kCableChannelBit) != 0;
        if (cable ? (n + kCableNumberOffset < uint32_t(kFirstCableChannel) || n + kCableNumberOffset > uint32_t(kLastChannel))
                  : (n < uint32_t(kFirstChannel) || n >= uint32_t(kFirstCableChannel)))
            __builtin_trap();
    }
    void SelInputSrc(uint32_t) override {}
    void SelVoiceMode(uint32_t) override {}
    void SetBright(int32_t) override {}
    void SetContrast(uint32_t) override {}
    void SetColor(uint32_t) override {}
    void SetHue(int32_t) override {}
    void SetVoice(int32_t) override {}
    int32_t GetStatusTV() override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint32_t elapsed = uint32_t(data[0]) * 400u;
    const std::vector<uint8_t> file(data + 1, data + size);  // exact size: over-reads are caught

    const HandoffState state = HandoffRecord::StateOf(file.data(), file.size(), elapsed);
    if (file.size() < kHandoffRecordSize) {
        if (state != HandoffState::kWaiting) __builtin_trap();
        return 0;
    }

    // A tuner state as the viewer holds it before the hand-off.
    TunerState s{};
    for (int i = 0; i < kPresetCount; ++i) {
        s.presets[i].channel = i % 3 ? 1 + i * 7 : 0;
        std::snprintf(s.presets[i].name, sizeof s.presets[i].name, "CH%d", i);
    }
    s.currentPreset = 1;
    s.cableChannel = 70;
    s.voiceMode = kVoiceMain;

    HandoffRecord record;
    HandoffValues v{};
    v.source = s.source;
    v.voiceMode = s.voiceMode;
    v.currentPreset = s.currentPreset;
    v.cableChannel = s.cableChannel;
    record.ReadBack(file.data(), v);
    s.source = v.source;
    s.voiceMode = v.voiceMode;
    s.currentPreset = v.currentPreset;
    s.cableChannel = v.cableChannel;
    s.brightness = v.brightness;
    s.contrast = v.contrast;
    s.color = v.color;
    s.hue = v.hue;

    if (s.currentPreset < 0 || s.currentPreset >= kPresetCount || !IsValidChannel(s.cableChannel) ||
        s.cableChannel < kFirstCableChannel || s.source < 0 || s.source > 3)
        __builtin_trap();

    CheckedTuner tuner;
    ApplyAll(s, tuner);
    StepChannel(s, tuner, 1);
    StepChannel(s, tuner, -1);

    HandoffValues again{};
    again.source = s.source;
    again.voiceMode = s.voiceMode;
    again.currentPreset = s.currentPreset;
    again.cableChannel = s.cableChannel;
    for (int i = 0; i < kHandoffPresets; ++i) {
        again.presets[i].empty = s.presets[i].channel == 0;
        again.presets[i].channel = s.presets[i].channel;
        again.presets[i].name = s.presets[i].name;
    }
    record.Fill(again);
    if (record.bytes[0] != 'T' || record.bytes[1] != 'V' || record.bytes[3] != 0) __builtin_trap();
    if (record.StillSaved() != (file[182] != 0)) __builtin_trap();
    return 0;
}
