#include "tuner_layout.h"

int32_t TunerLevel(int32_t h) {
    if (h >= 233) return -2;
    if (h >= 217) return -1;
    if (h >= 201) return 0;
    if (h >= 185) return 1;
    if (h >= 169) return 2;
    if (h >= 153) return 3;
    return 4;
}

TunerLayout LayoutTuner(int32_t w, int32_t height) {
    TunerLayout l{};
    l.tuner = {0, 0, w, height};
    l.inner = {0, 1, w - 15, height - 1};
    int32_t h = height - 2;
    l.innerHeight = h;
    l.level = TunerLevel(h);
    l.channels = l.level != 4;
    l.buttonsY = l.channels ? 90 : 0;
    l.sourceY = l.level < 4 ? h - 43 + (l.level - 3) * 16 : h - 43;
    l.gap = {0, l.buttonsY + 20, 61, l.sourceY - 1};
    l.pad = {0, l.sourceY + 44, 14, h};
    l.setup = l.level <= 2;
    l.freeze = l.level <= 1;
    l.multi = l.level <= 0;
    l.autoStart = l.level <= -1;
    l.pin = l.level == -2;
    l.setupY = h - 15;
    l.freezeY = h - 31;
    l.multiY = h - 47;
    l.autoStartY = h - 63;
    l.pinY = h - 79;
    return l;
}
