#include "tuner_core.h"

#include "vanvp_ini.h"

namespace kvtun {

PictureRegisters ComputePicture(int32_t brightnessLevel, uint32_t contrastLevel) {
    // The levels become 0..100 percentages first; the decoder's brightness rises with both.
    const uint16_t k = static_cast<uint16_t>((static_cast<int32_t>(contrastLevel) * 100 - 2400) / 63);
    const uint16_t b = static_cast<uint16_t>((brightnessLevel * 100 + 3200) / 63);
    const double contrast = ((k * 0.49) + 21) / 100 * 127;
    const double brightness = ((b * 0.3) + (k * 0.49) + 21) / 100 * 255;
    return {static_cast<uint8_t>(static_cast<int32_t>(contrast)),
            static_cast<uint8_t>(static_cast<int32_t>(brightness))};
}

// Driver exchanges ---------------------------------------------------------------------

uint8_t Tuner::ReadPort() {
    uint8_t port = 0;
    Send(kReqReadPort, nullptr, 0, &port, 1);
    return port;
}

void Tuner::WriteDecoder(uint8_t reg, uint8_t value) {
    const uint8_t in[2] = {value, reg};
    Send(kReqWriteDecoder, in, 2, nullptr, 0);
}

uint8_t Tuner::ReadVp8(uint8_t reg) {
    uint8_t value = 0;
    Send(kReqReadVp8, &reg, 1, &value, 1);
    return value;
}

uint16_t Tuner::ReadVp16(uint8_t reg) {
    uint8_t value[2] = {};
    Send(kReqReadVp16, &reg, 1, value, 2);
    return static_cast<uint16_t>(value[0] | value[1] << 8);
}

void Tuner::WriteVp8(uint8_t reg, uint8_t value) {
    const uint8_t in[4] = {value, 0, reg, 0};
    Send(kReqWriteVp8, in, 4, nullptr, 0);
}

void Tuner::WriteVp16(uint8_t reg, uint16_t value) {
    const uint8_t in[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), reg, 0};
    Send(kReqWriteVp16, in, 4, nullptr, 0);
}

void Tuner::Wait(uint32_t ms) {
    if (ms > 1000) return;
    LockHold hold(host_);
    const uint32_t start = host_.Ticks();
    for (;;) {
        const uint32_t elapsed = host_.Ticks() - start;
        if (elapsed > ms || elapsed > 1000) return;
    }
}

// Attach and detach ----------------------------------------------------------------------

void Tuner::LoadSettings() { ReadVanvp(host_, s_); }

void Tuner::ReloadOffsets() { ReadVanvpOffsets(host_, s_); }

bool Tuner::Probe() {
    {
        LockHold hold(host_);
        uint8_t word[4] = {};
        Send(kReqProbe, nullptr, 0, word, 4);
        s_.probeWord = static_cast<uint32_t>(word[0] | word[1] << 8 | word[2] << 16) |
                       static_cast<uint32_t>(word[3]) << 24;
    }
    if (s_.probeWord == 0) return false;
    uint8_t identity = 0;
    {
        LockHold hold(host_);
        const uint8_t nine = 9;
        Send(kReqIdentify, &nine, 1, &identity, 1);
    }
    if (identity != 0x21) return false;
    uint8_t status = 0;
    {
        LockHold hold(host_);
        Send(kReqBoardStatus, nullptr, 0, &status, 1);
    }
    return status == 1;
}

void Tuner::PutToRest() {
    SetVoice(0);
    LockHold hold(host_);
    SendByte(kReqWritePort, kPortAtRest);
}

// Channel, input and sound -------------------------------------------------------------

int32_t Tuner::SelChannel(uint32_t word) {
    LockHold hold(host_);
    s_.tuningBusy = 1;
    const uint32_t number = word & 0xFFFF;
    uint16_t code = 0;
    if ((word >> 17) == 0) {
        if (word & 0x10000) {
            if (number >= 13 && number <= 38) code = static_cast<uint16_t>(number + 50);
        } else if (number >= 1 && number <= 62) {
            code = static_cast<uint16_t>(number);
        }
    }
    if (code == 0) {
        s_.tuningBusy = 0;
        return -1;
    }
    SetMute(1);
    Wait(40);
    const uint8_t in[2] = {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8)};
    Send(kReqTune, in, 2, nullptr, 0);
    Wait(50);
    Wait(40);
    SetMute(0);
    s_.tuningBusy = 0;
    return 0;
}

int32_t Tuner::SelVoiceMode(uint32_t mode) {
    LockHold hold(host_);
    const uint32_t m = mode & 0xFFFF;
    if (m != 0 && m != 1 && m != 3) return -1;
    s_.voiceMode = mode;
    uint8_t port[2] = {};
    Send(kReqReadPort, nullptr, 0, port, 2);
    SendByte(kReqWritePort, static_cast<uint8_t>((port[0] & 0xFC) | (~m & 3)));
    return 0;
}

