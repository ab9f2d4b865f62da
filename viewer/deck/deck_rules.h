// The video deck's parameters, their steps and labels. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <string>

constexpr int32_t kIntervalCount = 21;
// Milliseconds between the frames of a still mosaic, by interval index.
extern const int32_t kCaptureIntervals[kIntervalCount];

struct DeckSettings {
    int32_t frameRate = 10;     // 1..30
    int32_t soundRate22k = 0;   // 0 11,025 Hz, 1 22,050 Hz
    int32_t sound16Bit = 0;
    int32_t soundStereo = 0;
    int32_t stillGrid = 1;      // 1..5
    int32_t intervalIndex = 3;  // 0..20
    int32_t movieMode = 0;      // "Capture": 1 Movie, 0 Still
};

// Values as read from the settings file, brought into the ranges the deck relies on: a value
// out of range takes the default (the deck itself never writes one).
DeckSettings SettingsFromStored(int32_t frameRate, int32_t soundRate, int32_t soundBits, int32_t soundMode,
                                int32_t frames, int32_t interval, int32_t capture);

// The Minus and Plus buttons: the interval in Still mode, the frame rate in Movie mode.
void StepDeckParameter(DeckSettings& s, bool stillMode, int direction);
// The Grid button: 1, 2, 3, 4, 5, 1, ...
inline int32_t NextStillGrid(int32_t grid) { return grid % 5 + 1; }

// The "FRAME" label and its pixel height (13 below four characters, else 11).
struct FrameLabel {
    std::string text;
    int32_t height;
};
FrameLabel DeckFrameLabel(const DeckSettings& s, bool stillMode);

const char* SoundRateLabel(int32_t rate22k);
const char* SoundBitsLabel(int32_t bits16);
const char* SoundModeLabel(int32_t stereo);
std::string StillCountLabel(int32_t grid);

// The "DISKSPACE" label: the clip's length while one is open, else the capture drive's room.
std::string DiskSpaceLabel(bool clipOpen, uint32_t clipLengthMs, int32_t driveIndex, uint32_t usableBytes);

// The sound of a recording: a PCM format record (18 bytes, little-endian) for the deck's flags.
std::array<uint8_t, 18> DeckAudioFormat(const DeckSettings& s);
uint32_t DeckAudioBytesPerSecond(const DeckSettings& s);

// Seconds a recording may last on `usable` bytes:
// (usable - 4,094) / ((frameBytes + 16) x frameRate + audio bytes per second + 16); 0 when that
// is 0 or above 32,767 (the disk-space message, no recording).
uint32_t RecordingSeconds(uint32_t usableBytes, uint32_t frameBytes, int32_t frameRate, uint32_t audioBytesPerSecond);

// The editor's command line for a clip: its program and the clip's path, within 259 characters.
std::string EditorCommandLine(const std::string& clipPath);

// The file name part of a path (after the last backslash or slash).
std::string FileNamePart(const std::string& path);
// The path with its file name replaced.
std::string WithFileName(const std::string& path, const std::string& name);
// Whether two names are the same, letter case aside (ASCII letters).
bool SameNameIgnoringCase(const std::string& a, const std::string& b);
