#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bmp_rules.h"
#include "still_rules.h"

namespace {

// SM_CYDLGFRAME and SM_CYCAPTION as Windows 95 has them.
constexpr int32_t kDlg = 3, kCaption = 18;

TEST(MosaicGeometry, TilesAreMultiplesOf30WithinTheScreen) {
    // Grid 3 in a 240-high video area: 90 x 120 tiles, a 360 x 270 picture, 16 s at 133 ms.
    MosaicGeometry g = ComputeMosaicGeometry(3, 240, 768, kDlg, kCaption);
    EXPECT_EQ(90, g.tileHeight);
    EXPECT_EQ(120, g.tileWidth);
    EXPECT_EQ(360, g.Width());
    EXPECT_EQ(270, g.Height());
    EXPECT_EQ(360, g.tileStride);
    EXPECT_EQ(1080, g.mosaicStride);
    EXPECT_EQ(1080u * 270, g.ImageBytes());
    EXPECT_EQ(16, MosaicTimeLimit(133, 3));
    // Grid 5 in 100 rows: 30, raised to 60.
    EXPECT_EQ(60, ComputeMosaicGeometry(5, 100, 768, kDlg, kCaption).tileHeight);
    // Grid 2 in 390 rows of a 480-line screen: 195 rounds to 210, 420 + 139 does not fit, so
    // ((480 - 139) / 2 + 29) / 30 x 30 - 30 = 150.
    g = ComputeMosaicGeometry(2, 390, 480, kDlg, kCaption);
    EXPECT_EQ(150, g.tileHeight);
    EXPECT_EQ(200, g.tileWidth);
    // A tile width whose bytes are not a multiple of 4 rounds its rows up: grid 4, 60 x 80.
    g = ComputeMosaicGeometry(4, 240, 768, kDlg, kCaption);
    EXPECT_EQ(60, g.tileHeight);
    EXPECT_EQ(80, g.tileWidth);
    EXPECT_EQ(240, g.tileStride);
    EXPECT_EQ(960, g.mosaicStride);
    // The limit is 16 bits: the longest interval on the largest grid still fits.
    EXPECT_EQ(4270 * 25 / 1000 + 15, MosaicTimeLimit(4270, 5));
}

TEST(MosaicGeometry, FramesFillTheCellsFromTheTopLeft) {
    const MosaicGeometry g = ComputeMosaicGeometry(3, 240, 768, kDlg, kCaption);
    MosaicCell first = MosaicCellOf(g, 0);
    EXPECT_EQ(0, first.column);
    EXPECT_EQ(2, first.rowFromBottom) << "bottom-up rows: the top cell row is the last";
    EXPECT_EQ(size_t(2) * 1080 * 90, first.byteOffset);
    EXPECT_EQ(0, first.drawX);
    EXPECT_EQ(0, first.drawY);
    MosaicCell fourth = MosaicCellOf(g, 3);
    EXPECT_EQ(0, fourth.column);
    EXPECT_EQ(1, fourth.rowFromBottom);
    EXPECT_EQ(90, fourth.drawY);
    MosaicCell last = MosaicCellOf(g, 8);
    EXPECT_EQ(2, last.column);
    EXPECT_EQ(0, last.rowFromBottom);
    EXPECT_EQ(size_t(2) * 120 * 3, last.byteOffset);
    EXPECT_EQ(240, last.drawX);
    EXPECT_EQ(180, last.drawY);

    // Nine tiles of one value each land in their cells; nothing else is touched.
    std::vector<uint8_t> mosaic(g.ImageBytes(), 0xEE);
    for (int i = 0; i < 9; ++i) {
        std::vector<uint8_t> tile(size_t(g.tileStride) * g.tileHeight, uint8_t(i + 1));
        CopyTileToMosaic(g, i, tile.data(), mosaic.data());
    }
    CopyTileToMosaic(g, 9, mosaic.data(), mosaic.data());  // beyond the last cell: ignored
    auto at = [&](int x, int yFromTop) { return mosaic[size_t(g.Height() - 1 - yFromTop) * g.mosaicStride + 3 * x]; };
    EXPECT_EQ(1, at(0, 0));
    EXPECT_EQ(2, at(120, 0));
    EXPECT_EQ(3, at(359, 89));
    EXPECT_EQ(4, at(0, 90));
    EXPECT_EQ(5, at(180, 135));
    EXPECT_EQ(9, at(359, 269));
    for (uint8_t b : mosaic) ASSERT_NE(0xEE, b);
}

TEST(StillFormats, DecompressorRecordsFollowTheCaptureRecord) {
    std::array<uint8_t, 44> capture{};
    for (size_t i = 0; i < capture.size(); ++i) capture[i] = uint8_t(0xA0 + i);
    const auto in = DecompressorInputFormat(capture, 120, 90);
    EXPECT_EQ(44u, Le32(in.data()));
    EXPECT_EQ(120u, Le32(in.data() + 4));
    EXPECT_EQ(90u, Le32(in.data() + 8));
    EXPECT_EQ(1, Le16(in.data() + 12));
    EXPECT_EQ(12, Le16(in.data() + 14));
    EXPECT_EQ(0, std::memcmp(in.data() + 16, "ty0n", 4));
    EXPECT_EQ(90u * 180, Le32(in.data() + 20));
    for (int i = 24; i < 40; ++i) EXPECT_EQ(0, in[i]) << i;
    for (int i = 40; i < 44; ++i) EXPECT_EQ(capture[i], in[i]) << "quality and decode flags kept";
    const auto out = DecompressorOutputFormat(120, 90);
    EXPECT_EQ(44u, Le32(out.data()));
    EXPECT_EQ(24, Le16(out.data() + 14));
    EXPECT_EQ(0u, Le32(out.data() + 16));
    EXPECT_EQ(90u * 360, Le32(out.data() + 20));
    for (int i = 24; i < 44; ++i) EXPECT_EQ(0, out[i]) << i;
    EXPECT_EQ(4u * 3 + 1064, ReducedStillBytes(3, 3));
    EXPECT_EQ(320u * 240 + 1064, ReducedStillBytes(320, 240));
}

}  // namespace