int32_t Tuner::SetMute(int32_t flag) {
    if (flag != 0 && flag != 1) return -1;
    LockHold hold(host_);
    uint8_t port = static_cast<uint8_t>((ReadPort() & ~0x08) | 0xF0);
    if (flag == 1) port |= 0x08;
    SendByte(kReqWritePort, port);
    return 0;
}

int32_t Tuner::SelInputSrc(uint32_t source) {
    const uint16_t src = static_cast<uint16_t>(source);
    uint8_t input = 0, path = 0;
    switch (src) {
    case 0: input = 0x00; path = 0; break;
    case 5:
    case 10: input = 0x11; path = 1; break;
    case 15: input = 0x21; path = 2; break;
    default: return -1;
    }
    SetMute(1);
    Wait(40);
    {
        LockHold hold(host_);
        Send(kReqPrepareInput);
    }
    {
        LockHold hold(host_);
        SendByte(kReqSelectInput, input);
        Wait(40);
        SendByte(kReqSelectPath, path);
    }
    Wait(40);
    if (src == 0) SelVoiceMode(s_.voiceMode);
    SetMute(0);
    s_.inputSource = src;
    return 0;
}

int32_t Tuner::GetStatusTV() {
    uint8_t port;
    {
        LockHold hold(host_);
        port = ReadPort();
    }
    switch ((port >> 4) & 7) {
    case 7: return 0;
    case 6: return 1;
    case 5: return 2;
    case 4: return 3;
    case 3: return 4;
    default: return 5;
    }
}

int32_t Tuner::GetInputSrc() {
    uint8_t status = 0;
    {
        LockHold hold(host_);
        Send(kReqInputStatus, nullptr, 0, &status, 1);
    }
    int32_t flags = 0;
    if (status & 0x40) flags |= 2;
    if (status & 0x10) flags |= 4;
    if (status & 0x04) flags |= 8;
    if (!(status & 0x01)) flags |= 0x10;
    return flags;
}

int32_t Tuner::SetVoice(int32_t flag) {
    bool found = false;
    uint32_t device = 0;
    const uint32_t count = host_.MixerCount();
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t productId = 0;
        if (host_.MixerProductId(i, productId) == 0 && productId == 23) {
            found = true;
            device = i;
        }
    }
    if (!found) return 1;
    uintptr_t mixer = 0;
    if (host_.MixerOpen(device, mixer) != 0) return 3;
    // Control 35 is the board's mute switch.
    const uint32_t result = host_.MixerSetValue(mixer, 35, flag == 0 ? 1 : 0);
    host_.MixerClose(mixer);
    return static_cast<int32_t>(result);
}

// Picture controls ---------------------------------------------------------------------

void Tuner::ApplyPicture(bool brightnessFirst) {
    const PictureRegisters r = ComputePicture(s_.brightnessLevel, s_.contrastLevel);
    s_.decoderContrast = r.contrast;
    s_.decoderBrightness = r.brightness;
    LockHold hold(host_);
    if (brightnessFirst) {
        WriteDecoder(kDecBrightness, r.brightness);
        WriteDecoder(kDecContrast, r.contrast);
    } else {
        WriteDecoder(kDecContrast, r.contrast);
        WriteDecoder(kDecBrightness, r.brightness);
    }
}

int32_t Tuner::SetBright(int32_t level) {
    if (level < -32 || level > 31) return -1;
    s_.brightnessLevel = level;
    ApplyPicture(true);
    return 0;
}

int32_t Tuner::SetContrast(uint32_t level) {
    const uint16_t l = static_cast<uint16_t>(level);
    if (l < 24 || l > 87) return -1;
    s_.contrastLevel = l;
    ApplyPicture(false);
    return 0;
}

int32_t Tuner::SetColor(uint32_t level) {
    const uint16_t l = static_cast<uint16_t>(level);
    if (l > 165) return -1;
    s_.decoderSaturation = static_cast<uint32_t>(static_cast<int32_t>(l / 165.0 * 127));
    LockHold hold(host_);
    WriteDecoder(kDecSaturation, static_cast<uint8_t>(s_.decoderSaturation));
    return 0;
}

int32_t Tuner::SetHue(int32_t level) {
    if (level < -64 || level > 63) return -1;
    s_.decoderHue = level / 2;
    LockHold hold(host_);
    WriteDecoder(kDecHue, static_cast<uint8_t>(s_.decoderHue));
    return 0;
}

// Still picture and overlay ------------------------------------------------------------

int32_t Tuner::StillTV2(uint32_t flag) {
    switch (flag & 0xFFFF) {
    case 1: {
        const uint8_t control = ReadVp8(kVpCapture);
        s_.stillSaved = control;
        WriteVp8(kVpCapture, control & 0xE0);
        return 0;
    }
    case 0:
        if (s_.stillSaved == 0) return -1;
        WriteVp8(kVpCapture, s_.stillSaved);
        s_.stillSaved = 0;
        return 0;
    default:
        return -1;
    }
}

