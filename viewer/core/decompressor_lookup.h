// The decompressor look-up: the compression manager finds the decoder of the capture format
// for a picture of the record's size, decoding to 24-bit RGB of the same size. The two format
// records of the viewer's state (formatIn, formatOut) describe the pair it was begun with.
#pragma once
#include <windows.h>
#include <vfw.h>

#include <cstdint>

// The decoder that takes `in` to `out`, not yet begun: the format's own handler first, as the
// compression manager's look-up itself starts, then the look-up over every installed decoder.
HIC LocateDecompressor(BITMAPINFOHEADER* in, BITMAPINFOHEADER* out);
// formatIn takes the capture record (44 bytes); formatOut a 24-bit picture of its size. The
// decoder is begun with the two; null when none takes them.
HIC OpenFrameDecompressor(const uint8_t (&captureRecord)[44]);
// Ends and closes a decoder opened above, and forgets it.
void CloseFrameDecompressor(HIC& decompressor);
