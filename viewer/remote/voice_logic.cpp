#include "voice_logic.h"

#include <climits>
#include <cstdio>
#include <cstring>

const VoiceWord kVoiceWords[kVoiceWordCount + 1] = {
    {"VCMD_TV_FULL_SIZE", VoiceAction::kFullSize, 0, false},
    {"VCMD_TV_1SCREEN", VoiceAction::kMosaic, 1, false},
    {"VCMD_TV_4SCREEN", VoiceAction::kMosaic, 2, false},
    {"VCMD_TV_9SCREEN", VoiceAction::kMosaic, 3, false},
    {"VCMD_TV_16SCREEN", VoiceAction::kMosaic, 4, false},
    {"VCMD_TV_25SCREEN", VoiceAction::kMosaic, 5, false},
    {"VCMD_TV_CATV", VoiceAction::kCatv, 0, false},
    {"VCMD_TV_SVIDEO", VoiceAction::kSVideo, 0, false},
    {"VCMD_TV_VIDEO1", VoiceAction::kVideo1, 0, false},
    {"VCMD_TV_MULTI", VoiceAction::kMulti, 0, false},
    {"VCMD_TV_SELECT", VoiceAction::kSelect, 0, false},
    {"VCMD_TV_SETUP", VoiceAction::kSetup, 0, false},
    {"VCMD_TV_BMP", VoiceAction::kDeckStill, 0, false},
    {"VCMD_TV_AVI", VoiceAction::kDeckMovie, 0, false},
    {"VCMD_TV_LOAD", VoiceAction::kDeckLoad, 0, false},
    {"VCMD_TV_SAVE", VoiceAction::kDeckSave, 0, false},
    {"VCMD_TV_RED", VoiceAction::kPicture, kHueUp, true},
    {"VCMD_TV_BLUE", VoiceAction::kPicture, kHueDown, true},
    {"VCMD_TV_LIGHT", VoiceAction::kPicture, kColourUp, true},
    {"VCMD_TV_DEEP", VoiceAction::kPicture, kColourDown, true},
    {"VCMD_TV_CON_UP", VoiceAction::kPicture, kContrastUp, true},
    {"VCMD_TV_CON_DOWN", VoiceAction::kPicture, kContrastDown, true},
    {"VCMD_TV_DEL", VoiceAction::kNothing, 0, true},
    {"VCMD_TV_TEL_SET", VoiceAction::kNothing, 0, true},
    {"VCMD_TV_DEFAULT", VoiceAction::kNothing, 0, true},
    {"VCMD_TV_MAP_SET", VoiceAction::kNothing, 0, true},
    {"VCMD_TV_BRIGHT_UP", VoiceAction::kPicture, kBrightnessUp, true},
    {"VCMD_TV_BRIGHT_DOWN", VoiceAction::kPicture, kBrightnessDown, true},
    {nullptr, VoiceAction::kNothing, 0, false},
};

const VoiceWord* FindVoiceWord(const char* text) {
    if (!text) return nullptr;
    for (const VoiceWord* w = kVoiceWords; w->word; ++w)
        if (std::strcmp(w->word, text) == 0) return w;
    return nullptr;
}

bool IsVoiceSetupWord(const char* text) {
    const VoiceWord* w = FindVoiceWord(text);
    return w && w->setupWord;
}

bool ParseVoicePreset(const char* text, long* presetIndex) {
    if (!text || std::strncmp(text, "VEXT,CH", 7) != 0) return false;
    // Read like atoi, but without its undefined overflow.
    const char* p = text + 7;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (n < 100000000) n = n * 10 + (*p - '0');
    *presetIndex = (negative ? -n : n) - 1;
    return true;
}

void PresetElementName(long presetIndex, char* buffer, size_t size) {
    std::snprintf(buffer, size, "PRESET%ld", presetIndex);
}

int NextStillGrid(int grid) { return grid >= 1 && grid < 5 ? grid + 1 : 1; }

int StillGridBefore(int k) { return k == 1 ? 5 : k - 1; }

