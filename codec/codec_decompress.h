// The decompression messages over raw bitmap headers (the 40-byte bitmap information header,
// or the 44-byte format header that adds quality and decode flags).
#pragma once
#include <cstdint>

#include "codec_instance.h"

namespace vancodc {

struct FrameHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(FrameHeader) == 40, "the bitmap information header is 40 bytes");

constexpr uint32_t kDecompressHurryUp = 0x80000000u;
// Largest colour table a header may bring along, and largest header size read.
constexpr uint32_t kMaxColours = 256;
constexpr uint32_t kMaxHeaderSize = 124;

FrameHeader ReadFrameHeader(const void* header);
// Offset 42 of a 44-byte header, else 0.
uint16_t DecodeFlagsOf(const void* header);
// The destination format an output header asks for: a table row by code or bit count, or the
// 32-bit BI_RGB output; 0 when none.
uint32_t DestinationIdOf(const FrameHeader& out);

int32_t DecompressQuery(const CodecInstance& instance, const void* in, const void* out);
// Without `out` the size of the output format; else 0 after writing it; or -2.
int32_t DecompressGetFormat(const CodecInstance& instance, const void* in, void* out);
int32_t DecompressBegin(CodecInstance& instance, const void* in, const void* out);
int32_t Decompress(CodecInstance& instance, uint32_t flags, const void* in, const void* inData,
                   const void* out, void* outData);
int32_t DecompressEnd(CodecInstance& instance);
int32_t CompressEnd(CodecInstance& instance);

}  // namespace vancodc
