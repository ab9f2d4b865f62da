// Still pictures: the mosaic's geometry and timing, where each frame lands in it, the two
// format records of the decompressor look-up, and the size of a still reduced to 256 colours.
// Portable.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

struct MosaicGeometry {
    int32_t grid;          // n of the n x n mosaic
    int32_t tileWidth;     // w = h x 4 / 3
    int32_t tileHeight;    // h, a multiple of 30, at least 60
    int32_t tileStride;    // bytes of a 24-bit tile row, rounded up to 4
    int32_t mosaicStride;  // bytes of a 24-bit mosaic row, rounded up to 4
    int32_t Width() const { return grid * tileWidth; }
    int32_t Height() const { return grid * tileHeight; }
    uint32_t ImageBytes() const { return static_cast<uint32_t>(mosaicStride) * static_cast<uint32_t>(Height()); }
    int32_t Cells() const { return grid * grid; }
};

// The tiles for a video area of that height: the nearest multiple of 30 to height / n, made
// smaller when n tiles and the window's frame and the deck below would not fit the screen.
MosaicGeometry ComputeMosaicGeometry(int32_t grid, int32_t videoAreaHeight, int32_t screenHeight,
                                     int32_t cyDlgFrame, int32_t cyCaption);

// The capture's time limit: interval x n x n / 1,000 + 15 seconds, as 16 bits.
uint16_t MosaicTimeLimit(int32_t intervalMs, int32_t grid);

// Where frame number `done` (0 first) of the mosaic goes: cells left to right from the top-left,
// then downwards; rows of the picture count from the bottom.
struct MosaicCell {
    int32_t column;
    int32_t rowFromBottom;
    size_t byteOffset;  // of the cell's bottom row in the mosaic's rows
    int32_t drawX, drawY;  // its top-left in the main window
};
MosaicCell MosaicCellOf(const MosaicGeometry& g, int32_t done);

// Copies a decoded tile (h rows of tileStride bytes, bottom-up) into its cell of the mosaic's
// rows (n x h rows of mosaicStride bytes).
void CopyTileToMosaic(const MosaicGeometry& g, int32_t done, const uint8_t* tile, uint8_t* mosaicRows);

// The decompressor look-up: the capture record with its sizes and 12-bit image size for w x h
// (the 20 bytes from the image size on cleared first, quality and decode flags kept), and the
// 24-bit output record of the same size.
std::array<uint8_t, 44> DecompressorInputFormat(const std::array<uint8_t, 44>& captureRecord, int32_t width,
                                                int32_t height);
std::array<uint8_t, 44> DecompressorOutputFormat(int32_t width, int32_t height);

// Bytes of a still of that size reduced to 256 colours: header, 256 colours, 8-bit rows.
uint64_t ReducedStillBytes(int32_t width, int32_t height);
