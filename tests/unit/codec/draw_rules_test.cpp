// The draw handler's portable rules: formats the overlay takes, the begin record, where the
// overlay goes, and the copy of frames into a YUY2 surface.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "codec_decompress.h"
#include "draw_rules.h"

using namespace vancodc;

namespace {

std::vector<uint8_t> Header(uint32_t code, int32_t w, int32_t h, uint32_t size = 44, uint16_t quality = 75,
                            uint16_t flags = 0) {
    std::vector<uint8_t> b(44, 0);
    FrameHeader f = {};
    f.size = size;
    f.width = w;
    f.height = h;
    f.planes = 1;
    f.bitCount = 16;
    f.compression = code;
    std::memcpy(b.data(), &f, sizeof f);
    b[40] = uint8_t(quality);
    b[41] = uint8_t(quality >> 8);
    b[42] = uint8_t(flags);
    b[43] = uint8_t(flags >> 8);
    return b;
}

const uint32_t kTy2n = FourCC('t', 'y', '2', 'n');
const uint32_t kTy2c = FourCC('t', 'y', '2', 'c');
const uint32_t kTy0n = FourCC('t', 'y', '0', 'n');
const uint32_t kTy2d = FourCC('t', 'y', '2', 'd');

DrawRecord Begun(int32_t frameW, int32_t frameH, uint16_t flags, uint32_t code = kTy2c) {
    const auto h = Header(code, frameW, frameH, 44, 100, flags);
    DrawRecord d = {};
    RecordBegin(d, {0, 0, 0, frameW, frameH, h.data(), 0, 0, frameW, frameH}, {});
    return d;
}

}  // namespace

TEST(DrawRules, QueryTakesTheOverlayFormatsOnlyWhileUsable) {
    for (uint32_t code : {kTy2n, kTy2c, kTy0n, kTy2d}) EXPECT_EQ(0, DrawQuery(true, Header(code, 320, 240).data()));
    EXPECT_EQ(-2, DrawQuery(false, Header(kTy2n, 320, 240).data()));
    EXPECT_EQ(-2, DrawQuery(true, Header(FourCC('t', '5', '6', '5'), 320, 240).data()));
    EXPECT_EQ(-2, DrawQuery(true, Header(0, 320, 240).data()));
    EXPECT_EQ(-2, DrawQuery(true, nullptr));
    EXPECT_EQ(-2, DrawQuery(true, Header(kTy2n, 0, 240).data()));
    EXPECT_EQ(-2, DrawQuery(true, Header(kTy2n, 320, 240, 12).data()));
}

TEST(DrawRules, BeginRecordsStoredSizeQualityAndRectangles) {
    const auto h = Header(kTy2c, 640, 480, 44, 75, 0x03);
    DrawRecord d = {};
    RecordBegin(d, {0x4, 10, 20, 300, 200, h.data(), 8, 6, 600, 400}, {0, 0, 1024, 768});
    EXPECT_EQ(117u, d.formatId);
    EXPECT_EQ(320, d.storedWidth);
    EXPECT_EQ(240, d.storedHeight);
    EXPECT_EQ(75u, d.quality);
    EXPECT_EQ(0x03, d.decodeFlags);
    EXPECT_TRUE(d.flipRows);
    EXPECT_EQ(640, d.frame.right);
    EXPECT_EQ(480, d.frame.bottom);
    EXPECT_EQ((Rect32{8, 6, 608, 406}.right), d.source.right);
    EXPECT_EQ(406, d.source.bottom);
    EXPECT_EQ(10, d.destination.left);
    EXPECT_EQ(310, d.destination.right);
    EXPECT_EQ(220, d.destination.bottom);

    // Full screen: the window's client area; a 40-byte header: quality 100; ty2n keeps its size.
    const auto plain = Header(kTy2n, 720, 480, 40);
    RecordBegin(d, {0x2, 10, 20, 300, 200, plain.data(), 0, 0, 720, 480}, {0, 0, 1024, 768});
    EXPECT_EQ(1024, d.destination.right);
    EXPECT_EQ(768, d.destination.bottom);
    EXPECT_EQ(100u, d.quality);
    EXPECT_EQ(720, d.storedWidth);
    EXPECT_EQ(480, d.storedHeight);
    EXPECT_EQ(0x2u, d.beginFlags);
}

TEST(DrawRules, OverlayIsShrunkInSoftwareOnlyBelowTheStoredSize) {
    const DrawRecord d = Begun(640, 480, 0x03);
    OverlayPlacement p = PlaceOverlay(d, 100, 50, 160, 120, 1024, 768);
    EXPECT_DOUBLE_EQ(0.5, p.shrinkX);
    EXPECT_DOUBLE_EQ(0.5, p.shrinkY);
    EXPECT_EQ(160, p.source.right);
    EXPECT_EQ(120, p.source.bottom);
    // A source wider than 320 lowers the bottom edge by 2.
    EXPECT_EQ(100, p.destination.left);
    EXPECT_EQ(260, p.destination.right);
    EXPECT_EQ(172, p.destination.bottom);

    p = PlaceOverlay(d, 0, 0, 640, 480, 1024, 768);
    EXPECT_EQ(-1, p.shrinkX);
    EXPECT_EQ(-1, p.shrinkY);
    EXPECT_EQ(320, p.source.right);
    EXPECT_EQ(240, p.source.bottom);

    // Half a frame's source rectangle maps to half the stored frame.
    DrawRecord half = d;
    half.source = {320, 0, 640, 240};
    p = PlaceOverlay(half, 0, 0, 320, 240, 1024, 768);
    EXPECT_EQ(160, p.source.left);
    EXPECT_EQ(320, p.source.right);
    EXPECT_EQ(120, p.source.bottom);
    EXPECT_EQ(240, p.destination.bottom);
}

