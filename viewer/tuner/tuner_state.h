// The viewer's tuner state: twelve channel presets, the cable channel, the input source, the
// sound mode and the picture values, with the operations the tuner panel, the multi-screen view,
// the voice commands and the DOS hand-off run on it. Portable: the settings file and the tuner
// library are reached through the two interfaces below, which the Win32 side binds.
#pragma once
#include <cstdint>

constexpr int kPresetCount = 12;
constexpr int kPresetNameBytes = 13;  // 12 characters and the NUL
constexpr int kPresetTextChars = 31;  // longest "Channel%d" value read

// Channel numbers: 1..62 terrestrial, 63..88 cable C13..C38.
constexpr int32_t kFirstChannel = 1;
constexpr int32_t kFirstCableChannel = 63;
constexpr int32_t kLastChannel = 88;
constexpr int32_t kCableNumberOffset = 50;
constexpr uint32_t kCableChannelBit = 0x10000;

enum TunerSource : int32_t { kSourceTV = 0, kSourceCATV = 1, kSourceSVideo = 2, kSourceVideo = 3 };
enum TunerVoiceMode : int32_t { kVoiceSub = 1, kVoiceMain = 2, kVoiceMainSub = 3 };

// The library's input codes and sound-mode codes.
constexpr uint32_t kInputTuner = 0;
constexpr uint32_t kInputSVideo = 15;
constexpr uint32_t kInputVideo = 5;
constexpr uint32_t kLibraryVoiceMain = 0;
constexpr uint32_t kLibraryVoiceMainSub = 1;
constexpr uint32_t kLibraryVoiceSub = 3;

struct PresetEntry {
    int32_t channel;               // 0 empty, 1..88
    char name[kPresetNameBytes];   // ANSI/Shift-JIS, NUL-terminated; the button's tip
};

struct TunerState {
    PresetEntry presets[kPresetCount];
    int32_t currentPreset;
    int32_t cableChannel;   // 63..88
    int32_t source;         // TunerSource; other values are kept and apply nothing
    int32_t voiceMode;      // TunerVoiceMode; likewise
    int32_t soundKind;      // low 16 bits of the last broadcast status
    int32_t brightness;
    int32_t contrast;       // used as unsigned 16-bit
    int32_t color;          // used as unsigned 16-bit
    int32_t hue;
    int32_t frozen;
    int32_t useCableTV;
    int32_t validPresetCount;
    int32_t validPresets[kPresetCount];
    int32_t trimX;          // read with the picture; no effect in the viewer
    int32_t trimY;
};

// The viewer's settings file, section "ZORTV".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Fills buffer (size bytes, always NUL-terminated) with the key's text or defaultText.
    virtual void ReadText(const char* key, const char* defaultText, char* buffer, uint32_t size) = 0;
    virtual int32_t ReadInt(const char* key, int32_t defaultValue) = 0;
    virtual void WriteInt(const char* key, int32_t value) = 0;
};

// The tuner library's operations used on this state. Their results are not examined, except
// the broadcast status.
class TunerLibrary {
public:
    virtual ~TunerLibrary() = default;
    virtual void SelChannel(uint32_t word) = 0;
    virtual void SelInputSrc(uint32_t source) = 0;
    virtual void SelVoiceMode(uint32_t mode) = 0;
    virtual void SetBright(int32_t level) = 0;
    virtual void SetContrast(uint32_t level) = 0;
    virtual void SetColor(uint32_t level) = 0;
    virtual void SetHue(int32_t level) = 0;
    virtual void SetVoice(int32_t on) = 0;
    virtual int32_t GetStatusTV() = 0;
};

// --- Channels ---------------------------------------------------------------------------------

inline bool IsValidChannel(int32_t n) { return n >= kFirstChannel && n <= kLastChannel; }
// The argument of SelChannel: n below 63, else (n - 50) with the cable bit.
uint32_t TunerWord(int32_t n);
// "%d" below 63, "C%d" of n - 50 from 63 on, a single space outside 1..88. out holds 12 bytes.
void FormatChannelLabel(int32_t n, char* out, uint32_t size);
// "TV", "CATV", "S-Video", "Video"; "" for any other value.
const char* SourceLabel(int32_t source);
// "Sub", "Main", "Main/Sub"; "" for any other value.
const char* VoiceModeLabel(int32_t mode);

