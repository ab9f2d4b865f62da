// The AVI saving's rules: the compressor the list offers first, the progress bar and the
// failure messages. Portable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kNoRecompression = 0x21212121;  // "!!!!"
constexpr uint32_t kAviErrUserAbort = 0x800440C6;

// The "CODEC" setting as a FOURCC: its first four bytes, blanks after a short value.
uint32_t PreferredHandler(const char* setting);

struct CompressorEntry {
    uint32_t handler;
    std::string name;
};

// The entry offered first: the preferred handler; else "Micorsoft Video 1" (any letter case);
// else the first entry, "do not recompress".
int32_t ChooseCompressor(const std::vector<CompressorEntry>& entries, uint32_t preferred);

// The progress bar's frame and the filled part of its inside for p percent.
struct BarRect {
    int32_t left, top, right, bottom;
};
constexpr BarRect kProgressFrame{12, 40, 220, 64};
BarRect ProgressFill(int32_t percent);

// The message of a failed recompression; empty for a cancelled one.
std::string SaveFailureMessage(uint32_t result);
