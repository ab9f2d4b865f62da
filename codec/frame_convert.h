// Decompression of one captured frame into RGB: 555, 24-bit, or 32-bit BGR0.
#pragma once
#include <cstdint>

#include "convert_row.h"

namespace vancodc {

// The output layout of a destination format id; -1 when it is not an output of the conversion.
int OutKindOf(uint32_t dstId);
bool IsConversionSupported(uint32_t srcId, uint32_t dstId);

// Bytes the conversion reads from the source, and writes to the destination, for a W x H frame.
uint64_t SourceBytesRead(uint32_t srcId, uint16_t decodeFlags, uint16_t width, uint16_t height);
uint64_t DestBytesWritten(uint32_t dstId, uint16_t width, uint16_t height);

// 1 on success (or, without destination data, when the pair is supported), 0 otherwise.
// The output size is always the frame size. Rows run back to back, in the source's row order;
// pixels that no source pixel reaches (odd widths) are written as 0.
int ConvertFrame(uint32_t srcId, uint16_t decodeFlags, const uint8_t* src, uint16_t width,
                 uint16_t height, uint32_t dstId, uint8_t* dst, uint16_t* outWidth,
                 uint16_t* outHeight);

// The same with the given rows.
int ConvertFrameWith(const RowSet& rows, uint32_t srcId, uint16_t decodeFlags, const uint8_t* src,
                     uint16_t width, uint16_t height, uint32_t dstId, uint8_t* dst,
                     uint16_t* outWidth, uint16_t* outHeight);

}  // namespace vancodc
