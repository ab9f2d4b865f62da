#include <algorithm>
#include <cstring>

#include "board_state.h"

namespace board {

namespace {

// Mixer controls of the board's sound hardware, in the order the viewer prepares them.
constexpr struct {
    uint32_t id;
    uint32_t kind;
    int32_t items;
} kControls[kMixerControls] = {
    {33, kLevel, 1}, {35, kSwitch, 1}, {5, kLevel, 1}, {13, kSwitch, 1},
    {0, kSelector, 4}, {6, kLevel, 1}, {14, kSwitch, 1},
};

uint8_t In8(const void* in, uint32_t index) { return static_cast<const uint8_t*>(in)[index]; }

}  // namespace

Settings DefaultSettings() {
    Settings s{};
    s.present = 1;
    s.mixerPresent = 1;
    s.identify = 0x21;
    s.boardStatus = 1;
    s.probeWord = 0x00000300;
    s.inputStatus = 0x55;
    for (auto& v : s.sound) v = kSoundMono;
    s.sound[0] = kSoundNone;
    s.sound[1] = kSoundStereo;
    s.sound[3] = kSoundBilingual;
    s.sound[6] = kSoundStereo;
    s.sound[12] = kSoundMain;
    s.sound[63] = kSoundStereo;
    // Levels low enough that the viewer raises them, the mute on, the second input selected.
    const int32_t initial[kMixerControls] = {500, 1, 2048, 0, 2, 500, 1};
    std::copy(initial, initial + kMixerControls, s.mixerInitial);
    s.spkdPresent = 1;
    s.spkdOsReady = 1;
    s.spkdIdCheck = 0;
    s.spkdRequestOk = 1;
    s.spkdMachineId = 0;
    s.dazidavPresent = 1;
    return s;
}

void Reset(State& state, const Settings& settings) {
    std::memset(&state, 0, sizeof state);
    state.magic = kMagic;
    state.version = kVersion;
    state.size = sizeof(State);
    state.settings = settings;
    state.decoderInput = 0x00;
    state.controlPort = 0xFF;
    // Power-on decoder values: what the tuner library writes by default.
    state.decoder[0x19] = 154;
    state.decoder[0x13] = 57;
    state.decoder[0x12] = 64;
    state.decoder[0x07] = 0;
    // Overlay off, capture running.
    state.vp[0x8E] = 0x00;
    state.vp[0x9C] = 0x00;
    state.vp[0xB8] = 0x1F;
    for (int i = 0; i < kMixerControls; ++i) {
        MixerControl& c = state.mixer[i];
        c.id = kControls[i].id;
        c.kind = kControls[i].kind;
        c.items = kControls[i].items;
        int32_t v = settings.mixerInitial[i];
        if (c.kind == kSelector) {
            if (v >= 0 && v < c.items) c.values[v] = 1;
        } else {
            c.values[0] = v;
        }
    }
}

uint8_t CurrentSound(const State& state) {
    if (state.path != 0 || state.decoderInput != 0x00) return kSoundNone;
    if (state.channel == 0 || state.channel >= kChannelCodes) return kSoundNone;
    return state.settings.sound[state.channel] & 7;
}

uint8_t ReadControlPort(const State& state) {
    return static_cast<uint8_t>((state.controlPort & 0x8F) | (CurrentSound(state) << 4));
}

LogEntry& AppendLog(State& state, uint32_t process, uint32_t device, uint32_t code,
                    const void* in, uint32_t inLength, uint32_t outLength) {
    LogEntry& e = state.log[state.logTotal % kLogCapacity];
    std::memset(&e, 0, sizeof e);
    e.sequence = ++state.logTotal;
    e.process = process;
    e.device = device;
    e.code = code;
    e.inLength = inLength;
    e.outLength = outLength;
    if (in) std::memcpy(e.in, in, std::min<uint32_t>(inLength, sizeof e.in));
    return e;
}

bool Request(State& state, uint32_t process, uint32_t device, uint32_t code, const void* in,
             uint32_t inLength, void* out, uint32_t outLength, uint32_t* returned) {
    LogEntry& e = AppendLog(state, process, device, code, in, inLength, outLength);
    uint8_t answer[4] = {};
    uint32_t answerLength = 0;
    bool ok = true;
    // need(n): the input must carry n bytes.
    auto need = [&](uint32_t n) { return in != nullptr && inLength >= n; };

    if (device == kZtuner) {
        switch (code) {
        case 10:
            answerLength = 4;
            for (int i = 0; i < 4; ++i) answer[i] = (state.settings.probeWord >> (8 * i)) & 0xFF;
            break;
        case 12:
            if ((ok = need(1))) state.decoderInput = In8(in, 0);
            break;
        case 13:
            ++state.initCount;
            break;
        case 16:
            if ((ok = need(2))) state.channel = static_cast<uint16_t>(In8(in, 0) | In8(in, 1) << 8);
            break;
        case 18:
            if ((ok = need(1))) state.controlPort = In8(in, 0);
            break;
        case 19:
            answerLength = outLength >= 2 ? 2 : 1;
            answer[0] = ReadControlPort(state);
            break;
        case 20:
            ++state.overlayPrepares;
            break;
        case 21:
            if ((ok = need(2))) state.decoder[In8(in, 1)] = In8(in, 0);
            break;
        case 22:
            ++state.inputPrepares;
            break;
        case 24:
            if ((ok = need(1))) {
                answerLength = 1;
                answer[0] = state.vp[In8(in, 0)];
            }
            break;
        case 25:
            if ((ok = need(1))) {
                uint8_t r = In8(in, 0);
                answerLength = 2;
                answer[0] = state.vp[r];
                answer[1] = state.vp[static_cast<uint8_t>(r + 1)];
            }
            break;
        case 26:
            if ((ok = need(3))) state.vp[In8(in, 2)] = In8(in, 0);
            break;
        case 27:
            if ((ok = need(3))) {
                uint8_t r = In8(in, 2);
                state.vp[r] = In8(in, 0);
                state.vp[static_cast<uint8_t>(r + 1)] = In8(in, 1);
            }
            break;
        case 28:
            if ((ok = need(1))) state.path = In8(in, 0);
            break;
        case 29:
            answerLength = 1;
            answer[0] = need(1) && In8(in, 0) == 9 ? state.settings.identify : 0;
            break;
        case 33:
            answerLength = 1;
            answer[0] = state.settings.boardStatus;
            break;
        case 34:
            answerLength = 1;
            answer[0] = state.settings.inputStatus;
            break;
        default:
            ok = false;
        }
    } else if (device == kSpkd) {
        if (code == 1 && need(4) && state.settings.spkdRequestOk) {
            answerLength = 4;
            answer[0] = state.settings.spkdOsReady;
            answer[1] = state.settings.spkdIdCheck;
            answer[2] = state.settings.spkdMachineId & 0xFF;
            answer[3] = state.settings.spkdMachineId >> 8;
        } else {
            ok = false;
        }
    } else if (device == kDazidav) {
        // The input length itself is the request: 1 gives the remote to Windows, 0 to DOS.
        if (code == 3) state.routing = inLength == 1 ? 0 : 1;
        else ok = false;
    } else {
        ok = false;
    }

    // An answer longer than the caller's buffer is cut, as a driver copies what fits.
    uint32_t written = 0;
    if (ok && answerLength) {
        written = out ? std::min(answerLength, outLength) : 0;
        if (written) std::memcpy(out, answer, written);
        if (answerLength == 2 && written == 2 && code == 19) static_cast<uint8_t*>(out)[1] = 0;
    }
    if (returned) *returned = written;
    e.returned = written;
    e.result = ok ? 1 : 0;
    if (written) std::memcpy(e.out, out, std::min<uint32_t>(written, sizeof e.out));
    return ok;
}

bool TakeFeedReport(State& state, uint32_t channel) {
    if (channel >= sizeof state.feedReported * 8) return false;
    uint8_t& bits = state.feedReported[channel / 8];
    const uint8_t bit = uint8_t(1u << (channel % 8));
    if (bits & bit) return false;
    bits |= bit;
    return true;
}

MixerControl* FindMixerControl(State& state, uint32_t id) {
    for (auto& c : state.mixer)
        if (c.id == id && c.kind != 0) return &c;
    return nullptr;
}

bool MixerRead(State& state, uint32_t id, int32_t* values, uint32_t count) {
    MixerControl* c = FindMixerControl(state, id);
    if (!c) return false;
    for (uint32_t i = 0; i < count; ++i) {
        // A level or switch read for more channels repeats its one value.
        if (c->kind == kSelector) values[i] = i < 4 ? c->values[i] : 0;
        else values[i] = c->values[0];
    }
    return true;
}

bool MixerWrite(State& state, uint32_t id, const int32_t* values, uint32_t count) {
    MixerControl* c = FindMixerControl(state, id);
    if (!c) return false;
    if (count == 0) return true;
    if (c->kind == kSelector) {
        for (uint32_t i = 0; i < count && i < 4; ++i) c->values[i] = values[i] ? 1 : 0;
    } else {
        c->values[0] = values[0];
    }
    return true;
}

}  // namespace board
