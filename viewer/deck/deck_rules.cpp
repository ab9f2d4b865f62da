#include "deck_rules.h"

#include <cstdio>

const int32_t kCaptureIntervals[kIntervalCount] = {33,  67,  101, 133, 170, 203, 237,  284,  305,  355, 388,
                                                   427, 474, 533, 610, 711, 854, 1067, 1423, 2135, 4270};

DeckSettings SettingsFromStored(int32_t frameRate, int32_t soundRate, int32_t soundBits, int32_t soundMode,
                                int32_t frames, int32_t interval, int32_t capture) {
    DeckSettings s;
    if (frameRate >= 1 && frameRate <= 30) s.frameRate = frameRate;
    s.soundRate22k = soundRate != 0;
    s.sound16Bit = soundBits != 0;
    s.soundStereo = soundMode != 0;
    if (frames >= 1 && frames <= 5) s.stillGrid = frames;
    if (interval >= 0 && interval < kIntervalCount) s.intervalIndex = interval;
    s.movieMode = capture == 1;
    return s;
}

void StepDeckParameter(DeckSettings& s, bool stillMode, int direction) {
    if (stillMode) {
        s.intervalIndex += direction;
        if (s.intervalIndex < 0) s.intervalIndex = 0;
        if (s.intervalIndex > kIntervalCount - 1) s.intervalIndex = kIntervalCount - 1;
    } else {
        s.frameRate += direction;
        if (s.frameRate < 1) s.frameRate = 1;
        if (s.frameRate > 30) s.frameRate = 30;
    }
}

FrameLabel DeckFrameLabel(const DeckSettings& s, bool stillMode) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", stillMode ? kCaptureIntervals[s.intervalIndex] : s.frameRate);
    FrameLabel l{text, 13};
    if (l.text.size() >= 4) l.height = 11;
    return l;
}

const char* SoundRateLabel(int32_t rate22k) { return rate22k ? "22KHz" : "11KHz"; }
const char* SoundBitsLabel(int32_t bits16) { return bits16 ? "16 bit" : " 8 bit"; }
const char* SoundModeLabel(int32_t stereo) { return stereo ? "Stereo" : "Mono"; }

std::string StillCountLabel(int32_t grid) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", grid * grid);
    return text;
}

std::string DiskSpaceLabel(bool clipOpen, uint32_t clipLengthMs, int32_t driveIndex, uint32_t usableBytes) {
    char text[32];
    if (clipOpen) {
        std::snprintf(text, sizeof text, "%u sec.", unsigned((uint64_t(clipLengthMs) + 999) / 1000));
    } else {
        std::snprintf(text, sizeof text, "%c: %u MB", char('A' + driveIndex),
                      unsigned((uint64_t(usableBytes) + 1048575) / 1048576));
    }
    return text;
}
