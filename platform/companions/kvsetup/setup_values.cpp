#include "setup_values.h"

#include <cctype>
#include <cstdlib>

const PictureRange kPictureRanges[4] = {
    {"Brightness", -31, 31, 0}, {"Contrast", 25, 87, 56}, {"Color", 1, 165, 83}, {"Hue", -63, 63, 0}};

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == ' ') ++a;
    while (b > a && s[b - 1] == ' ') --b;
    return s.substr(a, b - a);
}

// Up to 12 bytes, not ending inside a Shift-JIS pair.
std::string CutName(const std::string& name) {
    size_t i = 0;
    while (i < name.size()) {
        const size_t step = IsLeadByte(static_cast<unsigned char>(name[i])) ? 2 : 1;
        if (i + step > 12 || i + step > name.size()) break;
        i += step;
    }
    return name.substr(0, i);
}

}  // namespace

SetupPreset ParseSetupPreset(const std::string& text) {
    SetupPreset p{0, ""};
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return p;
    size_t at = comma + 1;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size()) return p;
    const long n = std::strtol(text.c_str(), nullptr, 10);
    if (n < 1 || n > 88) return p;
    p.channel = int32_t(n);
    p.name = text.substr(at, 12);
    return p;
}

int32_t ParseChannelField(const std::string& field) {
    const std::string f = Trim(field);
    if (f.empty()) return 0;
    size_t at = 0;
    const bool cable = f[0] == 'C' || f[0] == 'c';
    if (cable) at = 1;
    if (at >= f.size() || f.size() - at > 3) return -1;
    int32_t n = 0;
    for (size_t i = at; i < f.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(f[i]))) return -1;
        n = n * 10 + (f[i] - '0');
    }
    if (cable) return n >= 13 && n <= 38 ? n + 50 : -1;
    return n >= 1 && n <= 88 ? n : -1;
}

std::string ChannelLabel(int32_t channel) {
    if (channel < 1 || channel > 88) return "";
    return channel < 63 ? std::to_string(channel) : "C" + std::to_string(channel - 50);
}

std::string FormatSetupPreset(int32_t channel, const std::string& name) {
    if (channel < 1 || channel > 88) return "";
    std::string n = CutName(Trim(name));
    if (n.empty()) n = ChannelLabel(channel);
    return std::to_string(channel) + "," + n;
}

int32_t ClampPicture(const PictureRange& r, int32_t value) {
    return value < r.low ? r.low : value > r.high ? r.high : value;
}
