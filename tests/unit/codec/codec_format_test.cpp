#include <gtest/gtest.h>

#include "codec_format.h"
#include "stored_size.h"

using namespace vancodc;

TEST(CodecFormatTable, NineteenRowsInSearchOrder) {
    const uint32_t ids[kCodecFormatCount] = {100, 101, 102, 105, 106, 107, 108, 109, 103, 104,
                                             110, 111, 113, 114, 112, 116, 117, 119, 118};
    for (int i = 0; i < kCodecFormatCount; ++i) {
        EXPECT_EQ(kCodecFormats[i].id, ids[i]) << i;
        EXPECT_EQ(kCodecFormats[i].family, 0);
    }
    const CodecFormat* ty0n = FindFormatById(118);
    ASSERT_NE(ty0n, nullptr);
    EXPECT_EQ(ty0n->compression, 0x6E307974u);  // the bytes 't' 'y' '0' 'n'
    EXPECT_EQ(ty0n->bitCount, 12);
    EXPECT_EQ(ty0n->headerSize, 44u);
    EXPECT_STREQ(ty0n->name, "Overlay YUV420");
    EXPECT_STREQ(FindFormatById(104)->name, "Overlay C&T YUV411 Packed");
    EXPECT_EQ(FindFormatById(109)->bitCount, 32);
}

TEST(CodecFormatTable, LookupsByCodeAndByBitCount) {
    EXPECT_EQ(FindFormatByCompression(FourCC('t', 'y', '2', 'c'))->id, 117u);
    EXPECT_EQ(FindFormatByCompression(FourCC('t', 'y', '2', 'd'))->id, 119u);
    EXPECT_EQ(FindFormatByCompression(FourCC('t', '5', '6', '5'))->id, 107u);
    EXPECT_EQ(FindFormatByCompression(0)->id, 100u);  // the first row with code 0
    EXPECT_EQ(FindFormatByCompression(FourCC('T', 'Y', '0', 'N')), nullptr);
    EXPECT_EQ(FindFormatByBitCount(8)->id, 100u);
    EXPECT_EQ(FindFormatByBitCount(16)->id, 101u);
    EXPECT_EQ(FindFormatByBitCount(24)->id, 102u);
    EXPECT_EQ(FindFormatByBitCount(32), nullptr);
    EXPECT_EQ(FindFormatByBitCount(12), nullptr);
    EXPECT_EQ(FindFormatForHeader(0, 24)->id, 102u);
    EXPECT_EQ(FindFormatForHeader(FourCC('r', '0', 'r', 'c'), 24)->id, 109u);
}

TEST(StoredSize, DecodeFlagsHalveThenLimit) {
    auto check = [](uint16_t w, uint16_t h, uint16_t flags, uint16_t ws, uint16_t hs) {
        const StoredSize s = ComputeStoredSize(w, h, flags);
        EXPECT_EQ(s.width, ws) << w << "x" << h << " flags " << flags;
        EXPECT_EQ(s.height, hs) << w << "x" << h << " flags " << flags;
    };
    check(640, 480, 0x03, 320, 240);
    check(640, 480, 0x00, 320, 240);  // limited as well
    check(640, 480, 0x04, 640, 240);
    check(640, 480, 0x14, 320, 240);
    check(720, 480, 0x0C, 608, 228);
    check(720, 480, 0x1C, 320, 228);
    check(720, 480, 0x0E, 360, 228);
    check(160, 120, 0x00, 160, 120);
    check(161, 121, 0x03, 80, 60);
    check(1, 1, 0x03, 0, 0);
    check(120, 90, 0x0C, 120, 90);
}

TEST(StoredSize, ImageSizeByFormat) {
    EXPECT_EQ(StoredImageSize(118, 640, 480, 0x03), 320u * 240 * 3 / 2);
    EXPECT_EQ(StoredImageSize(100, 640, 480, 0x03), 320u * 240);
    EXPECT_EQ(StoredImageSize(105, 640, 480, 0x03), 320u * 240);
    EXPECT_EQ(StoredImageSize(113, 640, 480, 0x03), 320u * 240);
    EXPECT_EQ(StoredImageSize(117, 640, 480, 0x04), 640u * 240 * 2);
    EXPECT_EQ(StoredImageSize(107, 200, 100, 0x04), 200u * 100 * 2);
}
