// What the soak feeds the viewer (channels from video files, the settings it starts with) and
// how it reads the files the viewer leaves.
#pragma once
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "viewer_harness.h"

namespace soak {

// The presets' channels: terrestrial 1, 3, 4, 6, 8, 10 and cable C15 (65); the rest empty.
constexpr int kPresetChannels[12] = {1, 3, 4, 6, 8, 10, 65, 0, 0, 0, 0, 0};

constexpr char kStartSettings[] =
    "[ZORTV]\r\nWindow=40, 30, 320, 240, 0\r\n"
    "Channel1=1,ＮＨＫ総合\r\nChannel2=3,ＮＨＫ教育\r\nChannel3=4,日本テレビ\r\nChannel4=6,ＴＢＳ\r\n"
    "Channel5=8,途切れ\r\nChannel6=10,テレビ朝日\r\nChannel7=65,ケーブル１５\r\n"
    "UseCableTV=1\r\nCurrentPreset=0\r\nSource=0\r\nVoice=2\r\n";

constexpr char kVanvp[] =
    "[SAA7110]\r\nBrightness=140\r\nContrast=60\r\nSaturation=70\r\nHue=-8\r\nVideo_Source=0\r\n"
    "[NTSC - 640X480]\r\nX Offset=2\r\nY Offset=-1\r\n";

inline std::string WindowsFile(const char* name) {
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\" + name;
}

// A YUV4MPEG2 clip of moving bars, 4:2:0, 12 frames a second; cut inside its last frame when
// truncated.
inline std::string MakeClip(int width, int height, int frames, int seed, bool truncated) {
    std::string out = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) + " F12:1 Ip A1:1 C420jpeg\n";
    const int cw = (width + 1) / 2, ch = (height + 1) / 2;
    for (int f = 0; f < frames; ++f) {
        out += "FRAME\n";
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) out += static_cast<char>(((x + f * 4 + seed * 37) / 16 % 2) ? 200 : 40 + y);
        for (int i = 0; i < cw * ch; ++i) out += static_cast<char>(60 + seed * 30);
        for (int i = 0; i < cw * ch; ++i) out += static_cast<char>(200 - seed * 20);
    }
    if (truncated) out.resize(out.size() - static_cast<size_t>(cw * ch));
    return out;
}

// BOARD.INI's [video] section: channels 1, 3, 4, 6, 10 and 65 from clips, channel 8 from a
// truncated one. clips: a folder of ready .y4m files (ch1.y4m ... and cut.y4m), else written here.
inline std::string FeedChannels(const kivo::wt::ScratchFolder& folder, const std::string& clips) {
    const int fed[] = {1, 3, 4, 6, 10, 65};
    std::string ini = "[video]\n";
    int i = 0;
    for (int channel : fed) {
        std::string path;
        if (!clips.empty() && kivo::wt::FileExists(clips + "\\ch" + std::to_string(channel) + ".y4m")) {
            path = clips + "\\ch" + std::to_string(channel) + ".y4m";
        } else {
            path = folder.File("ch" + std::to_string(channel) + ".y4m");
            kivo::wt::WriteFile(path, MakeClip(160, 120, 12, i, false));
        }
        ini += std::to_string(channel) + "=" + path + "\n";
        ++i;
    }
    std::string cut = clips.empty() ? "" : clips + "\\cut.y4m";
    if (cut.empty() || !kivo::wt::FileExists(cut)) {
        cut = folder.File("cut.y4m");
        kivo::wt::WriteFile(cut, MakeClip(160, 120, 6, 5, true));
    }
    ini += "8=" + cut + "\n";
    return ini;
}

// The channel number of the board's last tuning (cable codes 63..88 as they are).
inline int TunedPreset() {
    const auto state = kivo::wt::Board::Snapshot();
    return state ? state->channel : -1;
}

// "key=value" lines of one section, keys as written; false when a line is neither a section,
// an entry, a comment nor blank.
inline bool ParseIni(const std::string& text, const char* section, std::map<std::string, std::string>* out,
                     std::string* why) {
    std::string current;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return *why = "broken section line: " + line, false;
            current = line.substr(1, line.size() - 2);
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) return *why = "broken line: " + line, false;
        if (_stricmp(current.c_str(), section) == 0) (*out)[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return true;
}

