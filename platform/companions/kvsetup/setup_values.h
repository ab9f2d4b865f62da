// The setup program's values: the presets as the viewer reads them from "Channel%d", and the
// picture controls with their ranges. Portable.
#pragma once
#include <cstdint>
#include <string>

struct SetupPreset {
    int32_t channel;   // 0 = empty, else 1..88
    std::string name;  // up to 12 bytes
};

// "12,News" -> 12 and "News"; anything the viewer would not take gives an empty preset.
SetupPreset ParseSetupPreset(const std::string& text);

// The channel field as typed: empty is an empty preset (0); else a decimal 1..88, or a cable
// channel written "C13".."C38" (stored as 63..88). -1 for anything else.
int32_t ParseChannelField(const std::string& field);
// The label the viewer shows for a channel: "%d" below 63, "C%d" of n - 50 above.
std::string ChannelLabel(int32_t channel);

// The "Channel%d" value written for a preset: "%d,name", the name cut to 12 bytes (never in
// the middle of a double-byte character) and the channel's label when it is blank; empty for
// an empty preset.
std::string FormatSetupPreset(int32_t channel, const std::string& name);

struct PictureRange {
    const char* key;
    int32_t low, high, fallback;
};
// Brightness, Contrast, Color, Hue.
extern const PictureRange kPictureRanges[4];
int32_t ClampPicture(const PictureRange& r, int32_t value);
