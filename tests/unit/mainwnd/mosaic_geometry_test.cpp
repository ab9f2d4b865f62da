#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "mosaic_geometry.h"

namespace {

// The frame as Wine draws it here: 3-pixel dialog borders, a 19-pixel caption.
const FrameMetrics kFrame{3, 3, 19};

TEST(MosaicGeometry, ColumnsAndTheFixedWindowForOneToTwelvePresets) {
    const int32_t want[13] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4};
    for (int32_t count = 1; count <= 12; ++count) {
        EXPECT_EQ(want[count], MosaicColumns(count)) << count;
        const MosaicLayout l = MosaicLayoutFor(count, kFrame);
        EXPECT_EQ(120, l.cellWidth) << count;
        EXPECT_EQ(90, l.cellHeight) << count;
        const Size32 outer = MultiScreenOuterSize(l.columns, kFrame);
        EXPECT_EQ(l.columns * 122 + 6 + 17, outer.cx);
        EXPECT_EQ(25 + 293, outer.cy);
        // The picture fills the client area but for the 15-pixel margins.
        const MosaicPicture p = MosaicPictureOf(l);
        EXPECT_EQ(outer.cx - 6 - 15, p.width);
        EXPECT_EQ(outer.cy - 25 - 15, p.height);
    }
    const MosaicPicture p = MosaicPictureOf(MosaicLayoutFor(12, kFrame));
    EXPECT_EQ(490, p.width);
    EXPECT_EQ(278, p.height);
    EXPECT_EQ(1472u, p.stride) << "1,470 bytes padded to four";
    EXPECT_EQ(1472u * 278, p.imageBytes);
}

TEST(MosaicGeometry, CellsFrameAndTheDecodedRowsInTheBottomUpPicture) {
    const MosaicLayout l = MosaicLayoutFor(7, kFrame);  // 3 x 3, cells 0..6
    EXPECT_EQ(2, CellRect(l, 0).left);
    EXPECT_EQ(2, CellRect(l, 0).top);
    const Rect32 c5 = CellRect(l, 5);  // row 1, column 2
    EXPECT_EQ(2 + 2 * 122, c5.left);
    EXPECT_EQ(2 + 92, c5.top);
    EXPECT_EQ(c5.left + 120, c5.right);
    const Rect32 f = SelectionFrameRect(l, 5);
    EXPECT_EQ(c5.left - 2, f.left);
    EXPECT_EQ(c5.top - 2, f.top);
    EXPECT_EQ(c5.right + 2, f.right);
    EXPECT_EQ(c5.bottom + 2, f.bottom);

    // Every decoded row lands inside its cell: a picture filled cell by cell with the cell's
    // number shows that number at each cell's rectangle, and black in the gaps.
    const MosaicPicture p = MosaicPictureOf(l);
    std::vector<uint8_t> pixels(p.imageBytes, 0);
    for (int32_t cell = 0; cell < l.count; ++cell)
        for (int32_t i = 0; i < l.cellHeight; ++i) {
            const size_t at = CellRowOffset(l, cell, i);
            ASSERT_LE(at + size_t(l.cellWidth) * 3, pixels.size());
            std::memset(&pixels[at], cell + 1, size_t(l.cellWidth) * 3);
        }
    auto at = [&](int32_t x, int32_t yFromTop) { return pixels[size_t(p.height - 1 - yFromTop) * p.stride + x * 3]; };
    for (int32_t cell = 0; cell < l.count; ++cell) {
        const Rect32 r = CellRect(l, cell);
        EXPECT_EQ(cell + 1, at(r.left, r.top)) << cell;
        EXPECT_EQ(cell + 1, at(r.right - 1, r.bottom - 1)) << cell;
        EXPECT_EQ(0, at(r.left - 1, r.top)) << cell;
        EXPECT_EQ(0, at(r.left, r.bottom)) << cell;
    }
    EXPECT_EQ(0, at(CellRect(l, 7).left, CellRect(l, 7).top)) << "no cell 7";
}

