#include "overlay_format.h"

namespace kivo::surface {

uint32_t FourCCBitCount(uint32_t fourcc) {
    switch (fourcc) {
    case kFourCCYUY2:
    case kFourCCR555:
    case kFourCCR565:
    case kFourCCRGB8:
        return 16;
    case kFourCCYVU9:
        return 9;
    case kFourCCYVUB:
        return 12;
    default:
        return 0;
    }
}

OverlayDescription DescribeOverlay(uint16_t width, uint16_t height, uint32_t fourcc) {
    OverlayDescription d;
    d.flags = kDescCaps | kDescHeight | kDescWidth | kDescPixelFormat;
    d.width = width;
    d.height = height;
    d.caps = kCapsOverlay | kCapsVideoMemory;
    PixelFormat& pf = d.pixelFormat;
    if (fourcc == kFourCCR555) {
        pf.flags = kPixelRGB;
    } else {
        pf.flags = kPixelFourCC | kPixelYUV;
        pf.fourcc = fourcc;
    }
    pf.bitCount = FourCCBitCount(fourcc);
    // One set of masks for every format: the drivers this serves read them only for RGB.
    pf.redMask = 0x7C00;
    pf.greenMask = 0x03E0;
    pf.blueMask = 0x001F;
    pf.alphaMask = 0x8000;
    return d;
}

OverlayRect OnePixelRect(uint16_t width, uint16_t height) {
    OverlayRect r;
    r.right = width != 0 ? 1 : 0;
    r.bottom = height != 0 ? 1 : 0;
    return r;
}

}  // namespace kivo::surface
