// BMP files and packed bitmaps (a 40-byte information header, the colour table, bottom-up rows):
// what a file must hold to become the still, and the file header the still is saved with.
// Portable.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kBmpFileHeaderBytes = 14;
constexpr uint32_t kBmpInfoBytes = 40;
// Files above this are refused before anything is read: no still is that large.
constexpr uint64_t kBmpLargestFile = 256u << 20;

// Why a file does not become the still.
enum class BmpVerdict {
    kOk,
    kShort,        // fewer bytes than the two headers
    kNotBmp,       // no "BM"
    kHeader,       // an information header other than the 40-byte one, or planes other than 1
    kDepth,        // bits per pixel other than 1, 4, 8, 16, 24, 32
    kCompression,  // anything but uncompressed rows
    kEmpty,        // width or height 0, or a negative width
    kTopDown,      // a negative height: only bottom-up rows are taken
    kColours,      // a colour table larger than the depth allows or than 256
    kLength,       // the file's size, colour table, rows or image size disagree with its length
    kTooLarge,     // larger than any still
};

// The colour count of a packed bitmap: colours used, or 2 to the bit count when that is 0 and
// the picture has 8 or fewer bits.
uint32_t BmpColourCount(uint16_t bitCount, uint32_t coloursUsed);
// Bytes of one row: bits rounded up to 32.
uint64_t BmpRowBytes(int64_t width, uint16_t bitCount);

// A whole file in memory turned into a packed bitmap (header with its colours-used and image
// size filled in, colour table, rows). Only uncompressed bottom-up files whose every size agrees
// with the file are taken; bytes after the rows are ignored.
BmpVerdict PackedFromBmpFile(const uint8_t* file, size_t length, std::vector<uint8_t>* packed);

// What saving a packed bitmap writes: its colour count and image size (the block's header
// gets both when they were 0), and whether header, colours and rows lie inside the block.
struct PackedDibSizes {
    bool valid;
    uint32_t colours;
    uint32_t imageBytes;
    uint32_t Bytes() const { return kBmpInfoBytes + colours * 4 + imageBytes; }
};
PackedDibSizes SizesOfPackedDib(const uint8_t* block, size_t blockBytes);
// Fills in colours used and image size in the block's header where they are 0.
void CompletePackedDibHeader(uint8_t* block, const PackedDibSizes& sizes);

// The 14-byte file header in front of a packed bitmap: "BM", file size = offset + image size,
// offset = colours x 4 + 54.
std::array<uint8_t, kBmpFileHeaderBytes> BmpFileHeader(uint32_t colours, uint32_t imageBytes);

// A packed 24-bit picture's header (the rest 0): the mosaic's and the decompressor's output.
std::array<uint8_t, kBmpInfoBytes> Rgb24Header(int32_t width, int32_t height, uint32_t imageBytes);

// Little-endian fields.
inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
