// The formats the driver knows, and the two ways a bitmap header finds its row.
#pragma once
#include <cstdint>

namespace vancodc {

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

enum FormatId : uint32_t {
    kFormatRgb8 = 100,
    kFormatRgb16 = 101,   // RGB 555
    kFormatRgb24 = 102,
    kFormatT565 = 107,
    kFormatTy2n = 112,
    kFormatTy2c = 117,
    kFormatTy0n = 118,
    kFormatTy2d = 119,
    // Not a row of the table: the 32-bit BI_RGB output some players insist on.
    kFormatRgb32 = 120,
};

struct CodecFormat {
    uint32_t id;
    uint32_t headerSize;   // of the bitmap header template
    uint16_t bitCount;
    uint32_t compression;
    uint16_t family;
    const char* name;
};

constexpr int kCodecFormatCount = 19;
extern const CodecFormat kCodecFormats[kCodecFormatCount];

// First row whose compression code equals `compression` (code 0 finds the 8-bit row).
const CodecFormat* FindFormatByCompression(uint32_t compression);
// For uncompressed RGB: 8, 16 and 24 bits have rows, nothing else.
const CodecFormat* FindFormatByBitCount(uint16_t bitCount);
// By code, or by bit count when the code is 0.
const CodecFormat* FindFormatForHeader(uint32_t compression, uint16_t bitCount);
const CodecFormat* FindFormatById(uint32_t id);

}  // namespace vancodc
