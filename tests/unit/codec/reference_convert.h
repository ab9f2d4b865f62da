// A literal, slow model of the frame decompression, written pixel by pixel from its definition:
// the yardstick for the driver's row-based conversion.
#pragma once
#include <cstdint>
#include <vector>

namespace vancodc::test {

// kind: 0 = RGB 555, 1 = 24-bit BGR, 2 = 32-bit BGR0. Output W x H pixels, rows back to back.
std::vector<uint8_t> ReferenceConvert(uint32_t srcId, uint16_t flags, const std::vector<uint8_t>& src,
                                      int width, int height, int kind);

}  // namespace vancodc::test
