#include "handoff.h"

#include <windows.h>

#include "handoff_record.h"
#include "kvtun32.h"
#include "tuner_panel.h"

namespace {

// Kept for the viewer's life: byte 182 carries what the last record read back said.
HandoffRecord g_record;

HandoffValues ValuesOf(const TunerState& s) {
    HandoffValues v{};
    v.source = s.source;
    v.voiceMode = s.voiceMode;
    v.currentPreset = s.currentPreset;
    v.cableChannel = s.cableChannel;
    v.brightness = s.brightness;
    v.contrast = s.contrast;
    v.color = s.color;
    v.hue = s.hue;
    for (int i = 0; i < kHandoffPresets; ++i) {
        v.presets[i].empty = s.presets[i].channel == 0;
        v.presets[i].channel = s.presets[i].channel;
        v.presets[i].name = s.presets[i].name;
    }
    v.frozen = s.frozen;
    v.useCableTV = s.useCableTV;
    return v;
}

}  // namespace

HandoffRecord& HandoffRecordOfViewer() { return g_record; }

void TakeBackHandoffValues(const unsigned char* data, TunerState* state) {
    HandoffValues v = state ? ValuesOf(*state) : HandoffValues{};
    g_record.ReadBack(data, v);
    if (!state) return;
    TunerState& s = *state;
    s.source = v.source;
    s.voiceMode = v.voiceMode;
    s.currentPreset = v.currentPreset;
    s.cableChannel = v.cableChannel;
    s.brightness = v.brightness;
    s.contrast = v.contrast;
    s.color = v.color;
    s.hue = v.hue;
}

int WriteHandoffRecord(const char* fileName) {
    CTuner* tuner = CTuner::Instance();
    if (!tuner) return 0;
    HandoffValues v = ValuesOf(tuner->State());
    v.pnpAddress = static_cast<uint32_t>(GetPnpAdr());
    g_record.Fill(v);

    OFSTRUCT of = {};
    HFILE file = OpenFile(fileName, &of, OF_CREATE | OF_WRITE);
    if (file == HFILE_ERROR) return 1;
    UINT written = _lwrite(file, reinterpret_cast<LPCCH>(g_record.bytes.data()), kHandoffRecordSize);
    _lclose(file);
    return written == kHandoffRecordSize ? 0 : 1;
}
