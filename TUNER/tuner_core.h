// The tuner library's operations over an abstract host: channel, input, sound, picture
// controls, overlay window, still picture, the one-time board initialisation, the attach
// probe and the settings file. Portable: no windows.h.
#pragma once
#include <cstdint>

#include "tuner_host.h"

namespace kvtun {

// Driver requests of ZTUNER.VXD.
enum Request : uint32_t {
    kReqProbe = 10,
    kReqSelectInput = 12,
    kReqInitBoard = 13,
    kReqTune = 16,
    kReqWritePort = 18,
    kReqReadPort = 19,
    kReqPrepareWindow = 20,
    kReqWriteDecoder = 21,
    kReqPrepareInput = 22,
    kReqReadVp8 = 24,
    kReqReadVp16 = 25,
    kReqWriteVp8 = 26,
    kReqWriteVp16 = 27,
    kReqSelectPath = 28,
    kReqIdentify = 29,
    kReqBoardStatus = 33,
    kReqInputStatus = 34,
};

// Decoder sub-addresses (SAA7110) and video-processor registers.
enum Register : uint8_t {
    kDecHue = 0x07,
    kDecSaturation = 0x12,
    kDecContrast = 0x13,
    kDecBrightness = 0x19,
    kVpOverlayA = 0x8E,
    kVpOverlayB = 0x9C,
    kVpVertStart = 0xA4,
    kVpVertEnd = 0xA6,
    kVpHorzStart = 0xA8,
    kVpHorzEnd = 0xAA,
    kVpCapture = 0xB8,
};

constexpr uint8_t kPortAtRest = 0xFB;

// The per-process library state. The operating-system objects of the record (the driver
// handle, the request lock and the two semaphores) belong to the host that binds them.
struct TunerLibState {
    uint32_t probeWord = 0;
    uint16_t tuningBusy = 0;
    uint16_t inputSource = 0;
    uint32_t voiceMode = 0;
    int32_t brightnessLevel = 0;
    uint16_t contrastLevel = 56;
    uint32_t decoderBrightness = 154;
    uint32_t decoderContrast = 57;
    uint32_t decoderSaturation = 64;
    int32_t decoderHue = 0;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    uint8_t stillSaved = 0;
};

// Decoder register values for a brightness level and a contrast level.
struct PictureRegisters {
    uint8_t contrast;
    uint8_t brightness;
};
PictureRegisters ComputePicture(int32_t brightnessLevel, uint32_t contrastLevel);

class Tuner {
public:
    Tuner(TunerLibState& state, TunerHost& host) : s_(state), host_(host) {}

    // Process attach, after the driver is open: read the settings file and probe the board.
    // False when the probe fails (the caller tells the user; the library stays usable).
    void LoadSettings();
    bool Probe();
    // Last process to detach: sound off and the control port at rest.
    void PutToRest();

    // The exports, with their 32-bit arguments and results.
    int32_t StillTV(int32_t);
    int32_t GetStatusTV();
    int32_t SelChannel(uint32_t word);
    int32_t SelVoiceMode(uint32_t mode);
    int32_t SelInputSrc(uint32_t source);
    int32_t GetInputSrc();
    int32_t SetBright(int32_t level);
    int32_t SetContrast(uint32_t level);
    int32_t SetColor(uint32_t level);
    int32_t SetHue(int32_t level);
    int32_t StillTV2(uint32_t flag);
    int32_t SetVoice(int32_t flag);
    int32_t GetInstance();
    int32_t GetUseTuner();
    int32_t SetMute(int32_t flag);
    int32_t SaveConfig();
    int32_t MoveOverLayPos(uint32_t direction);
    int32_t GetOverLayPos(int32_t axis);
    int32_t SetOverLayPos(int32_t axis, uint32_t value);
    int32_t SetDefOverLayPos(int32_t width, int32_t height, int32_t bitsPerPixel);
    int32_t SetColorMode(int32_t);

    // Busy-waits for more than ms milliseconds (at most a second) holding the lock.
    void Wait(uint32_t ms);

private:
    void Send(uint32_t code, const void* in, uint32_t inLength, void* out, uint32_t outLength) {
        host_.Request(code, in, inLength, out, outLength);
    }
    void Send(uint32_t code) { Send(code, nullptr, 0, nullptr, 0); }
    void SendByte(uint32_t code, uint8_t value) { Send(code, &value, 1, nullptr, 0); }
    uint8_t ReadPort();
    void WriteDecoder(uint8_t reg, uint8_t value);
    uint8_t ReadVp8(uint8_t reg);
    uint16_t ReadVp16(uint8_t reg);
    void WriteVp8(uint8_t reg, uint8_t value);
    void WriteVp16(uint8_t reg, uint16_t value);
    void ApplyPicture(bool brightnessFirst);
    void ReloadOffsets();

    TunerLibState& s_;
    TunerHost& host_;
};

}  // namespace kvtun
