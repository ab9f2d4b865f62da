// The capture controller's rules: the 44-byte capture format record, the driver choice and the
// disk-space rule that picks where a recording goes. Portable.
#pragma once
#include <array>
#include <cstdint>
#include <string>

// Bytes of one 12-bit frame of w x h: rows padded to 32 bits.
uint32_t CaptureFrameBytes(int32_t width, int32_t height);

// The decode-flags byte the board's driver gets: 28 on a 1,024-pixel-wide 16-bit screen.
uint8_t CaptureDecodeByte(int32_t screenWidth, int32_t bitsPerPixel);

// The record WM_CAP_SET_VIDEOFORMAT receives, written field by field, little-endian.
std::array<uint8_t, 44> CaptureFormatRecord(int32_t width, int32_t height, int32_t screenWidth,
                                            int32_t bitsPerPixel);

// The driver name the viewer looks for first.
extern const char kBoardDriverName[];

// Index 0..9 of the driver to connect: the board's own (any letter case), else the first that
// answered; -1 when none did. names[i] is null for an index that did not answer.
int32_t ChooseCaptureDriver(const char* const names[10]);

// One drive as the disk-space rule sees it.
struct DriveSpace {
    bool fixed;
    uint64_t freeBytes;  // free clusters x sectors per cluster x bytes per sector
};

struct DiskChoice {
    bool changed;
    int32_t driveIndex;  // 0 = A
    uint32_t usableBytes;
    std::string captureFilePath;
};

// Usable capture bytes of a drive with that many free bytes: half, less 20,000,000, or 0 when
// the drive has 40,000,000 or fewer.
uint32_t UsableCaptureBytes(uint64_t freeBytes);

// The rule: the fixed drive with the most usable bytes (counting the last recording, which is
// deleted before the next one) wins, the earlier letter on a tie, drive A with 0 when none has
// any. The capture file lies in the program folder when that is on the winning drive, else at
// the winning drive's root.
DiskChoice ChooseCaptureDrive(const DriveSpace drives[26], const char* lastClipPath, uint32_t lastClipBytes,
                              const char* programDirectory, int32_t storedIndex, uint32_t storedUsable);
