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

std::array<uint8_t, 18> DeckAudioFormat(const DeckSettings& s) {
    const uint16_t channels = s.soundStereo ? 2 : 1;
    const uint32_t rate = s.soundRate22k ? 22050 : 11025;
    const uint16_t bits = s.sound16Bit ? 16 : 8;
    const uint16_t align = uint16_t((bits * channels + 7) / 8);
    const uint32_t bytes = align * rate;
    std::array<uint8_t, 18> r{};
    auto put16 = [&r](size_t at, uint16_t v) {
        r[at] = uint8_t(v);
        r[at + 1] = uint8_t(v >> 8);
    };
    auto put32 = [&r](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) r[at + i] = uint8_t(v >> (8 * i));
    };
    put16(0, 1);  // PCM
    put16(2, channels);
    put32(4, rate);
    put32(8, bytes);
    put16(12, align);
    put16(14, bits);
    put16(16, 0);
    return r;
}

uint32_t DeckAudioBytesPerSecond(const DeckSettings& s) {
    const auto f = DeckAudioFormat(s);
    return uint32_t(f[8]) | uint32_t(f[9]) << 8 | uint32_t(f[10]) << 16 | uint32_t(f[11]) << 24;
}

uint32_t RecordingSeconds(uint32_t usableBytes, uint32_t frameBytes, int32_t frameRate, uint32_t audioBytesPerSecond) {
    if (usableBytes < 4094 || frameRate <= 0) return 0;
    const uint32_t videoBytesPerSecond = (frameBytes + 16) * uint32_t(frameRate);
    const uint32_t divisor = videoBytesPerSecond + audioBytesPerSecond + 16;
    // Judged before it is cut to 16 bits: a quotient beyond them would otherwise wrap to a
    // random limit instead of refusing.
    const uint32_t seconds = (usableBytes - 4094) / divisor;
    return seconds == 0 || seconds > 32767 ? 0 : seconds;
}

std::string EditorCommandLine(const std::string& clipPath) {
    std::string line = "A:\\Program Files\\Clipmill\\Clipmill.exe " + clipPath;
    if (line.size() > 259) line.resize(259);
    return line;
}

std::string FileNamePart(const std::string& path) {
    const size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string WithFileName(const std::string& path, const std::string& name) {
    const size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? name : path.substr(0, at + 1) + name;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 32);
        if (y >= 'a' && y <= 'z') y = char(y - 32);
        if (x != y) return false;
    }
    return true;
}
