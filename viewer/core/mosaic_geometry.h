// The multi-screen view's geometry: one cell per valid preset in three rows, the fixed window
// size, the 24-bit mosaic picture the cells are decoded into, the green selection frame, key
// and click selection and the order in which the capture window visits the cells. Portable.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "main_geometry.h"

constexpr int32_t kMosaicRows = 3;
constexpr int32_t kMosaicGap = 2;  // black pixels between and around the cells

// The keys the view answers (the system's virtual-key codes).
enum MosaicKey : uint32_t {
    kMosaicKeyReturn = 0x0D,
    kMosaicKeyEscape = 0x1B,
    kMosaicKeyLeft = 0x25,
    kMosaicKeyUp = 0x26,
    kMosaicKeyRight = 0x27,
    kMosaicKeyDown = 0x28,
};

struct MosaicLayout {
    int32_t count;    // valid presets: cells 0 .. count - 1, row-major
    int32_t columns;  // never below 3
    int32_t cellWidth, cellHeight;
};

// Columns for that many valid presets: max(3, (count + 2) / 3).
int32_t MosaicColumns(int32_t validCount);

// The main window's fixed outer size while the view is shown.
Size32 MultiScreenOuterSize(int32_t columns, const FrameMetrics& m);

// Columns and cell size for that many presets (120 x 90 with the fixed window size).
MosaicLayout MosaicLayoutFor(int32_t validCount, const FrameMetrics& m);

// The mosaic picture: (cellWidth + 2) x columns + 2 wide, 3 x cellHeight + 8 high, 24 bits,
// rows padded to four bytes.
struct MosaicPicture {
    int32_t width, height;
    uint32_t stride;
    uint32_t imageBytes;
};
MosaicPicture MosaicPictureOf(const MosaicLayout& l);

// A cell's top-left pixel and rectangle in the window's client area (rows from the top).
Point32 CellOrigin(const MosaicLayout& l, int32_t cell);
Rect32 CellRect(const MosaicLayout& l, int32_t cell);

// The green frame round a cell: over its two-pixel border, cellWidth + 4 by cellHeight + 4.
Rect32 SelectionFrameRect(const MosaicLayout& l, int32_t cell);

// Where decoded row i (bottom-up, as the decoder writes it) of a cell lands in the mosaic's
// bottom-up pixels, as a byte offset; the cell's rows are cellWidth x 3 bytes.
size_t CellRowOffset(const MosaicLayout& l, int32_t cell, int32_t row);

// The cell a key leads to from `selected`: arrows move one column or row and stop at the
// edges; a cell without a preset is not taken; any other key keeps the selection.
int32_t MoveSelection(const MosaicLayout& l, int32_t selected, uint32_t key);

// The cell under a client point, or -1: the hit area is cellWidth x columns by cellHeight x 3
// pixels from (1, 1), and cells without a preset do not count.
int32_t CellAt(const MosaicLayout& l, int32_t x, int32_t y);

// The capture window's next cell: the tour goes round the valid presets.
int32_t NextCaptureCell(int32_t cell, int32_t count);

// The cell of the current preset: its place among the valid presets, 0 when it is not one.
int32_t CellOfPreset(const int32_t* validPresets, int32_t count, int32_t preset);

// The 44-byte record describing one cell as the capture driver delivers it (ty0n, 12 bits).
std::array<uint8_t, 44> CellFormatRecord(int32_t width, int32_t height, int32_t screenWidth, int32_t bitsPerPixel);

// A paint rectangle clipped to the mosaic; empty when nothing of it lies on the picture.
Rect32 ClipToMosaic(const Rect32& r, const MosaicPicture& p);
