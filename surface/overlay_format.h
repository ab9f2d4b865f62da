// The overlay surface a reservation asks DirectDraw for: its description and its pixel format,
// built from the caller's width, height and FOURCC. Values are DirectDraw's own (ddraw.h).
#pragma once
#include <cstdint>

namespace kivo::surface {

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

inline constexpr uint32_t kFourCCYUY2 = MakeFourCC('Y', 'U', 'Y', '2');
inline constexpr uint32_t kFourCCR555 = MakeFourCC('R', '5', '5', '5');
inline constexpr uint32_t kFourCCR565 = MakeFourCC('R', '5', '6', '5');
inline constexpr uint32_t kFourCCRGB8 = MakeFourCC('R', 'G', 'B', '8');
inline constexpr uint32_t kFourCCYVU9 = MakeFourCC('Y', 'V', 'U', '9');
inline constexpr uint32_t kFourCCYVUB = MakeFourCC('Y', 'V', 'U', 'B');

// DDSURFACEDESC, DDSCAPS and DDPIXELFORMAT flags.
inline constexpr uint32_t kDescCaps = 0x00000001;         // DDSD_CAPS
inline constexpr uint32_t kDescHeight = 0x00000002;       // DDSD_HEIGHT
inline constexpr uint32_t kDescWidth = 0x00000004;        // DDSD_WIDTH
inline constexpr uint32_t kDescPixelFormat = 0x00001000;  // DDSD_PIXELFORMAT
inline constexpr uint32_t kCapsOverlay = 0x00000080;      // DDSCAPS_OVERLAY
inline constexpr uint32_t kCapsPrimary = 0x00000200;      // DDSCAPS_PRIMARYSURFACE
inline constexpr uint32_t kCapsVideoMemory = 0x00004000;  // DDSCAPS_VIDEOMEMORY
inline constexpr uint32_t kPixelFourCC = 0x00000004;      // DDPF_FOURCC
inline constexpr uint32_t kPixelRGB = 0x00000040;         // DDPF_RGB
inline constexpr uint32_t kPixelYUV = 0x00000200;         // DDPF_YUV
inline constexpr uint32_t kPixelFormatSize = 32;          // sizeof(DDPIXELFORMAT)

// Bits per pixel of the formats the helper knows; 0 for any other code.
uint32_t FourCCBitCount(uint32_t fourcc);

struct PixelFormat {
    uint32_t size = kPixelFormatSize;
    uint32_t flags = 0;
    uint32_t fourcc = 0;
    uint32_t bitCount = 0;  // dwRGBBitCount / dwYUVBitCount
    uint32_t redMask = 0;   // dwRBitMask / dwYBitMask
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
};

struct OverlayDescription {
    uint32_t flags = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t caps = 0;
    PixelFormat pixelFormat;
};

OverlayDescription DescribeOverlay(uint16_t width, uint16_t height, uint32_t fourcc);

// The one-pixel rectangle an overlay is shown through, source and destination alike: an edge
// of 1 only where the surface has that dimension at all.
struct OverlayRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

OverlayRect OnePixelRect(uint16_t width, uint16_t height);

}  // namespace kivo::surface