TEST(MosaicGeometry, KeysStopAtTheEdgesAndAtCellsWithoutAPreset) {
    const MosaicLayout four = MosaicLayoutFor(4, kFrame);  // 3 x 3 with cells 0..3
    EXPECT_EQ(0, MoveSelection(four, 0, kMosaicKeyLeft));
    EXPECT_EQ(0, MoveSelection(four, 0, kMosaicKeyUp));
    EXPECT_EQ(1, MoveSelection(four, 0, kMosaicKeyRight));
    EXPECT_EQ(2, MoveSelection(four, 1, kMosaicKeyRight));
    EXPECT_EQ(2, MoveSelection(four, 2, kMosaicKeyRight)) << "the last column";
    EXPECT_EQ(3, MoveSelection(four, 0, kMosaicKeyDown));
    EXPECT_EQ(1, MoveSelection(four, 1, kMosaicKeyDown)) << "cell 4 holds no preset";
    EXPECT_EQ(3, MoveSelection(four, 3, kMosaicKeyDown));
    EXPECT_EQ(0, MoveSelection(four, 3, kMosaicKeyUp));
    EXPECT_EQ(3, MoveSelection(four, 3, 'A')) << "any other key";

    const MosaicLayout twelve = MosaicLayoutFor(12, kFrame);  // 4 x 3
    EXPECT_EQ(3, MoveSelection(twelve, 2, kMosaicKeyRight));
    EXPECT_EQ(3, MoveSelection(twelve, 3, kMosaicKeyRight));
    EXPECT_EQ(11, MoveSelection(twelve, 7, kMosaicKeyDown));
    EXPECT_EQ(11, MoveSelection(twelve, 11, kMosaicKeyDown)) << "three rows";
    EXPECT_EQ(4, MoveSelection(twelve, 4, kMosaicKeyLeft));
}

TEST(MosaicGeometry, ClicksHitCellsFromOneOneAndIgnoreTheTail) {
    const MosaicLayout l = MosaicLayoutFor(12, kFrame);
    EXPECT_EQ(-1, CellAt(l, 0, 10));
    EXPECT_EQ(-1, CellAt(l, 10, 0));
    EXPECT_EQ(0, CellAt(l, 1, 1));
    EXPECT_EQ(0, CellAt(l, 122, 92)) << "the gap right of and below cell 0 still counts as cell 0";
    EXPECT_EQ(5, CellAt(l, 123 + 10, 93 + 10));
    // The hit area ends at 120 x 4 + 1 across and 90 x 3 + 1 down: the last column's right 7 and
    // the last row's bottom 5 pixels are ignored.
    EXPECT_EQ(11, CellAt(l, 480, 270));
    EXPECT_EQ(-1, CellAt(l, 481, 200));
    EXPECT_EQ(-1, CellAt(l, 200, 271));
    const MosaicLayout two = MosaicLayoutFor(2, kFrame);
    EXPECT_EQ(1, CellAt(two, 130, 10));
    EXPECT_EQ(-1, CellAt(two, 250, 10)) << "no preset in cell 2";
}

TEST(MosaicGeometry, TheTourAndTheStartingCell) {
    std::vector<int32_t> visits;
    int32_t cell = 0;
    for (int i = 0; i < 7; ++i) visits.push_back(cell = NextCaptureCell(cell, 3));
    EXPECT_EQ((std::vector<int32_t>{1, 2, 0, 1, 2, 0, 1}), visits);
    EXPECT_EQ(0, NextCaptureCell(0, 1)) << "one preset: the capture stays on cell 0";
    const int32_t valid[4] = {1, 4, 7, 11};
    EXPECT_EQ(2, CellOfPreset(valid, 4, 7));
    EXPECT_EQ(0, CellOfPreset(valid, 4, 5)) << "not a valid preset";
}

TEST(MosaicGeometry, TheCellFormatAndPaintClipping) {
    const auto r = CellFormatRecord(120, 90, 800, 16);
    const uint8_t want[44] = {44, 0, 0, 0, 120, 0, 0, 0, 90, 0, 0, 0, 1, 0, 12, 0, 't', 'y', '0', 'n',
                              0x48, 0x3F, 0, 0,  // 90 x 180 = 16,200
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0};
    EXPECT_EQ(0, std::memcmp(want, r.data(), 44));
    EXPECT_EQ(28, CellFormatRecord(120, 90, 1024, 16)[42]);
    const MosaicPicture p = MosaicPictureOf(MosaicLayoutFor(3, kFrame));
    const Rect32 c = ClipToMosaic(Rect32{-5, -5, 900, 900}, p);
    EXPECT_EQ(0, c.left);
    EXPECT_EQ(p.width, c.right);
    EXPECT_EQ(p.height, c.bottom);
    EXPECT_EQ(0, ClipToMosaic(Rect32{p.width, 0, p.width + 10, 10}, p).Width());
}

}  // namespace
