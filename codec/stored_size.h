// The size at which the capture hardware stored a frame, from the frame size and the decode flags.
#pragma once
#include <cstdint>

namespace vancodc {

struct StoredSize {
    uint16_t width;
    uint16_t height;
};

// Decode flags: 0x01 halves the height, 0x02 the width; 0x04, 0x08 and 0x10 choose the limits.
StoredSize ComputeStoredSize(uint16_t width, uint16_t height, uint16_t decodeFlags);

// Bytes of a stored image of the format (W' x H' for 8 bits, x 3 / 2 for ty0n, x 2 otherwise).
uint32_t StoredImageSize(uint32_t formatId, uint16_t width, uint16_t height, uint16_t decodeFlags);

}  // namespace vancodc
