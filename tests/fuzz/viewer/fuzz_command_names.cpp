// Any bytes as one advise of the remote-control link: the name is cut as the link cuts it,
// passes or not the filter in any window state, goes through the dispatcher's decision and,
// when no table row takes it, to the voice receiver's words and "VEXT," forms.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "command_filter.h"
#include "command_table.h"
#include "voice_logic.h"

namespace {

class Service : public VoiceService {
public:
    int answer = kVoiceServiceOk;
    int Register(const char*, uint16_t* id) override {
        *id = 7;
        return answer;
    }
    int Enable(int, uint16_t) override { return answer; }
};

class Host : public VoiceHost {
public:
    int calls = 0;
    void MaximiseMainWindow() override { ++calls; }
    void ClickMainWindow(uint32_t) override { ++calls; }
    bool MultiScreenSelection(int* cell, int* columns, int* w, int* h) override {
        *cell = 5;
        *columns = 3;
        *w = 100;
        *h = 75;
        return true;
    }
    bool SelectPresetNamed(const char* name) override {
        // "PRESET" and a decimal index, ended inside the receiver's 24-byte buffer.
        if (std::strncmp(name, "PRESET", 6) != 0 || std::strlen(name) >= 24) __builtin_trap();
        ++calls;
        return std::strcmp(name, "PRESET0") == 0;
    }
    bool UsesCableTV() override { return true; }
    int Source() override { return source; }
    void SetSource(int s) override { source = s; }
    void NextSource() override { source = (source + 1) % 4; }
    void RepaintCurrentPreset() override {}
    void MultiScreen() override {}
    void Setup() override {}
    void PictureStep(int step) override {
        if (step < kHueUp || step > kBrightnessDown) __builtin_trap();
    }
    bool DeckHasFrames() override { return frames; }
    void DeckSetStillGrid(int grid) override {
        if (grid < 1 || grid > 5) __builtin_trap();
    }
    void DeckGridAction() override {}
    void DeckStillMode() override { frames = true; }
    void DeckMovieMode() override { frames = false; }
    void DeckLoad() override {}
    void DeckSave() override {}
    int source = 0;
    bool frames = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t bits = data[0];
    const uint8_t* advise = data + 1;
    const size_t n = size - 1;

    // The link's buffer: cleared, at most 261 bytes copied, so always ended.
    char name[kMaxCommandName + 1] = {};
    std::memcpy(name, advise, n < kMaxCommandName ? n : kMaxCommandName);

    FilterContext filter{};
    filter.mouseCaptured = bits & 1;
    filter.setupWindowExists = bits & 2;
    filter.voiceReceiverExists = bits & 4;
    filter.ownWindowActive = bits & 8;
    filter.mainWindowDragging = (bits & 0x30) == 0x30;
    filter.hasActiveWindow = bits & 0x40;
    // The active window's title read into 32 bytes: here the name itself, as a hostile title.
    char title[32] = {};
    std::memcpy(title, name, std::strlen(name) < 31 ? std::strlen(name) : 31);
    filter.activeTitle = (bits & 0x80) ? title : "ピコノート";
    const bool passes = FilterPassesName(name, filter);
    if (filter.mouseCaptured && passes) __builtin_trap();

    DispatchContext dispatch{};
    dispatch.commandBusy = false;
    dispatch.mainWindowExists = true;
    dispatch.mainWindowEnabled = true;
    dispatch.tunerPanelExists = true;
    dispatch.tunerPanelEnabled = true;
    dispatch.voiceReceiverExists = true;
    const DispatchDecision d = DecideDispatch(name, dispatch);
    const int32_t row = FindCommand(name);
    if (d.action == DispatchAction::kQueueTable && (row < 0 || row >= kCommandCount || d.rowIndex != row))
        __builtin_trap();
    if (d.action != DispatchAction::kQueueVoice) return 0;

    // The receiver keeps 262 bytes of what it is handed.
    char commandText[262] = {};
    std::strncpy(commandText, name, sizeof commandText - 1);
    Service service;
    service.answer = (bits & 0x10) ? kVoiceServiceOk : 3;
    VoiceRegistration registration;
    Host host;
    RunVoiceCommand(registration, service, commandText, host);
    long index = 0;
    if (ParseVoicePreset(commandText, &index)) {
        char element[24];
        PresetElementName(index, element, sizeof element);
    }
    return 0;
}
