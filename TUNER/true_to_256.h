// True-colour to 256-colour reduction with a fixed palette and error spreading over one row
// of remainders. Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>

namespace kvtun {

// The fixed palette, 256 entries of (blue, green, red).
struct PaletteColor {
    uint8_t b, g, r;
};
const PaletteColor* FixedPalette();

// Entries of the remainder row: width + 3, three 16-bit remainders each (blue, green, red),
// two entries before column 0 and one after the last column.
inline size_t ErrorRowEntries(int32_t width) { return static_cast<size_t>(width) + 3; }

// Reduces rows of 24-bit pixels (blue, green, red) to palette indices. errorRow holds
// ErrorRowEntries(width) * 3 values, zero on entry; rows follow in storage order.
using ReduceRowsFunction = void (*)(const uint8_t* source, ptrdiff_t sourceStride,
                                    uint8_t* destination, ptrdiff_t destinationStride,
                                    int32_t width, int32_t rows, uint16_t* errorRow);
// The plain statement of the algorithm, one step after the other.
void ReduceRowsReference(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                         ptrdiff_t destinationStride, int32_t width, int32_t rows,
                         uint16_t* errorRow);
// Table-driven, same bytes.
void ReduceRowsFast(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                    ptrdiff_t destinationStride, int32_t width, int32_t rows, uint16_t* errorRow);

// Sixteen rows at once in AVX2 registers (the scalar rows for what is left over), same bytes.
// Only where HasAvx2().
void ReduceRowsAvx2(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                    ptrdiff_t destinationStride, int32_t width, int32_t rows, uint16_t* errorRow);
bool HasAvx2();
// The AVX2 rows where the processor and the system have them, else the table-driven rows.
void ReduceRowsBest(const uint8_t* source, ptrdiff_t sourceStride, uint8_t* destination,
                    ptrdiff_t destinationStride, int32_t width, int32_t rows, uint16_t* errorRow);

// Works on two packed device-independent bitmaps, each starting with a 40-byte information
// header: a 24-bit source with its rows after the header, and a destination sized for the
// header, 256 colour entries and the 8-bit rows. Fills the destination header, sets the
// source's image size, writes the colour table and the pixels.
// 0 on success, -1 for a null pointer, -2 when the remainder row cannot be allocated.
int32_t TrueTo256(uint8_t* source, uint8_t* destination,
                  ReduceRowsFunction reduce = ReduceRowsBest);

}  // namespace kvtun
