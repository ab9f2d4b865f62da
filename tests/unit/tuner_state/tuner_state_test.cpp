#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tuner_state.h"

namespace {

// The settings file as the profile API shows it: text keys, integers read like
// GetPrivateProfileIntA (leading decimal, default when absent).
class FakeSettings : public SettingsStore {
public:
    std::map<std::string, std::string> keys;
    std::vector<std::string> writes;

    void ReadText(const char* key, const char* def, char* buffer, uint32_t size) override {
        auto it = keys.find(key);
        std::snprintf(buffer, size, "%s", it == keys.end() ? def : it->second.c_str());
    }
    int32_t ReadInt(const char* key, int32_t def) override {
        auto it = keys.find(key);
        return it == keys.end() ? def : static_cast<int32_t>(std::strtoll(it->second.c_str(), nullptr, 10));
    }
    void WriteInt(const char* key, int32_t value) override {
        keys[key] = std::to_string(value);
        writes.push_back(std::string(key) + "=" + std::to_string(value));
    }
};

class FakeTuner : public TunerLibrary {
public:
    std::vector<std::string> calls;
    int32_t status = 2;

    void Log(const char* name, long long v, const char* format = "%s(%lld)") {
        char text[64];
        std::snprintf(text, sizeof text, format, name, v);
        calls.push_back(text);
    }
    void SelChannel(uint32_t w) override { Log("SelChannel", w, "%s(0x%llX)"); }
    void SelInputSrc(uint32_t v) override { Log("SelInputSrc", v); }
    void SelVoiceMode(uint32_t v) override { Log("SelVoiceMode", v); }
    void SetBright(int32_t v) override { Log("SetBright", v); }
    void SetContrast(uint32_t v) override { Log("SetContrast", v); }
    void SetColor(uint32_t v) override { Log("SetColor", v); }
    void SetHue(int32_t v) override { Log("SetHue", v); }
    void SetVoice(int32_t v) override { Log("SetVoice", v); }
    int32_t GetStatusTV() override { calls.push_back("GetStatusTV"); return status; }
};

using Calls = std::vector<std::string>;

TunerState Loaded(FakeSettings& settings) {
    TunerState s{};
    LoadAll(s, settings);
    return s;
}

TEST(TunerStateLoad, NoFileGivesDefaults) {
    FakeSettings settings;
    TunerState s = Loaded(settings);
    for (const PresetEntry& p : s.presets) {
        EXPECT_EQ(p.channel, 0);
        EXPECT_STREQ(p.name, "");
    }
    EXPECT_EQ(s.validPresetCount, 0);
    EXPECT_EQ(s.currentPreset, 0);
    EXPECT_EQ(s.cableChannel, 63);
    EXPECT_EQ(s.source, kSourceTV);
    EXPECT_EQ(s.voiceMode, kVoiceMain);
    EXPECT_EQ(s.useCableTV, 0);
    EXPECT_EQ(s.brightness, 0);
    EXPECT_EQ(s.contrast, 56);
    EXPECT_EQ(s.color, 83);
    EXPECT_EQ(s.hue, 0);
    EXPECT_EQ(s.trimX, 130);
    EXPECT_EQ(s.trimY, 39);
    EXPECT_TRUE(settings.writes.empty());
}

TEST(TunerStateLoad, EveryKeyIsReadAndTheSelectionRoundTrips) {
    FakeSettings settings;
    settings.keys = {{"Channel1", "1,NHK"},     {"Channel5", "70,Cable"},  {"UseCableTV", "1"},
                     {"CurrentPreset", "4"},    {"CurrentCableTVChannel", "38"},
                     {"Source", "1"},           {"Voice", "3"},            {"Brightness", "-12"},
                     {"Contrast", "70"},        {"Color", "100"},          {"Hue", "-5"},
                     {"TrimX", "120"},          {"TrimY", "40"}};
    TunerState s = Loaded(settings);
    EXPECT_EQ(s.presets[0].channel, 1);
    EXPECT_STREQ(s.presets[0].name, "NHK");
    EXPECT_EQ(s.presets[4].channel, 70);
    ASSERT_EQ(s.validPresetCount, 2);
    EXPECT_EQ(s.validPresets[0], 0);
    EXPECT_EQ(s.validPresets[1], 4);
    EXPECT_EQ(s.useCableTV, 1);
    EXPECT_EQ(s.currentPreset, 4);
    EXPECT_EQ(s.cableChannel, 88);
    EXPECT_EQ(s.source, kSourceCATV);
    EXPECT_EQ(s.voiceMode, kVoiceMainSub);
    EXPECT_EQ(s.brightness, -12);
    EXPECT_EQ(s.contrast, 70);
    EXPECT_EQ(s.color, 100);
    EXPECT_EQ(s.hue, -5);
    EXPECT_EQ(s.trimX, 120);
    EXPECT_EQ(s.trimY, 40);

    FakeTuner tuner;
    SaveOnExit(s, settings, tuner);
    EXPECT_EQ(tuner.calls, Calls{"SetVoice(0)"});
    EXPECT_EQ(settings.writes,
              (Calls{"CurrentPreset=4", "CurrentCableTVChannel=38", "Source=1", "Voice=3"}));
    TunerState again = Loaded(settings);
    EXPECT_EQ(again.currentPreset, 4);
    EXPECT_EQ(again.cableChannel, 88);
    EXPECT_EQ(again.source, 1);
    EXPECT_EQ(again.voiceMode, 3);

    settings.writes.clear();
    SavePicture(s, settings);
    EXPECT_EQ(settings.writes, (Calls{"Brightness=-12", "Contrast=70", "Color=100", "Hue=-5"}));
}

TEST(TunerStateLoad, OutOfRangeSelectionIsCorrected) {
    FakeSettings settings;
    settings.keys = {{"Channel3", "5,A"}, {"Channel8", "9,B"}, {"CurrentPreset", "12"},
                     {"CurrentCableTVChannel", "5"}, {"Source", "7"}, {"Voice", "-1"}};
    TunerState s = Loaded(settings);
    EXPECT_EQ(s.currentPreset, 2);  // 12 -> 0, empty -> first valid
    EXPECT_EQ(s.cableChannel, 63);  // 5 + 50 is no cable channel
    EXPECT_EQ(s.source, 7);         // kept; applies nothing
    EXPECT_EQ(s.voiceMode, -1);

    settings.keys["CurrentPreset"] = "7";
    settings.keys["CurrentCableTVChannel"] = "2147483647";
    s = Loaded(settings);
    EXPECT_EQ(s.currentPreset, 7);
    EXPECT_EQ(s.cableChannel, 63);

    // No valid preset at all: the preset read stays (0 when out of range).
    FakeSettings empty;
    empty.keys = {{"CurrentPreset", "5"}};
    EXPECT_EQ(Loaded(empty).currentPreset, 5);
    empty.keys = {{"CurrentPreset", "-3"}};
    EXPECT_EQ(Loaded(empty).currentPreset, 0);
}

TEST(PresetText, ExamplesAndMalformedValues) {
    PresetEntry e{};
    EXPECT_TRUE(ParsePresetText("12,News", &e));
    EXPECT_EQ(e.channel, 12);
    EXPECT_STREQ(e.name, "News");
    EXPECT_TRUE(ParsePresetText("8,   Spaced", &e));
    EXPECT_STREQ(e.name, "Spaced");
    EXPECT_TRUE(ParsePresetText("88,X", &e));
    EXPECT_TRUE(ParsePresetText("1,X", &e));
    EXPECT_TRUE(ParsePresetText("12abc,Y", &e));  // the number ends at the first non-digit
    EXPECT_EQ(e.channel, 12);

    for (const char* bad : {"12,", "12,    ", "89,X", "0,X", "-5,X", "News", "", ",Name", "abc,Name",
                            "99999999999999999999,X", "-99999999999999999999,X"}) {
        e.channel = 7;
        std::strcpy(e.name, "old");
        EXPECT_FALSE(ParsePresetText(bad, &e)) << bad;
        EXPECT_EQ(e.channel, 0) << bad;
        EXPECT_STREQ(e.name, "") << bad;
    }
    EXPECT_FALSE(ParsePresetText(nullptr, &e));

    EXPECT_TRUE(ParsePresetText("3,ABCDEFGHIJKLMNOP", &e));
    EXPECT_STREQ(e.name, "ABCDEFGHIJKL");
    // Shift-JIS: a double-byte character that would straddle the 12th byte is left out.
    EXPECT_TRUE(ParsePresetText("3,ABCDEFGHIJK\x83\x65X", &e));
    EXPECT_STREQ(e.name, "ABCDEFGHIJK");
    EXPECT_TRUE(ParsePresetText("3,ABCDEFGHIJ\x83\x65X", &e));
    EXPECT_STREQ(e.name, "ABCDEFGHIJ\x83\x65");
}

TEST(PresetText, LoadedFromTheSettingsFile) {
    FakeSettings settings;
    settings.keys = {{"Channel3", "12,News"}, {"Channel4", "12,"}, {"Channel5", "89,X"},
                     {"Channel6", "70,Cable"}, {"Channel12", "62,Last"},
                     {"Channel1", std::string(60, '1')}};
    TunerState s = Loaded(settings);
    EXPECT_EQ(s.presets[2].channel, 12);
    EXPECT_STREQ(s.presets[2].name, "News");
    EXPECT_EQ(s.presets[3].channel, 0);
    EXPECT_EQ(s.presets[4].channel, 0);
    EXPECT_EQ(s.presets[5].channel, 70);
    EXPECT_EQ(s.presets[11].channel, 62);
    EXPECT_EQ(s.presets[0].channel, 0);
    ASSERT_EQ(s.validPresetCount, 3);
    EXPECT_EQ(s.validPresets[0], 2);
    EXPECT_EQ(s.validPresets[1], 5);
    EXPECT_EQ(s.validPresets[2], 11);

    // Only 31 characters are read: the comma at 32 is not seen.
    settings.keys = {{"Channel1", "5" + std::string(30, ' ') + ",Late"}};
    EXPECT_EQ(Loaded(settings).presets[0].channel, 0);
}

TEST(Channels, CableMappingAndLabels) {
    EXPECT_EQ(TunerWord(1), 1u);
    EXPECT_EQ(TunerWord(62), 62u);
    char label[12];
    for (int32_t n = 63; n <= 88; ++n) {
        FormatChannelLabel(n, label, sizeof label);
        EXPECT_EQ(std::string(label), "C" + std::to_string(n - 50));
        EXPECT_EQ(TunerWord(n), 0x10000u + static_cast<uint32_t>(n - 50));
    }
    for (int32_t n : {12, 0, 89}) {
        FormatChannelLabel(n, label, sizeof label);
        EXPECT_STREQ(label, n == 12 ? "12" : " ");
    }
    EXPECT_STREQ(SourceLabel(2), "S-Video");
    EXPECT_STREQ(SourceLabel(4), "");
    EXPECT_STREQ(VoiceModeLabel(3), "Main/Sub");
    EXPECT_STREQ(VoiceModeLabel(0), "");
}

TEST(Stepping, PresetsSkipEmptyAndWrap) {
    TunerState s{};
    s.presets[2].channel = 5;
    s.presets[7].channel = 70;
    s.currentPreset = 7;
    EXPECT_EQ(StepPreset(s, +1), 2);
    EXPECT_EQ(StepPreset(s, -1), 2);
    s.currentPreset = 2;
    EXPECT_EQ(StepPreset(s, +1), 7);
    EXPECT_EQ(StepPreset(s, -1), 7);

    FakeTuner tuner;
    s.source = kSourceTV;
    EXPECT_TRUE(StepChannel(s, tuner, +1));
    EXPECT_EQ(s.currentPreset, 7);
    EXPECT_EQ(tuner.calls, Calls{"SelChannel(0x10014)"});

    // A single valid preset is selected again; none at all changes nothing.
    s.presets[2].channel = 0;
    EXPECT_EQ(StepPreset(s, +1), 7);
    EXPECT_EQ(StepPreset(s, -1), 7);
    s.presets[7].channel = 0;
    tuner.calls.clear();
    EXPECT_TRUE(StepChannel(s, tuner, -1));
    EXPECT_EQ(s.currentPreset, 7);
    EXPECT_TRUE(tuner.calls.empty());
}

TEST(Stepping, CableChannelsWrapAndOtherSourcesRefuse) {
    TunerState s{};
    s.source = kSourceCATV;
    s.cableChannel = 88;
    FakeTuner tuner;
    EXPECT_TRUE(StepChannel(s, tuner, +1));
    EXPECT_EQ(s.cableChannel, 63);
    EXPECT_TRUE(StepChannel(s, tuner, -1));
    EXPECT_EQ(s.cableChannel, 88);
    EXPECT_EQ(tuner.calls, (Calls{"SelChannel(0x1000D)", "SelChannel(0x10026)"}));

    tuner.calls.clear();
    for (int32_t src : {2, 3, 9}) {
        s.source = src;
        EXPECT_FALSE(StepChannel(s, tuner, +1));
    }
    EXPECT_TRUE(tuner.calls.empty());
}

TEST(Selection, SelectPresetResults) {
    TunerState s{};
    s.presets[4].channel = 30;
    s.currentPreset = 1;
    FakeTuner tuner;
    EXPECT_EQ(SelectPreset(s, tuner, 12), 1);
    EXPECT_EQ(SelectPreset(s, tuner, 0xFFFFFFFFu), 1);
    EXPECT_EQ(SelectPreset(s, tuner, 3), 2);
    EXPECT_EQ(s.currentPreset, 1);
    EXPECT_TRUE(tuner.calls.empty());
    EXPECT_EQ(SelectPreset(s, tuner, 4), 0);
    EXPECT_EQ(s.currentPreset, 4);
    EXPECT_EQ(tuner.calls, Calls{"SelChannel(0x1E)"});
}

TEST(Sources, CycleAndLibraryCalls) {
    TunerState s{};
    s.presets[0].channel = 4;
    s.cableChannel = 75;
    s.useCableTV = 1;
    FakeTuner tuner;
    for (int i = 0; i < 4; ++i) ChangeSource(s, tuner);
    EXPECT_EQ(s.source, kSourceTV);
    EXPECT_EQ(tuner.calls, (Calls{"SelInputSrc(0)", "SelChannel(0x10019)", "SelInputSrc(15)",
                                  "SelInputSrc(5)", "SelInputSrc(0)", "SelChannel(0x4)"}));

    s.useCableTV = 0;
    EXPECT_EQ(NextSource(kSourceTV, 0), kSourceSVideo);
    EXPECT_EQ(NextSource(kSourceSVideo, 0), kSourceVideo);
    EXPECT_EQ(NextSource(kSourceVideo, 0), kSourceTV);
    EXPECT_EQ(NextSource(-4, 1), kSourceTV);

    tuner.calls.clear();
    s.source = 6;
    ApplySource(s, tuner);
    s.currentPreset = 40;  // set from outside; must not reach past the presets
    s.source = kSourceTV;
    ApplySource(s, tuner);
    EXPECT_EQ(tuner.calls, Calls{"SelInputSrc(0)"});
}

TEST(SoundModes, SequenceOnlyWithTvAndASoundKind) {
    TunerState s{};
    s.source = kSourceTV;
    s.voiceMode = kVoiceMain;
    s.soundKind = 2;
    FakeTuner tuner;
    tuner.status = 0x70003;  // only the low 16 bits count
    SoundModeStep r = StepSoundMode(s, tuner);
    EXPECT_TRUE(r.modeChanged);
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(s.soundKind, 3);
    StepSoundMode(s, tuner);
    StepSoundMode(s, tuner);
    EXPECT_EQ(s.voiceMode, kVoiceMain);
    EXPECT_EQ(tuner.calls, (Calls{"GetStatusTV", "SelVoiceMode(1)", "GetStatusTV", "SelVoiceMode(3)",
                                  "GetStatusTV", "SelVoiceMode(0)"}));

    // Mono broadcast: the mode stays, but the status change still counts.
    tuner.calls.clear();
    tuner.status = 0;
    r = StepSoundMode(s, tuner);
    EXPECT_FALSE(r.modeChanged);
    EXPECT_TRUE(r.changed);
    r = StepSoundMode(s, tuner);
    EXPECT_FALSE(r.changed);
    EXPECT_EQ(s.voiceMode, kVoiceMain);

    tuner.calls.clear();
    s.source = kSourceCATV;
    tuner.status = 2;
    r = StepSoundMode(s, tuner);
    EXPECT_FALSE(r.changed);
    EXPECT_TRUE(tuner.calls.empty());

    EXPECT_EQ(NextVoiceMode(0), kVoiceMain);
    ApplyVoiceMode(tuner, 4);
    EXPECT_TRUE(tuner.calls.empty());
}

TEST(ApplyAndReload, ExactLibraryCalls) {
    FakeSettings settings;
    settings.keys = {{"Channel2", "70,C"}, {"CurrentPreset", "1"}, {"Voice", "1"},
                     {"Brightness", "-20"}, {"Contrast", "65600"}, {"Color", "90"}, {"Hue", "-7"}};
    TunerState s = Loaded(settings);
    FakeTuner tuner;
    ApplyAll(s, tuner);
    EXPECT_EQ(tuner.calls, (Calls{"SelInputSrc(0)", "SelChannel(0x10014)", "SelVoiceMode(3)",
                                  "SetColor(90)", "SetBright(-20)", "SetContrast(64)", "SetHue(-7)",
                                  "SetVoice(1)"}));

    tuner.calls.clear();
    settings.keys["Brightness"] = "10";
    settings.keys["Hue"] = "3";
    ReloadPicture(s, settings, tuner);
    EXPECT_EQ(tuner.calls,
              (Calls{"SetBright(10)", "SetContrast(64)", "SetColor(90)", "SetHue(3)"}));
}

TEST(ApplyAndReload, ReloadPresetsLeavesCatvAndFindsAValidPreset) {
    FakeSettings settings;
    settings.keys = {{"Channel1", "3,A"}, {"UseCableTV", "1"}, {"Source", "1"},
                     {"CurrentPreset", "0"}, {"CurrentCableTVChannel", "20"}};
    TunerState s = Loaded(settings);
    EXPECT_EQ(s.source, kSourceCATV);

    settings.keys = {{"Channel4", "9,B"}, {"UseCableTV", "0"}};
    FakeTuner tuner;
    ReloadPresets(s, settings, tuner);
    EXPECT_EQ(s.source, kSourceTV);
    EXPECT_EQ(s.currentPreset, 3);
    EXPECT_EQ(tuner.calls, (Calls{"SelInputSrc(0)", "SelChannel(0x9)"}));

    settings.keys = {{"UseCableTV", "0"}};
    tuner.calls.clear();
    ReloadPresets(s, settings, tuner);
    EXPECT_EQ(s.currentPreset, 0);
    EXPECT_EQ(s.validPresetCount, 0);
    EXPECT_EQ(tuner.calls, (Calls{"SelInputSrc(0)", "SelChannel(0x0)"}));
}

TEST(PictureSteps, StepsAndLimits) {
    TunerState s{};
    FakeTuner tuner;
    s.color = 20;
    ColorDown(s, tuner);
    EXPECT_EQ(s.color, 4);
    ColorDown(s, tuner);
    ColorDown(s, tuner);
    EXPECT_EQ(s.color, 1);
    s.color = 160;
    ColorUp(s, tuner);
    EXPECT_EQ(s.color, 165);
    s.hue = 60;
    HueUp(s, tuner);
    EXPECT_EQ(s.hue, 63);
    s.hue = -60;
    HueDown(s, tuner);
    EXPECT_EQ(s.hue, -63);
    s.brightness = -28;
    BrightnessDown(s, tuner);
    EXPECT_EQ(s.brightness, -31);
    s.brightness = 28;
    BrightnessUp(s, tuner);
    EXPECT_EQ(s.brightness, 31);
    s.contrast = 84;
    ContrastUp(s, tuner);
    EXPECT_EQ(s.contrast, 87);
    s.contrast = 28;
    ContrastDown(s, tuner);
    EXPECT_EQ(s.contrast, 25);
    EXPECT_EQ(tuner.calls,
              (Calls{"SetColor(4)", "SetColor(1)", "SetColor(1)", "SetColor(165)", "SetHue(63)",
                     "SetHue(-63)", "SetBright(-31)", "SetBright(31)", "SetContrast(87)",
                     "SetContrast(25)"}));

    // Ordinary steps, and wild values from the file stay within reach of the limits.
    s.hue = 0;
    HueUp(s, tuner);
    EXPECT_EQ(s.hue, 12);
    s.contrast = 56;
    ContrastDown(s, tuner);
    EXPECT_EQ(s.contrast, 50);
    s.color = 83;
    ColorUp(s, tuner);
    EXPECT_EQ(s.color, 99);
    s.contrast = 3;
    ContrastDown(s, tuner);
    EXPECT_EQ(s.contrast, 25);
    s.color = 65530;
    ColorUp(s, tuner);
    EXPECT_EQ(s.color, 165);
    s.brightness = INT32_MIN;
    BrightnessDown(s, tuner);
    EXPECT_EQ(s.brightness, -31);
    s.hue = INT32_MAX;
    HueUp(s, tuner);
    EXPECT_EQ(s.hue, 63);
}

}  // namespace
