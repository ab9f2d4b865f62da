#include "osd_text.h"

std::string OsdChannelLine(int32_t source, const std::string& presetName, int32_t cableChannel) {
    switch (source) {
    case 0: return presetName;
    case 1: {
        // Full-width digits: the value added to the second byte of the code of "０".
        std::string line = "Ｃ ００";
        const std::string zero = "０";
        int32_t n = cableChannel - 50;
        int32_t tens = n / 10 % 10, units = n % 10;
        if (tens < 0) tens = -tens;
        if (units < 0) units = -units;
        size_t at = line.size() - 2 * zero.size();
        line[at + 1] = static_cast<char>(static_cast<unsigned char>(line[at + 1]) + tens);
        line[at + zero.size() + 1] = static_cast<char>(static_cast<unsigned char>(line[at + zero.size() + 1]) + units);
        return line;
    }
    case 2: return "ビデオ Ｓ";
    case 3: return "ビデオ";
    case 4: return "ビデオ ２";
    }
    return std::string();
}

std::string OsdSoundLine(int32_t soundKind) {
    switch (soundKind) {
    case 0: return "モノラル";
    case 1: return "サブ";
    case 2: return "メイン";
    case 3: return "二カ国語";
    case 4: return "ステレオ";
    }
    return std::string();
}

bool OsdTickRuns(const OsdTickInput& in) { return !in.frozen && in.captureWindow && !in.multiScreen; }

bool OsdPollDue(OsdTickState& s, const OsdTickInput& in) {
    if (!in.idle) return false;
    if (++s.pollTicks < 30) return false;
    s.pollTicks = 0;
    return true;
}

bool OsdCountDown(OsdTickState& s) { return s.countdown > 0 && --s.countdown == 0; }
