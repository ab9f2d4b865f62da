// The support kit's rules over the texts of SpKit.inf and the driver's answer: which machine
// series this is, whether the machine identifier is listed, whether the file conditions hold,
// and what the registry's "Installed" text says.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace spkit {

// Series from GetKeyboardType(1): the older (QX-7000) series has 0xD in bits 8-11.
bool IsNewerSeries(int keyboardSubtype);

// A whole profile section as GetPrivateProfileSectionA leaves it: entries each ended by a NUL,
// the view covering the characters it reported (further NULs end the list).

// The "machineid" section with every NUL, every comment and its semicolon turned to commas and
// the capitals outside comments lowered.
std::string FlattenMachineIds(std::string_view section);
// ",05,", ",0abc,", ",1234,": the identifier in lower-case hex, digits in pairs.
std::string MachineIdProbe(uint16_t id);
// An empty section lists every machine. The first entry counts like every other one.
bool MachineIdListed(std::string_view section, uint16_t id);

// Opens path for reading and gives its size; false when it cannot be opened.
using FileSizeProbe = std::function<bool(const std::string& path, uint32_t& size)>;

// windowsDrive is the two characters "X:" put before paths that begin with a backslash.
bool FileConditionHolds(std::string_view entry, std::string_view windowsDrive,
                        const FileSizeProbe& probe);
bool FileConditionsMet(std::string_view section, std::string_view windowsDrive,
                       const FileSizeProbe& probe);

// The decimal value of the "Installed" text: leading blanks and a sign allowed, no digits = 0.
int32_t ParseInstalled(std::string_view text);

}  // namespace spkit
