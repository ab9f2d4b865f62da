#include "tuner_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// atoi without its undefined overflow: saturates far outside any channel number.
int64_t LeadingNumber(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 0x7FFFFFFF) value = 0x80000000;
    }
    return negative ? -value : value;
}

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The first index in 0..11 holding a valid channel; -1 when none.
int32_t FirstValidPreset(const TunerState& s) {
    for (int32_t i = 0; i < kPresetCount; ++i)
        if (IsValidChannel(s.presets[i].channel)) return i;
    return -1;
}

uint32_t Low16(int32_t v) { return static_cast<uint32_t>(v) & 0xFFFF; }

}  // namespace

uint32_t TunerWord(int32_t n) {
    if (n < kFirstCableChannel) return static_cast<uint32_t>(n);
    return static_cast<uint32_t>(n - kCableNumberOffset) | kCableChannelBit;
}

void FormatChannelLabel(int32_t n, char* out, uint32_t size) {
    if (!out || size == 0) return;
    if (!IsValidChannel(n))
        std::snprintf(out, size, " ");
    else if (n < kFirstCableChannel)
        std::snprintf(out, size, "%d", static_cast<int>(n));
    else
        std::snprintf(out, size, "C%d", static_cast<int>(n - kCableNumberOffset));
}

const char* SourceLabel(int32_t source) {
    switch (source) {
    case kSourceTV: return "TV";
    case kSourceCATV: return "CATV";
    case kSourceSVideo: return "S-Video";
    case kSourceVideo: return "Video";
    default: return "";
    }
}

const char* VoiceModeLabel(int32_t mode) {
    switch (mode) {
    case kVoiceSub: return "Sub";
    case kVoiceMain: return "Main";
    case kVoiceMainSub: return "Main/Sub";
    default: return "";
    }
}

bool ParsePresetText(const char* text, PresetEntry* entry) {
    entry->channel = 0;
    std::memset(entry->name, 0, sizeof entry->name);
    if (!text) return false;
    const char* comma = std::strchr(text, ',');
    if (!comma) return false;
    const char* name = comma + 1;
    while (*name == ' ') ++name;
    if (*name == '\0') return false;
    const int64_t number = LeadingNumber(text);
    if (number < kFirstChannel || number > kLastChannel) return false;
    entry->channel = static_cast<int32_t>(number);
    // Never cut a double-byte character in half: a lone lead byte would swallow the terminator
    // when the name is drawn.
    size_t n = 0;
    while (n < kPresetNameBytes - 1 && name[n] != '\0') {
        const unsigned char c = static_cast<unsigned char>(name[n]);
        if (IsShiftJisLead(c)) {
            if (n + 2 > kPresetNameBytes - 1 || name[n + 1] == '\0') break;
            n += 2;
        } else {
            n += 1;
        }
    }
    std::memcpy(entry->name, name, n);
    return true;
}

void LoadPresets(TunerState& s, SettingsStore& settings) {
    s.validPresetCount = 0;
    for (int32_t i = 0; i < kPresetCount; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "Channel%d", static_cast<int>(i + 1));
        char text[kPresetTextChars + 1] = {};
        settings.ReadText(key, "", text, sizeof text);
        text[sizeof text - 1] = '\0';
        if (ParsePresetText(text, &s.presets[i])) s.validPresets[s.validPresetCount++] = i;
    }
    s.useCableTV = settings.ReadInt("UseCableTV", 0);
}

void LoadPicture(TunerState& s, SettingsStore& settings) {
    s.brightness = settings.ReadInt("Brightness", 0);
    s.contrast = settings.ReadInt("Contrast", 56);
    s.color = settings.ReadInt("Color", 83);
    s.hue = settings.ReadInt("Hue", 0);
    s.trimX = settings.ReadInt("TrimX", 130);
    s.trimY = settings.ReadInt("TrimY", 39);
}

void LoadAll(TunerState& s, SettingsStore& settings) {
    LoadPresets(s, settings);
    s.currentPreset = settings.ReadInt("CurrentPreset", 0);
    if (s.currentPreset < 0 || s.currentPreset >= kPresetCount) s.currentPreset = 0;
    if (!IsValidChannel(s.presets[s.currentPreset].channel)) {
        const int32_t first = FirstValidPreset(s);
        if (first >= 0) s.currentPreset = first;
    }
    const int64_t cable = static_cast<int64_t>(settings.ReadInt("CurrentCableTVChannel", 13)) +
                          kCableNumberOffset;
    s.cableChannel = (cable >= kFirstCableChannel && cable <= kLastChannel)
                         ? static_cast<int32_t>(cable)
                         : kFirstCableChannel;
    s.source = settings.ReadInt("Source", kSourceTV);
    s.voiceMode = settings.ReadInt("Voice", kVoiceMain);
    LoadPicture(s, settings);
}