TEST(DrawRules, OffScreenPartsAreCutFromTheSource) {
    const DrawRecord d = Begun(320, 240, 0);
    OverlayPlacement p = PlaceOverlay(d, -100, -40, 400, 300, 640, 480);
    EXPECT_EQ(0, p.destination.left);
    EXPECT_EQ(0, p.destination.top);
    EXPECT_EQ(80, p.source.left);    // 100 of 400 screen pixels: a quarter of 320
    EXPECT_EQ(32, p.source.top);     // 40 of 300: 32 of 240
    EXPECT_EQ(320, p.source.right);

    p = PlaceOverlay(d, 400, 300, 400, 300, 640, 480);
    EXPECT_EQ(640, p.destination.right);
    EXPECT_EQ(480, p.destination.bottom);
    EXPECT_EQ(192, p.source.right);  // 160 of 400 cut: 128 of 320
    EXPECT_EQ(144, p.source.bottom);
}

TEST(DrawRules, FullSizeCopyFlipsRowsAndKeepsToThePitch) {
    const uint16_t w = 4, h = 3;
    std::vector<uint8_t> frame(w * h * 2);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint8_t(i);
    std::vector<uint8_t> surface(12 * 2, 0xEE);  // pitch 12, two rows only
    CopyFrameToOverlay(frame.data(), w, h, -1, -1, {surface.data(), 12, 4, 2});
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(frame[2 * 8 + x], surface[x]);       // last stored row first
        EXPECT_EQ(frame[1 * 8 + x], surface[12 + x]);
    }
    for (int x = 8; x < 12; ++x) {
        EXPECT_EQ(0xEE, surface[x]);
        EXPECT_EQ(0xEE, surface[12 + x]);
    }
}

TEST(DrawRules, ShrunkCopyTakesEveryOtherPixelAndRowWithItsChroma) {
    const uint16_t w = 8, h = 4;
    std::vector<uint8_t> frame(w * h * 2);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint8_t(i);
    std::vector<uint8_t> surface(8 * 2, 0xEE);
    CopyFrameToOverlay(frame.data(), w, h, 0.5, 0.5, {surface.data(), 8, 4, 2});
    // Rows 2 and 0 of the stored frame (the second and fourth from the bottom-up end); pixels
    // 1, 3, 5, 7, with the chroma of pairs 1 and 3 for the odd output pixels.
    const uint8_t row2[8] = {34, 37, 38, 39, 42, 45, 46, 47};
    const uint8_t row0[8] = {2, 5, 6, 7, 10, 13, 14, 15};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(row2[x], surface[x]) << x;
        EXPECT_EQ(row0[x], surface[8 + x]) << x;
    }
}

TEST(DrawRules, ShrunkWidthIsAMultipleOfFourAndStaysInTheSurface) {
    const uint16_t w = 320, h = 240;
    std::vector<uint8_t> frame(size_t(w) * h * 2, 0x55);
    // 0.3 of 320 is 96: the written part of each row ends at byte 192.
    std::vector<uint8_t> surface(size_t(320 * 2) * 72, 0);
    CopyFrameToOverlay(frame.data(), w, h, 0.3, 0.3, {surface.data(), 640, 320, 72});
    EXPECT_EQ(0x55, surface[191]);
    EXPECT_EQ(0, surface[192]);
    EXPECT_EQ(0x55, surface[640 * 71]);
    // A surface smaller than the frame: nothing past its end (checked by the sanitizer).
    std::vector<uint8_t> small(16 * 3);
    CopyFrameToOverlay(frame.data(), w, h, -1, -1, {small.data(), 16, 8, 3});
    CopyFrameToOverlay(frame.data(), w, h, 0.9, -1, {small.data(), 16, 8, 3});
    EXPECT_EQ(0x55, small[15]);
}

TEST(DrawRules, PlanarFramesArePackedWithSharedChromaRows) {
    // 4 x 3: Y plane 12 bytes, U and V planes of 2 x 1.
    const std::vector<uint8_t> planes = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 100, 101, 200, 201};
    std::vector<uint8_t> out(4 * 3 * 2, 0xEE);
    RepackPlanarToPacked(planes.data(), 4, 3, out.data());
    const uint8_t expected[24] = {0, 100, 1, 200, 2, 101, 3, 201, 4, 100, 5, 200,
                                  6, 101, 7, 201, 8, 100, 9, 200, 10, 101, 11, 201};
    for (int i = 0; i < 24; ++i) EXPECT_EQ(expected[i], out[i]) << i;
}
