// Any bytes as "ZORTV.INI": the "Window" setting, the twelve "Channel%d" presets and the tuner
// values read at start, then the steps a user takes on what was read. The state must come out
// usable: the current preset in range, names ended, every channel sent to the tuner valid.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "../common/fuzz_ini.h"
#include "tuner_state.h"
#include "window_setting.h"

namespace {

class IniSettings : public SettingsStore {
public:
    explicit IniSettings(const fuzzini::File& file) : file_(file) {}
    void ReadText(const char* key, const char* defaultText, char* buffer, uint32_t size) override {
        file_.Text("ZORTV", key, defaultText, buffer, size);
    }
    int32_t ReadInt(const char* key, int32_t defaultValue) override { return file_.Int("ZORTV", key, defaultValue); }
    void WriteInt(const char*, int32_t) override {}

private:
    const fuzzini::File& file_;
};

class CheckedTuner : public TunerLibrary {
public:
    void SelChannel(uint32_t word) override {
        // 0: an empty preset, which the library refuses; anything else must be a channel.
        if (word == 0) return;
        const uint32_t n = word & 0xFFFF;
        if (word & kCableChannelBit) {
            if (n + kCableNumberOffset < uint32_t(kFirstCableChannel) || n + kCableNumberOffset > uint32_t(kLastChannel))
                __builtin_trap();
        } else if (n < uint32_t(kFirstChannel) || n >= uint32_t(kFirstCableChannel)) {
            __builtin_trap();
        }
    }
    void SelInputSrc(uint32_t) override {}
    void SelVoiceMode(uint32_t) override {}
    void SetBright(int32_t) override {}
    void SetContrast(uint32_t) override {}
    void SetColor(uint32_t) override {}
    void SetHue(int32_t) override {}
    void SetVoice(int32_t) override {}
    int32_t GetStatusTV() override { return status++; }
    int32_t status = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzzini::File file(data, size);

    char window[64];
    file.Text("ZORTV", "Window", kWindowSettingDefault, window, sizeof window);
    const WindowSetting w = ParseWindowSetting(window);
    (void)w;

    IniSettings settings(file);
    TunerState s{};
    LoadAll(s, settings);
    if (s.currentPreset < 0 || s.currentPreset >= kPresetCount) __builtin_trap();
    if (s.validPresetCount < 0 || s.validPresetCount > kPresetCount) __builtin_trap();
    for (const PresetEntry& p : s.presets) {
        if (std::memchr(p.name, 0, sizeof p.name) == nullptr) __builtin_trap();
        if (p.channel != 0 && !IsValidChannel(p.channel)) __builtin_trap();
    }

    CheckedTuner tuner;
    char label[12];
    ApplyAll(s, tuner);
    for (int i = 0; i < kPresetCount + 2; ++i) {
        SelectPreset(s, tuner, uint32_t(i));
        FormatChannelLabel(s.presets[i % kPresetCount].channel, label, sizeof label);
    }
    for (int i = 0; i < 30; ++i) {
        StepChannel(s, tuner, (i & 1) ? 1 : -1);
        if (i % 5 == 0) ChangeSource(s, tuner);
        StepSoundMode(s, tuner);
        HueUp(s, tuner);
        ColorDown(s, tuner);
        ContrastUp(s, tuner);
        BrightnessDown(s, tuner);
    }
    SourceLabel(s.source);
    VoiceModeLabel(s.voiceMode);
    ReloadPresets(s, settings, tuner);
    ReloadPicture(s, settings, tuner);
    return 0;
}