int32_t Tuner::GetInstance() {
    auto read = [this](uint8_t reg) {
        LockHold hold(host_);
        return ReadVp8(reg);
    };
    if (!(read(kVpOverlayA) & 0x10)) return 0;
    if (!(read(kVpOverlayB) & 0x10)) return 0;
    auto read10 = [&](uint8_t reg) {
        const uint32_t low = read(reg);
        return low | (read(static_cast<uint8_t>(reg + 1)) & 3u) << 8;
    };
    const uint32_t vs = read10(kVpVertStart);
    const uint32_t ve = read10(kVpVertEnd);
    const uint32_t hs = read10(kVpHorzStart);
    const uint32_t he = read10(kVpHorzEnd);
    if ((vs == 0 && ve == 0) || (hs == 0 && he == 0)) return 0;
    if (vs + 1 == ve && hs + 1 == he) return 0;
    if (ve < vs || he < hs) return 0;
    return 1;
}

int32_t Tuner::GetOverLayPos(int32_t axis) {
    uint8_t start, end;
    if (axis == 0) {
        start = kVpHorzStart;
        end = kVpHorzEnd;
    } else if (axis == 1) {
        start = kVpVertStart;
        end = kVpVertEnd;
    } else {
        return 0;
    }
    LockHold hold(host_);
    const uint32_t s = ReadVp16(start);
    const uint32_t e = ReadVp16(end);
    return static_cast<int32_t>(s << 16 | e);
}

int32_t Tuner::SetOverLayPos(int32_t axis, uint32_t value) {
    if (axis != 0 && axis != 1) return -1;
    {
        LockHold hold(host_);
        WriteVp16(axis == 0 ? kVpHorzStart : kVpVertStart, static_cast<uint16_t>(value >> 16));
        WriteVp16(axis == 0 ? kVpHorzEnd : kVpVertEnd, static_cast<uint16_t>(value));
    }
    ReloadOffsets();
    return 0;
}

int32_t Tuner::MoveOverLayPos(uint32_t direction) {
    const uint16_t d = static_cast<uint16_t>(direction);
    if (d > 3) return -1;
    const bool horizontal = d < 2;
    const int32_t delta = (d == 0 || d == 2) ? -2 : 2;
    const uint8_t startReg = horizontal ? kVpHorzStart : kVpVertStart;
    const uint8_t endReg = horizontal ? kVpHorzEnd : kVpVertEnd;
    uint16_t start, end;
    {
        LockHold hold(host_);
        start = ReadVp16(startReg);
        end = ReadVp16(endReg);
    }
    int32_t& offset = horizontal ? s_.offsetX : s_.offsetY;
    const int32_t moved = offset + delta;
    if (moved > 32 || moved < -32) return 0;
    offset = moved;
    LockHold hold(host_);
    Send(kReqPrepareWindow);
    WriteVp16(startReg, static_cast<uint16_t>(start + delta));
    WriteVp16(endReg, static_cast<uint16_t>(end + delta));
    return 0;
}

int32_t Tuner::SetDefOverLayPos(int32_t width, int32_t height, int32_t bitsPerPixel) {
    const bool mode = (width == 640 && height == 480) || (width == 800 && height == 600) ||
                      (width == 1024 && height == 768);
    const bool depth = bitsPerPixel == 8 || bitsPerPixel == 16 ||
                       (bitsPerPixel == 24 && width != 1024);
    if (!mode || !depth) return -1;
    {
        LockHold hold(host_);
        WriteVp16(kVpVertStart, 46);
        WriteVp16(kVpVertEnd, 502);
        WriteVp16(kVpHorzStart, 125);
        WriteVp16(kVpHorzEnd, 855);
    }
    s_.offsetX = 0;
    s_.offsetY = 0;
    return 0;
}

// Initialisation and the rest ----------------------------------------------------------

int32_t Tuner::SetColorMode(int32_t) {
    if (!host_.MarkBoardInitialised()) return 0;
    SetMute(1);
    {
        LockHold hold(host_);
        Send(kReqInitBoard);
    }
    Wait(40);
    {
        LockHold hold(host_);
        SendByte(kReqSelectPath, 0x10);
    }
    {
        LockHold hold(host_);
        WriteDecoder(kDecBrightness, static_cast<uint8_t>(s_.decoderBrightness));
        WriteDecoder(kDecContrast, static_cast<uint8_t>(s_.decoderContrast));
        WriteDecoder(kDecSaturation, static_cast<uint8_t>(s_.decoderSaturation));
        WriteDecoder(kDecHue, static_cast<uint8_t>(s_.decoderHue));
    }
    uint8_t input, path;
    switch (s_.inputSource) {
    case 0: input = 0x11; path = 1; break;
    case 1: input = 0x00; path = 0; break;
    case 2: input = 0x21; path = 2; break;
    default: return 0;
    }
    LockHold hold(host_);
    SendByte(kReqSelectInput, input);
    Wait(40);
    SendByte(kReqSelectPath, path);
    SendByte(kReqWritePort, kPortAtRest);
    return 0;
}

int32_t Tuner::StillTV(int32_t) { return -1; }

int32_t Tuner::GetUseTuner() { return s_.tuningBusy; }

int32_t Tuner::SaveConfig() {
    WriteVanvp(host_, s_);
    return 0;
}

}  // namespace kvtun
