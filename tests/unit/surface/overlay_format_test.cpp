// The overlay a reservation asks for: FOURCC bit counts, description, pixel format, rectangle.
#include <gtest/gtest.h>

#include "overlay_format.h"

using namespace kivo::surface;

TEST(OverlayFormat, BitCountsOfTheKnownCodesAndZeroForOthers) {
    EXPECT_EQ(0x32595559u, kFourCCYUY2);  // 'Y','U','Y','2' little-endian
    EXPECT_EQ(16u, FourCCBitCount(kFourCCYUY2));
    EXPECT_EQ(16u, FourCCBitCount(kFourCCR555));
    EXPECT_EQ(16u, FourCCBitCount(kFourCCR565));
    EXPECT_EQ(16u, FourCCBitCount(kFourCCRGB8));
    EXPECT_EQ(9u, FourCCBitCount(kFourCCYVU9));
    EXPECT_EQ(12u, FourCCBitCount(kFourCCYVUB));
    EXPECT_EQ(0u, FourCCBitCount(MakeFourCC('U', 'Y', 'V', 'Y')));
    EXPECT_EQ(0u, FourCCBitCount(0));
    EXPECT_EQ(0u, FourCCBitCount(MakeFourCC('y', 'u', 'y', '2')));
}

TEST(OverlayFormat, YuvDescriptionCarriesTheFourCCAndTheCommonMasks) {
    OverlayDescription d = DescribeOverlay(320, 240, kFourCCYVU9);
    EXPECT_EQ(0x1007u, d.flags);  // caps, height, width, pixel format
    EXPECT_EQ(320u, d.width);
    EXPECT_EQ(240u, d.height);
    EXPECT_EQ(0x4080u, d.caps);   // overlay in video memory
    EXPECT_EQ(32u, d.pixelFormat.size);
    EXPECT_EQ(0x204u, d.pixelFormat.flags);  // FOURCC and YUV
    EXPECT_EQ(kFourCCYVU9, d.pixelFormat.fourcc);
    EXPECT_EQ(9u, d.pixelFormat.bitCount);
    EXPECT_EQ(0x7C00u, d.pixelFormat.redMask);
    EXPECT_EQ(0x03E0u, d.pixelFormat.greenMask);
    EXPECT_EQ(0x001Fu, d.pixelFormat.blueMask);
    EXPECT_EQ(0x8000u, d.pixelFormat.alphaMask);

    OverlayDescription unknown = DescribeOverlay(8, 8, MakeFourCC('U', 'Y', 'V', 'Y'));
    EXPECT_EQ(0x204u, unknown.pixelFormat.flags);
    EXPECT_EQ(0u, unknown.pixelFormat.bitCount);
    EXPECT_EQ(0x7C00u, unknown.pixelFormat.redMask);
}

TEST(OverlayFormat, R555IsAnRgbFormatWithoutFourCC) {
    OverlayDescription d = DescribeOverlay(640, 480, kFourCCR555);
    EXPECT_EQ(0x40u, d.pixelFormat.flags);
    EXPECT_EQ(0u, d.pixelFormat.fourcc);
    EXPECT_EQ(16u, d.pixelFormat.bitCount);
    EXPECT_EQ(0x8000u, d.pixelFormat.alphaMask);
    // The other RGB-like codes are handed over as FOURCCs.
    EXPECT_EQ(0x204u, DescribeOverlay(640, 480, kFourCCR565).pixelFormat.flags);
    EXPECT_EQ(kFourCCRGB8, DescribeOverlay(640, 480, kFourCCRGB8).pixelFormat.fourcc);
}

TEST(OverlayFormat, OnePixelRectHasAnEdgeOnlyForANonZeroDimension) {
    OverlayRect r = OnePixelRect(320, 240);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(1, r.right);
    EXPECT_EQ(1, r.bottom);
    r = OnePixelRect(0, 240);
    EXPECT_EQ(0, r.right);
    EXPECT_EQ(1, r.bottom);
    r = OnePixelRect(320, 0);
    EXPECT_EQ(1, r.right);
    EXPECT_EQ(0, r.bottom);
}