bool SelectCellPoint(int selectedCell, int columns, int cellWidth, int cellHeight, uint32_t* lParam) {
    if (columns <= 0 || selectedCell < 0) return false;
    const uint32_t x = static_cast<uint32_t>((selectedCell % columns) * (cellWidth + 2) + 10);
    const uint32_t y = static_cast<uint32_t>((selectedCell / columns) * (cellHeight + 2) + 10);
    *lParam = (x & 0xFFFF) | (y & 0xFFFF) << 16;
    return true;
}

namespace {
int g_changesInProgress = 0;
}  // namespace

void VoiceEnable(VoiceRegistration& r, VoiceService& service) {
    if (r.registered != 0) return;
    if (service.Register("KIVO", &r.serviceId) != kVoiceServiceOk) {
        r.serviceId = kNoServiceId;
        return;
    }
    if (service.Enable(1, r.serviceId) == kVoiceServiceOk) r.registered = 1;
}

void VoiceDisable(VoiceRegistration& r, VoiceService& service) {
    if (r.registered != 1) return;
    if (service.Enable(0, 0) == kVoiceServiceOk) r.registered = 0;
}

int VoiceSetActive(VoiceRegistration& r, VoiceService& service, int flag) {
    if (g_changesInProgress > 0) return 0;
    ++g_changesInProgress;
    if (flag) VoiceEnable(r, service);
    else VoiceDisable(r, service);
    --g_changesInProgress;
    return 1;
}

int VoiceChangesInProgress() { return g_changesInProgress; }

namespace {

void RunMosaic(int k, VoiceHost& host) {
    if (!host.DeckHasFrames()) return;
    host.DeckSetStillGrid(StillGridBefore(k));
    host.DeckGridAction();
}

void RunSelect(VoiceHost& host) {
    int cell = 0, columns = 0, width = 0, height = 0;
    uint32_t point = 0;
    if (!host.MultiScreenSelection(&cell, &columns, &width, &height)) return;
    if (!SelectCellPoint(cell, columns, width, height, &point)) return;
    host.ClickMainWindow(point);
}

// Sets the source to the one before the wanted input, then steps to it with the panel's action.
void RunInput(int before, VoiceHost& host) {
    if (host.Source() == 0) host.RepaintCurrentPreset();
    host.SetSource(before);
    host.NextSource();
}

void RunWord(const VoiceWord& w, VoiceHost& host) {
    switch (w.action) {
    case VoiceAction::kFullSize: host.MaximiseMainWindow(); break;
    case VoiceAction::kMosaic: RunMosaic(w.argument, host); break;
    case VoiceAction::kCatv:
        if (host.UsesCableTV()) {
            host.SetSource(0);
            host.NextSource();
        }
        break;
    case VoiceAction::kSVideo: RunInput(1, host); break;
    case VoiceAction::kVideo1: RunInput(2, host); break;
    case VoiceAction::kMulti: host.MultiScreen(); break;
    case VoiceAction::kSelect: RunSelect(host); break;
    case VoiceAction::kSetup: host.Setup(); break;
    case VoiceAction::kDeckStill: host.DeckStillMode(); break;
    case VoiceAction::kDeckMovie: host.DeckMovieMode(); break;
    case VoiceAction::kDeckLoad: host.DeckLoad(); break;
    case VoiceAction::kDeckSave: host.DeckSave(); break;
    case VoiceAction::kPicture: host.PictureStep(w.argument); break;
    case VoiceAction::kNothing: break;
    }
}

}  // namespace

int RunVoiceCommand(VoiceRegistration& r, VoiceService& service, const char* text, VoiceHost& host) {
    if (r.registered == 0) VoiceEnable(r, service);
    if (!text) return 0;
    if (std::strncmp(text, "VEXT,", 5) != 0) {
        const VoiceWord* w = FindVoiceWord(text);
        if (!w) return 0;
        RunWord(*w, host);
        return 1;
    }
    long index = 0;
    if (!ParseVoicePreset(text, &index)) return 0;
    char name[24];
    PresetElementName(index, name, sizeof name);
    return host.SelectPresetNamed(name) ? 1 : 0;
}
