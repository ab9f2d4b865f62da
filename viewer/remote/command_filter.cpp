#include "command_filter.h"

#include <cstring>

#include "voice_logic.h"

namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// The title of the companion program that uses the channel keys itself ("ピコノート").
constexpr char kPicoNote[] = "ピコノート";

}  // namespace

// The voice word table marks them.
bool IsPictureSetupWord(const char* name) { return IsVoiceSetupWord(name); }

bool FilterPassesName(const char* name, const FilterContext& c) {
    if (!name) return false;
    if (c.mouseCaptured) return false;
    if (c.setupWindowExists) {
        if (Is(name, "TV_CH_UP") || Is(name, "TV_CH_DOWN") || Is(name, "VIDEO_CAPTURE")) return false;
        if (c.voiceReceiverExists && IsPictureSetupWord(name)) return false;
    }
    if (!c.ownWindowActive && !Is(name, "TV_CH_UP") && !Is(name, "TV_CH_DOWN") &&
        !Is(name, "SYS_TV_POWER"))
        return false;
    if (c.mainWindowDragging) return false;
    if (c.hasActiveWindow && c.activeTitle == kPicoNote) {
        if (std::strncmp(name, "TV_CH", 5) == 0 || Is(name, "VIDEO_FREEZE")) return false;
    }
    return true;
}
