// The virtual TV board: the record shared by every process that touches the board, and the
// settings that decide how it behaves. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>

namespace board {

// The devices of the board, as they appear in the request log.
enum Device : uint32_t {
    kZtuner = 1,    // ZTUNER.VXD, the tuner driver
    kBoardMix = 2,  // BOARDMIX.DRV, the board's mixer
    kSpkd = 3,      // VZORSPKD.VXD, the machine-information driver of the support kit
    kDazidav = 4,   // DAZIDAV.VXD, the remote-control driver
    kFeed = 5,      // a channel's video file (code: the channel, result: a FeedError)
};

// Broadcast sound status as the control port presents it in bits 4-6.
enum SoundStatus : uint8_t {
    kSoundNone = 0,       // no broadcast (external input, no station)
    kSoundStereo = 3,
    kSoundBilingual = 4,
    kSoundMain = 5,
    kSoundSub = 6,
    kSoundMono = 7,
};

constexpr int kChannelCodes = 89;  // codes 1..62 broadcast, 63..88 cable
constexpr int kMixerControls = 7;
constexpr int kVideoPathLength = 260;  // a channel's video file, with its terminating zero

enum MixerKind : uint32_t { kLevel = 1, kSwitch = 2, kSelector = 3 };

struct MixerControl {
    uint32_t id;
    uint32_t kind;
    int32_t items;       // 1 for levels and switches, 4 for the selector
    int32_t values[4];   // levels and switches: values[0]; selector: one flag per item
};

struct Settings {
    uint8_t present;          // 0: ZTUNER.VXD refuses to load, as with no board fitted
    uint8_t mixerPresent;     // 0: BOARDMIX.DRV lists no device
    uint8_t identify;         // answer of request 29 (0x21 on a sound board)
    uint8_t boardStatus;      // answer of request 33 (1 when ready)
    uint32_t probeWord;       // answer of request 10 (non-zero when present)
    uint8_t inputStatus;      // answer of request 34
    uint8_t sound[kChannelCodes];  // status per channel code
    int32_t mixerInitial[kMixerControls];  // initial value (selector: item index)
    // Machine-information driver of the support kit.
    uint8_t spkdPresent;
    uint8_t spkdOsReady;
    uint8_t spkdIdCheck;
    uint8_t spkdRequestOk;    // 0: request 1 fails
    uint16_t spkdMachineId;
    uint8_t dazidavPresent;
    uint8_t reserved[13];
    // The video file feeding each channel code (empty: the test picture), a full path once
    // the board has read its settings.
    char video[kChannelCodes][kVideoPathLength];
};

struct LogEntry {
    uint32_t sequence;    // 1, 2, ... since the last reset
    uint32_t process;     // process id of the sender
    uint32_t device;      // Device
    uint32_t code;        // request number, or the mixer-driver message
    uint32_t inLength;    // as the sender gave it
    uint32_t outLength;
    uint32_t returned;    // bytes answered
    int32_t result;       // 1/0 for requests, MMRESULT for mixer messages
    uint8_t in[32];       // the first bytes of the input
    uint8_t out[32];      // the first bytes of the answer
};

constexpr uint32_t kMagic = 0x4B424F44;  // "KBOD"
constexpr uint32_t kVersion = 2;
constexpr uint32_t kLogCapacity = 4096;

struct State {
    uint32_t magic;
    uint32_t version;
    uint32_t size;
    Settings settings;

    // Tuner and video path.
    uint16_t channel;        // last code of request 16; 0 before any tuning
    uint8_t decoderInput;    // request 12: 0x00 tuner, 0x11, 0x21
    uint8_t path;            // request 28: 0, 1, 2, 0x10 while initialising
    uint8_t controlPort;     // last byte written with request 18
    uint8_t reserved0[3];
    uint32_t initCount;      // requests 13
    uint32_t overlayPrepares;  // requests 20
    uint32_t inputPrepares;    // requests 22
    uint8_t decoder[256];    // decoder registers by sub-address (request 21)
    uint8_t vp[256];         // video-processor registers (requests 24-27)
    uint32_t routing;        // DAZIDAV request 3: 0 Windows viewer, 1 DOS program

    // Mixer.
    MixerControl mixer[kMixerControls];
    int32_t mixerOpen;       // handles open now

    // Room for the picture and sound of the channels.
    uint32_t frameCounter;
    uint32_t feedSerial;       // changes with every reset: a process then opens its video files anew
    uint8_t feedReported[12];  // a bit per channel code whose video file has had its log line
    uint8_t reserved1[44];

    uint32_t logTotal;       // entries written since the reset; the ring keeps the last ones
    LogEntry log[kLogCapacity];
};

// Built-in settings: a board that is present and ready, a few stereo and bilingual stations.
Settings DefaultSettings();

// Reads the board settings text (the BOARD.INI format, see board_settings.cpp) over base.
// Unknown keys and malformed values are ignored; the result is always usable.
Settings ParseSettings(const char* text, size_t length, const Settings& base);

// Makes the relative video paths full paths under the board's folder; a path that would not
// fit is dropped (the channel keeps its test picture).
void ResolveVideoPaths(Settings& settings, const char* folder);

// Marks the log line of a channel's video file as written; false when it already was.
bool TakeFeedReport(State& state, uint32_t channel);

// Puts the board in its power-on state with the given settings; the log is emptied.
void Reset(State& state, const Settings& settings);

// The control port as request 19 presents it: written bits, with bits 4-6 the live status.
uint8_t ReadControlPort(const State& state);

// Status of what is on screen: the tuned channel on the tuner path, none otherwise.
uint8_t CurrentSound(const State& state);

// Picture freeze as the capture control register says.
inline bool Frozen(const State& state) { return (state.vp[0xB8] & 0x1F) == 0; }

// Answers one request of a device. Returns the success flag of DeviceIoControl; *returned
// gets the bytes written to out. Every request is logged.
bool Request(State& state, uint32_t process, uint32_t device, uint32_t code, const void* in,
             uint32_t inLength, void* out, uint32_t outLength, uint32_t* returned);

// Appends a log entry (used by the mixer as well).
LogEntry& AppendLog(State& state, uint32_t process, uint32_t device, uint32_t code,
                    const void* in, uint32_t inLength, uint32_t outLength);

// The mixer control with this identifier, or nullptr.
MixerControl* FindMixerControl(State& state, uint32_t id);

// Reads count values of a control into values; false for an unknown control.
bool MixerRead(State& state, uint32_t id, int32_t* values, uint32_t count);
// Writes count values; false for an unknown control.
bool MixerWrite(State& state, uint32_t id, const int32_t* values, uint32_t count);

}  // namespace board