inline bool IsInt(const std::string& s, long* value) {
    if (s.empty()) return false;
    char* end = nullptr;
    *value = std::strtol(s.c_str(), &end, 10);
    return end && *end == '\0';
}

// ZORTV.INI parses, keeps its presets, holds a placement of five numbers and, when given, the
// preset and source expected (-1: any in range).
inline bool CheckSettings(const std::string& text, long preset, long source, std::string* why) {
    std::map<std::string, std::string> v;
    if (text.empty()) return *why = "ZORTV.INI is missing or empty", false;
    if (!ParseIni(text, "ZORTV", &v, why)) return false;
    long n = 0;
    for (const char* key : {"CurrentPreset", "Source", "Voice", "CurrentCableTVChannel"})
        if (!IsInt(v[key], &n)) return *why = std::string("ZORTV.INI: ") + key + "=" + v[key], false;
    IsInt(v["CurrentPreset"], &n);
    if (preset >= 0 ? n != preset : (n < 0 || n > 11)) return *why = "CurrentPreset=" + v["CurrentPreset"], false;
    IsInt(v["Source"], &n);
    if (source >= 0 ? n != source : (n < 0 || n > 3)) return *why = "Source=" + v["Source"], false;
    IsInt(v["CurrentCableTVChannel"], &n);
    if (n < 13 || n > 38) return *why = "CurrentCableTVChannel=" + v["CurrentCableTVChannel"], false;
    int fields = 0;
    const std::string& w = v["Window"];
    long x = 0, y = 0, width = 0, height = 0, pinned = 0;
    fields = std::sscanf(w.c_str(), "%ld , %ld , %ld , %ld , %ld", &x, &y, &width, &height, &pinned);
    if (fields != 5) return *why = "Window=" + w, false;
    for (int i = 0; i < 12; ++i) {
        const std::string key = "Channel" + std::to_string(i + 1);
        const long channel = kPresetChannels[i];
        if (channel == 0 ? v.count(key) != 0 : std::strtol(v[key].c_str(), nullptr, 10) != channel)
            return *why = key + "=" + v[key], false;
    }
    return true;
}

// TVCTRL.QIF: 187 bytes, "TV", state 0, and the same selection and presets as ZORTV.INI.
inline bool CheckQif(const std::string& qif, const std::string& settings, std::string* why) {
    if (qif.size() != 187) return *why = "TVCTRL.QIF has " + std::to_string(qif.size()) + " bytes", false;
    const auto* b = reinterpret_cast<const unsigned char*>(qif.data());
    if (b[0] != 'T' || b[1] != 'V' || b[2] != 2 || b[3] != 0) return *why = "TVCTRL.QIF's head", false;
    std::map<std::string, std::string> v;
    if (!ParseIni(settings, "ZORTV", &v, why)) return false;
    if (b[4] != std::strtol(v["Source"].c_str(), nullptr, 10)) return *why = "TVCTRL.QIF's source", false;
    if (b[6] != std::strtol(v["CurrentPreset"].c_str(), nullptr, 10) + 1) return *why = "TVCTRL.QIF's preset", false;
    if (b[7] != std::strtol(v["CurrentCableTVChannel"].c_str(), nullptr, 10))
        return *why = "TVCTRL.QIF's cable channel", false;
    for (int i = 0; i < 12; ++i) {
        const unsigned char channel = b[12 + 14 * i];
        if (channel != (kPresetChannels[i] ? kPresetChannels[i] : 255))
            return *why = "TVCTRL.QIF's preset " + std::to_string(i + 1), false;
    }
    if (b[181] != 1) return *why = "TVCTRL.QIF's cable flag", false;
    return true;
}

// VANVP.INI: its seven keys, each a whole decimal number.
inline bool CheckVanvp(const std::string& text, std::string* why) {
    std::map<std::string, std::string> decoder, overlay;
    if (!ParseIni(text, "SAA7110", &decoder, why) || !ParseIni(text, "NTSC - 640X480", &overlay, why)) return false;
    long n = 0;
    for (const char* key : {"Brightness", "Contrast", "Saturation", "Hue", "Video_Source"})
        if (!IsInt(decoder[key], &n)) return *why = std::string("VANVP.INI: ") + key, false;
    for (const char* key : {"X Offset", "Y Offset"})
        if (!IsInt(overlay[key], &n)) return *why = std::string("VANVP.INI: ") + key, false;
    return true;
}

}  // namespace soak
