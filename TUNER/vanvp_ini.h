// VANVP.INI: the decoder picture values, the overlay shift and the input source at start.
// Portable: the host reads and writes the raw texts; the numbers are parsed here, because
// the profile API's own integer reader neither takes negative values nor stops at decimals.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tuner_host.h"

namespace kvtun {

struct TunerLibState;

inline constexpr char kVanvpFile[] = "VANVP.INI";
inline constexpr char kOverlaySection[] = "NTSC - 640X480";
inline constexpr char kDecoderSection[] = "SAA7110";

// A decimal integer: blanks, an optional sign, digits; what follows the digits is ignored.
// Nothing when there are no digits or the number does not fit 32 bits.
std::optional<int32_t> ParseSettingInt(std::string_view text);
std::string FormatSettingInt(int32_t value);

// Reads the seven keys in file order, each with its default when missing or unreadable.
void ReadVanvp(TunerHost& host, TunerLibState& state);
// Reads "X Offset" and "Y Offset" only.
void ReadVanvpOffsets(TunerHost& host, TunerLibState& state);
// Writes the settings: decoder values, offsets, then the input source where it maps.
void WriteVanvp(TunerHost& host, const TunerLibState& state);

}  // namespace kvtun