// Parses a "Channel%d" value: a decimal channel number, a comma, the name. False (entry empty)
// unless the text has a comma, something other than spaces follows it and the number is 1..88.
bool ParsePresetText(const char* text, PresetEntry* entry);

// --- Settings ---------------------------------------------------------------------------------

void LoadPresets(TunerState& s, SettingsStore& settings);
void LoadPicture(TunerState& s, SettingsStore& settings);
// Start-up: presets, current selection, source, sound mode and picture, corrected as needed.
void LoadAll(TunerState& s, SettingsStore& settings);
// Sound off, then the current selection written back.
void SaveOnExit(TunerState& s, SettingsStore& settings, TunerLibrary& tuner);
// The four picture keys, for the values taken back from the DOS program.
void SavePicture(const TunerState& s, SettingsStore& settings);

// --- Applying to the library ------------------------------------------------------------------

void TuneChannel(TunerLibrary& tuner, int32_t n);
// 0 done, 1 index above 11, 2 the preset holds no valid channel (nothing changes).
int SelectPreset(TunerState& s, TunerLibrary& tuner, uint32_t index);
void ApplySource(const TunerState& s, TunerLibrary& tuner);
void ApplyVoiceMode(TunerLibrary& tuner, int32_t mode);
void ApplyAll(const TunerState& s, TunerLibrary& tuner);
void SetSound(TunerLibrary& tuner, int32_t on);
// The setup program changed the presets: reload, leave CATV when it is no longer offered, find
// a valid current preset and apply the source.
void ReloadPresets(TunerState& s, SettingsStore& settings, TunerLibrary& tuner);
// The setup program changed the picture values: reload and apply them.
void ReloadPicture(TunerState& s, SettingsStore& settings, TunerLibrary& tuner);
// Reads the broadcast sound status; true when soundKind changed.
bool PollStatus(TunerState& s, TunerLibrary& tuner);

// --- Stepping ---------------------------------------------------------------------------------

// The next (+1) or previous (-1) preset from the current one, modulo 12, that holds a valid
// channel; the current preset when no other does.
int32_t StepPreset(const TunerState& s, int direction);
// The next or previous cable channel, wrapping 88 -> 63 and 63 -> 88.
int32_t StepCableChannel(int32_t channel, int direction);
// Channel up/down for the TV and CATV sources: selects the stepped preset or tunes the stepped
// cable channel. False for any other source (the panel beeps).
bool StepChannel(TunerState& s, TunerLibrary& tuner, int direction);

// TV -> CATV (when offered) or S-Video -> Video -> TV; any other value -> TV.
int32_t NextSource(int32_t source, int32_t useCableTV);
// Moves to the next source and applies it.
void ChangeSource(TunerState& s, TunerLibrary& tuner);
// Main -> Main/Sub -> Sub -> Main; any other value -> Main.
int32_t NextVoiceMode(int32_t mode);

struct SoundModeStep {
    bool modeChanged;  // the sound mode moved on and was applied
    bool changed;      // the mode or the broadcast sound status changed
};
// The sound-mode button: only with the TV source, and the mode moves on only while the
// broadcast has a sound kind of 1..3.
SoundModeStep StepSoundMode(TunerState& s, TunerLibrary& tuner);

// --- Picture steps (stored and applied at once, not saved) -------------------------------------

void HueUp(TunerState& s, TunerLibrary& tuner);
void HueDown(TunerState& s, TunerLibrary& tuner);
void ColorUp(TunerState& s, TunerLibrary& tuner);    // lighter
void ColorDown(TunerState& s, TunerLibrary& tuner);  // deeper
void ContrastUp(TunerState& s, TunerLibrary& tuner);
void ContrastDown(TunerState& s, TunerLibrary& tuner);
void BrightnessUp(TunerState& s, TunerLibrary& tuner);
void BrightnessDown(TunerState& s, TunerLibrary& tuner);
