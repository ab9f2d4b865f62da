// The board settings file, BOARD.INI beside the board's modules:
//
//   [board]   present=1 mixer=1 probe=0x300 identify=0x21 status=1 input_status=0x55
//   [sound]   <channel code>=none|mono|stereo|bilingual|main|sub
//   [mixer]   <control id>=<value>   (the selector: the index of the selected item)
//   [spkd]    present=1 os_ready=1 id_check=0 request=1 machine_id=0x1234
//   [remote]  present=1
//   [video]   <channel code>=<YUV4MPEG2 file>  (relative to the board's folder; may be quoted)
//
// ';' or '#' starts a comment. Numbers are decimal or 0x-prefixed hexadecimal.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "board_state.h"

namespace board {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string r(s);
    for (auto& ch : r) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return r;
}

bool Number(std::string_view text, long long& value) {
    std::string s(Trim(text));
    if (s.empty()) return false;
    char* end = nullptr;
    value = std::strtoll(s.c_str(), &end, 0);
    return end && *end == '\0';
}

bool SoundName(const std::string& name, uint8_t& status) {
    static const struct {
        const char* name;
        uint8_t status;
    } kNames[] = {{"none", kSoundNone},   {"mono", kSoundMono}, {"stereo", kSoundStereo},
                  {"bilingual", kSoundBilingual}, {"main", kSoundMain}, {"sub", kSoundSub}};
    for (auto& n : kNames)
        if (name == n.name) {
            status = n.status;
            return true;
        }
    return false;
}

void Apply(Settings& s, const std::string& section, const std::string& key,
           std::string_view rawValue) {
    long long n = 0;
    bool numeric = Number(rawValue, n);
    auto byte = [&](uint8_t& field) {
        if (numeric && n >= 0 && n <= 0xFF) field = static_cast<uint8_t>(n);
    };
    if (section == "board") {
        if (key == "present") byte(s.present);
        else if (key == "mixer") byte(s.mixerPresent);
        else if (key == "identify") byte(s.identify);
        else if (key == "status") byte(s.boardStatus);
        else if (key == "input_status") byte(s.inputStatus);
        else if (key == "probe" && numeric && n >= 0 && n <= 0xFFFFFFFFLL)
            s.probeWord = static_cast<uint32_t>(n);
    } else if (section == "sound") {
        long long code = 0;
        uint8_t status = 0;
        if (Number(key, code) && code >= 1 && code < kChannelCodes &&
            SoundName(Lower(Trim(rawValue)), status))
            s.sound[code] = status;
    } else if (section == "mixer") {
        static const uint32_t kIds[kMixerControls] = {33, 35, 5, 13, 0, 6, 14};
        long long id = 0;
        if (!Number(key, id) || !numeric || n < -0x80000000LL || n > 0x7FFFFFFFLL) return;
        for (int i = 0; i < kMixerControls; ++i)
            if (kIds[i] == id) s.mixerInitial[i] = static_cast<int32_t>(n);
    } else if (section == "spkd") {
        if (key == "present") byte(s.spkdPresent);
        else if (key == "os_ready") byte(s.spkdOsReady);
        else if (key == "id_check") byte(s.spkdIdCheck);
        else if (key == "request") byte(s.spkdRequestOk);
        else if (key == "machine_id" && numeric && n >= 0 && n <= 0xFFFF)
            s.spkdMachineId = static_cast<uint16_t>(n);
    } else if (section == "remote") {
        if (key == "present") byte(s.dazidavPresent);
    } else if (section == "video") {
        long long code = 0;
        std::string_view path = Trim(rawValue);
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
        // A path too long for the board's record is refused rather than cut to another file's name.
        if (!Number(key, code) || code < 1 || code >= kChannelCodes || path.size() >= kVideoPathLength) return;
        path.copy(s.video[code], path.size());
        s.video[code][path.size()] = '\0';
    }
}

bool Absolute(const char* path) {
    return path[0] == '\\' || path[0] == '/' || (std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':');
}

}  // namespace

Settings ParseSettings(const char* text, size_t length, const Settings& base) {
    Settings s = base;
    if (!text) return s;
    std::string_view all(text, length);
    std::string section;
    while (!all.empty()) {
        size_t eol = all.find('\n');
        std::string_view line = all.substr(0, eol);
        all = eol == std::string_view::npos ? std::string_view() : all.substr(eol + 1);
        size_t comment = line.find_first_of(";#");
        if (comment != std::string_view::npos) line = line.substr(0, comment);
        line = Trim(line);
        if (line.empty()) continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            section = close == std::string_view::npos ? std::string() : Lower(Trim(line.substr(1, close - 1)));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        Apply(s, section, Lower(Trim(line.substr(0, eq))), line.substr(eq + 1));
    }
    return s;
}

void ResolveVideoPaths(Settings& s, const char* folder) {
    std::string base = folder ? folder : "";
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
    for (auto& path : s.video) {
        if (path[0] == '\0' || Absolute(path)) continue;
        const std::string full = base + path;
        if (full.size() >= kVideoPathLength) {
            path[0] = '\0';
            continue;
        }
        std::memcpy(path, full.c_str(), full.size() + 1);
    }
}

}  // namespace board
