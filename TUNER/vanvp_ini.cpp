#include "vanvp_ini.h"

#include "tuner_core.h"

namespace kvtun {

std::optional<int32_t> ParseSettingInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + (text[i] - '0');
        if (value > 0x80000000LL) return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    if (negative) value = -value;
    if (value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string FormatSettingInt(int32_t value) { return std::to_string(value); }

namespace {

int32_t ReadInt(TunerHost& host, const char* section, const char* key, int32_t fallback) {
    std::string text;
    if (!host.ReadSetting(section, key, text)) return fallback;
    return ParseSettingInt(text).value_or(fallback);
}

void Write(TunerHost& host, const char* section, const char* key, int32_t value) {
    host.WriteSetting(section, key, FormatSettingInt(value));
}

}  // namespace

void ReadVanvpOffsets(TunerHost& host, TunerLibState& state) {
    state.offsetX = ReadInt(host, kOverlaySection, "X Offset", 0);
    state.offsetY = ReadInt(host, kOverlaySection, "Y Offset", 0);
}

void ReadVanvp(TunerHost& host, TunerLibState& state) {
    ReadVanvpOffsets(host, state);
    state.decoderBrightness = static_cast<uint32_t>(ReadInt(host, kDecoderSection, "Brightness", 154));
    state.decoderContrast = static_cast<uint32_t>(ReadInt(host, kDecoderSection, "Contrast", 57));
    state.decoderSaturation = static_cast<uint32_t>(ReadInt(host, kDecoderSection, "Saturation", 63));
    state.decoderHue = ReadInt(host, kDecoderSection, "Hue", 0);
    state.inputSource = static_cast<uint16_t>(ReadInt(host, kDecoderSection, "Video_Source", 0));
}

void WriteVanvp(TunerHost& host, const TunerLibState& state) {
    Write(host, kDecoderSection, "Brightness", static_cast<int32_t>(state.decoderBrightness));
    Write(host, kDecoderSection, "Contrast", static_cast<int32_t>(state.decoderContrast));
    Write(host, kDecoderSection, "Saturation", static_cast<int32_t>(state.decoderSaturation));
    Write(host, kDecoderSection, "Hue", state.decoderHue);
    Write(host, kOverlaySection, "X Offset", state.offsetX);
    Write(host, kOverlaySection, "Y Offset", state.offsetY);
    // The stored code and the source codes of SelInputSrc differ; only these are translated.
    switch (state.inputSource) {
    case 0:
    case 5:
    case 10: Write(host, kDecoderSection, "Video_Source", 0); break;
    case 15: Write(host, kDecoderSection, "Video_Source", 2); break;
    default: break;
    }
}

}  // namespace kvtun