void SaveOnExit(TunerState& s, SettingsStore& settings, TunerLibrary& tuner) {
    tuner.SetVoice(0);
    settings.WriteInt("CurrentPreset", s.currentPreset);
    settings.WriteInt("CurrentCableTVChannel", s.cableChannel - kCableNumberOffset);
    settings.WriteInt("Source", s.source);
    settings.WriteInt("Voice", s.voiceMode);
}

void SavePicture(const TunerState& s, SettingsStore& settings) {
    settings.WriteInt("Brightness", s.brightness);
    settings.WriteInt("Contrast", s.contrast);
    settings.WriteInt("Color", s.color);
    settings.WriteInt("Hue", s.hue);
}

void TuneChannel(TunerLibrary& tuner, int32_t n) { tuner.SelChannel(TunerWord(n)); }

int SelectPreset(TunerState& s, TunerLibrary& tuner, uint32_t index) {
    if (index >= static_cast<uint32_t>(kPresetCount)) return 1;
    const int32_t channel = s.presets[index].channel;
    if (!IsValidChannel(channel)) return 2;
    TuneChannel(tuner, channel);
    s.currentPreset = static_cast<int32_t>(index);
    return 0;
}

void ApplySource(const TunerState& s, TunerLibrary& tuner) {
    switch (s.source) {
    case kSourceTV:
        tuner.SelInputSrc(kInputTuner);
        // currentPreset is 0..11 after every load; guard against a value set from outside.
        if (s.currentPreset >= 0 && s.currentPreset < kPresetCount)
            TuneChannel(tuner, s.presets[s.currentPreset].channel);
        break;
    case kSourceCATV:
        tuner.SelInputSrc(kInputTuner);
        TuneChannel(tuner, s.cableChannel);
        break;
    case kSourceSVideo: tuner.SelInputSrc(kInputSVideo); break;
    case kSourceVideo: tuner.SelInputSrc(kInputVideo); break;
    default: break;
    }
}

void ApplyVoiceMode(TunerLibrary& tuner, int32_t mode) {
    switch (mode) {
    case kVoiceSub: tuner.SelVoiceMode(kLibraryVoiceSub); break;
    case kVoiceMain: tuner.SelVoiceMode(kLibraryVoiceMain); break;
    case kVoiceMainSub: tuner.SelVoiceMode(kLibraryVoiceMainSub); break;
    default: break;
    }
}

void ApplyAll(const TunerState& s, TunerLibrary& tuner) {
    ApplySource(s, tuner);
    ApplyVoiceMode(tuner, s.voiceMode);
    tuner.SetColor(Low16(s.color));
    tuner.SetBright(s.brightness);
    tuner.SetContrast(Low16(s.contrast));
    tuner.SetHue(s.hue);
    tuner.SetVoice(1);
}

void SetSound(TunerLibrary& tuner, int32_t on) { tuner.SetVoice(on); }

void ReloadPresets(TunerState& s, SettingsStore& settings, TunerLibrary& tuner) {
    LoadPresets(s, settings);
    if (s.useCableTV == 0 && s.source == kSourceCATV) s.source = kSourceTV;
    if (s.currentPreset < 0 || s.currentPreset >= kPresetCount ||
        !IsValidChannel(s.presets[s.currentPreset].channel)) {
        const int32_t first = FirstValidPreset(s);
        s.currentPreset = first >= 0 ? first : 0;
    }
    ApplySource(s, tuner);
}

void ReloadPicture(TunerState& s, SettingsStore& settings, TunerLibrary& tuner) {
    LoadPicture(s, settings);
    tuner.SetBright(s.brightness);
    tuner.SetContrast(Low16(s.contrast));
    tuner.SetColor(Low16(s.color));
    tuner.SetHue(s.hue);
}

bool PollStatus(TunerState& s, TunerLibrary& tuner) {
    const int32_t previous = s.soundKind;
    s.soundKind = static_cast<int32_t>(static_cast<uint32_t>(tuner.GetStatusTV()) & 0xFFFF);
    return s.soundKind != previous;
}

