#include "command_filter.h"

#include <cstring>

namespace {

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// The title of the companion program that uses the channel keys itself ("ピコノート").
constexpr char kPicoNote[] = "ピコノート";

}  // namespace

bool IsPictureSetupWord(const char* name) {
    static const char* const kWords[] = {
        "VCMD_TV_RED",     "VCMD_TV_BLUE",    "VCMD_TV_LIGHT",   "VCMD_TV_DEEP",
        "VCMD_TV_CON_UP",  "VCMD_TV_CON_DOWN", "VCMD_TV_DEL",    "VCMD_TV_TEL_SET",
        "VCMD_TV_DEFAULT", "VCMD_TV_MAP_SET", "VCMD_TV_BRIGHT_UP", "VCMD_TV_BRIGHT_DOWN",
    };
    for (const char* w : kWords)
        if (Is(name, w)) return true;
    return false;
}

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
