#include "capture_rules.h"

#include <cctype>
#include <cstring>

const char kBoardDriverName[] = "QX-7700 Ma13/Ma16/Mt20 Video Capture Driver(Vantor)";

uint32_t CaptureFrameBytes(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return 0;
    return ((uint32_t(width) * 12 + 31) & ~31u) / 8 * uint32_t(height);
}

uint8_t CaptureDecodeByte(int32_t screenWidth, int32_t bitsPerPixel) {
    return screenWidth == 1024 && bitsPerPixel == 16 ? 28 : 12;
}

std::array<uint8_t, 44> CaptureFormatRecord(int32_t width, int32_t height, int32_t screenWidth,
                                            int32_t bitsPerPixel) {
    std::array<uint8_t, 44> r{};
    auto put32 = [&r](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) r[at + i] = uint8_t(v >> (8 * i));
    };
    put32(0, 44);
    put32(4, uint32_t(width));
    put32(8, uint32_t(height));
    r[12] = 1;   // planes
    r[14] = 12;  // bits per pixel
    r[16] = 't';
    r[17] = 'y';
    r[18] = '0';
    r[19] = 'n';
    put32(20, CaptureFrameBytes(width, height));
    r[42] = CaptureDecodeByte(screenWidth, bitsPerPixel);
    return r;
}

namespace {

bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

// Drive index of a path's letter, -1 without one.
int32_t DriveOf(const char* path) {
    if (!path || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':') return -1;
    return std::toupper(static_cast<unsigned char>(path[0])) - 'A';
}

}  // namespace

int32_t ChooseCaptureDriver(const char* const names[10]) {
    int32_t first = -1;
    for (int32_t i = 0; i < 10; ++i) {
        if (!names[i]) continue;
        if (first < 0) first = i;
        if (SameIgnoringCase(names[i], kBoardDriverName)) return i;
    }
    return first;
}

uint32_t UsableCaptureBytes(uint64_t freeBytes) {
    // A drive's free bytes are kept to what 32 bits hold, as the system reports them to older
    // programs, rather than wrapped round.
    const uint32_t bytes = freeBytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : uint32_t(freeBytes);
    if ((bytes & ~1u) <= 40000000u) return 0;
    return bytes / 2 - 20000000u;
}

DiskChoice ChooseCaptureDrive(const DriveSpace drives[26], const char* lastClipPath, uint32_t lastClipBytes,
                              const char* programDirectory, int32_t storedIndex, uint32_t storedUsable) {
    const int32_t lastDrive = DriveOf(lastClipPath);
    int32_t best = 0;
    uint32_t bestUsable = 0;
    for (int32_t i = 0; i < 26; ++i) {
        if (!drives[i].fixed) continue;
        uint64_t bytes = drives[i].freeBytes;
        if (i == lastDrive) bytes += lastClipBytes;
        const uint32_t usable = UsableCaptureBytes(bytes);
        if (usable > bestUsable) {
            best = i;
            bestUsable = usable;
        }
    }
    DiskChoice c{false, best, bestUsable, {}};
    if (best == storedIndex && bestUsable == storedUsable) return c;
    c.changed = true;
    if (DriveOf(programDirectory) == best) {
        c.captureFilePath = std::string(programDirectory) + "ZORTVCAP.AVI";
    } else {
        c.captureFilePath = "A:\\ZORTVCAP.AVI";
        c.captureFilePath[0] = char('A' + best);
    }
    return c;
}