int32_t StepPreset(const TunerState& s, int direction) {
    const int32_t start =
        (s.currentPreset >= 0 && s.currentPreset < kPresetCount) ? s.currentPreset : 0;
    const int32_t step = direction < 0 ? kPresetCount - 1 : 1;
    for (int32_t i = (start + step) % kPresetCount; i != start; i = (i + step) % kPresetCount)
        if (IsValidChannel(s.presets[i].channel)) return i;
    return start;
}

int32_t StepCableChannel(int32_t channel, int direction) {
    if (direction < 0) return channel - 1 < kFirstCableChannel ? kLastChannel : channel - 1;
    return channel + 1 > kLastChannel ? kFirstCableChannel : channel + 1;
}

bool StepChannel(TunerState& s, TunerLibrary& tuner, int direction) {
    if (s.source == kSourceTV) {
        SelectPreset(s, tuner, static_cast<uint32_t>(StepPreset(s, direction)));
        return true;
    }
    if (s.source == kSourceCATV) {
        s.cableChannel = StepCableChannel(s.cableChannel, direction);
        TuneChannel(tuner, s.cableChannel);
        return true;
    }
    return false;
}

int32_t NextSource(int32_t source, int32_t useCableTV) {
    switch (source) {
    case kSourceTV: return useCableTV ? kSourceCATV : kSourceSVideo;
    case kSourceCATV: return kSourceSVideo;
    case kSourceSVideo: return kSourceVideo;
    default: return kSourceTV;
    }
}

void ChangeSource(TunerState& s, TunerLibrary& tuner) {
    s.source = NextSource(s.source, s.useCableTV);
    ApplySource(s, tuner);
}

int32_t NextVoiceMode(int32_t mode) {
    switch (mode) {
    case kVoiceMain: return kVoiceMainSub;
    case kVoiceMainSub: return kVoiceSub;
    default: return kVoiceMain;
    }
}

SoundModeStep StepSoundMode(TunerState& s, TunerLibrary& tuner) {
    SoundModeStep r{false, false};
    if (s.source != kSourceTV) return r;
    r.changed = PollStatus(s, tuner);
    if (s.soundKind >= 1 && s.soundKind <= 3) {
        s.voiceMode = NextVoiceMode(s.voiceMode);
        ApplyVoiceMode(tuner, s.voiceMode);
        r.modeChanged = true;
        r.changed = true;
    }
    return r;
}

// Brightness and hue are kept in int64 on the way so that a wild value from the file cannot
// overflow; the result is always back in the field's range.
void HueUp(TunerState& s, TunerLibrary& tuner) {
    s.hue = static_cast<int32_t>(std::min<int64_t>(int64_t{s.hue} + 12, 63));
    tuner.SetHue(s.hue);
}

void HueDown(TunerState& s, TunerLibrary& tuner) {
    s.hue = static_cast<int32_t>(std::max<int64_t>(int64_t{s.hue} - 12, -63));
    tuner.SetHue(s.hue);
}

// Colour and contrast are 16-bit unsigned values. The steps saturate rather than wrap, so that
// a value read far out of range still steps towards the limits instead of jumping past them.
void ColorUp(TunerState& s, TunerLibrary& tuner) {
    s.color = static_cast<int32_t>(std::min<uint32_t>(Low16(s.color) + 16, 165));
    tuner.SetColor(Low16(s.color));
}

void ColorDown(TunerState& s, TunerLibrary& tuner) {
    const uint32_t c = Low16(s.color);
    s.color = static_cast<int32_t>(c >= 17 ? c - 16 : 1);
    tuner.SetColor(Low16(s.color));
}

void ContrastUp(TunerState& s, TunerLibrary& tuner) {
    s.contrast = static_cast<int32_t>(std::min<uint32_t>(Low16(s.contrast) + 6, 87));
    tuner.SetContrast(Low16(s.contrast));
}

void ContrastDown(TunerState& s, TunerLibrary& tuner) {
    const uint32_t c = Low16(s.contrast);
    s.contrast = static_cast<int32_t>(c >= 25 + 6 ? c - 6 : 25);
    tuner.SetContrast(Low16(s.contrast));
}

void BrightnessUp(TunerState& s, TunerLibrary& tuner) {
    s.brightness = static_cast<int32_t>(std::min<int64_t>(int64_t{s.brightness} + 6, 31));
    tuner.SetBright(s.brightness);
}

void BrightnessDown(TunerState& s, TunerLibrary& tuner) {
    s.brightness = static_cast<int32_t>(std::max<int64_t>(int64_t{s.brightness} - 6, -31));
    tuner.SetBright(s.brightness);
}
