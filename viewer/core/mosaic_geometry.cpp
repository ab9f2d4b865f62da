#include "mosaic_geometry.h"

#include <algorithm>

#include "capture_rules.h"

int32_t MosaicColumns(int32_t validCount) { return std::max<int32_t>(3, (validCount + 2) / 3); }

Size32 MultiScreenOuterSize(int32_t columns, const FrameMetrics& m) {
    return Size32{columns * 122 + m.FrameW() + 17, m.FrameH() + 293};
}

MosaicLayout MosaicLayoutFor(int32_t validCount, const FrameMetrics& m) {
    MosaicLayout l{};
    l.count = std::max<int32_t>(0, std::min<int32_t>(validCount, 12));
    l.columns = MosaicColumns(l.count);
    const Size32 outer = MultiScreenOuterSize(l.columns, m);
    l.cellWidth = (outer.cx - 2 * l.columns - m.FrameW() - 17) / l.columns;
    l.cellHeight = (outer.cy - m.FrameH() - 23) / kMosaicRows;
    return l;
}

MosaicPicture MosaicPictureOf(const MosaicLayout& l) {
    MosaicPicture p{};
    p.width = (l.cellWidth + kMosaicGap) * l.columns + kMosaicGap;
    p.height = kMosaicRows * l.cellHeight + 8;
    p.stride = ((uint32_t(p.width) * 24 + 31) & ~31u) / 8;
    p.imageBytes = p.stride * uint32_t(p.height);
    return p;
}

Point32 CellOrigin(const MosaicLayout& l, int32_t cell) {
    const int32_t row = cell / l.columns, column = cell % l.columns;
    return Point32{kMosaicGap + column * (l.cellWidth + kMosaicGap), kMosaicGap + row * (l.cellHeight + kMosaicGap)};
}

Rect32 CellRect(const MosaicLayout& l, int32_t cell) {
    const Point32 o = CellOrigin(l, cell);
    return Rect32{o.x, o.y, o.x + l.cellWidth, o.y + l.cellHeight};
}

Rect32 SelectionFrameRect(const MosaicLayout& l, int32_t cell) {
    const int32_t row = cell / l.columns, column = cell % l.columns;
    const int32_t x = column * (l.cellWidth + kMosaicGap), y = row * (l.cellHeight + kMosaicGap);
    return Rect32{x, y, x + l.cellWidth + 4, y + l.cellHeight + 4};
}

size_t CellRowOffset(const MosaicLayout& l, int32_t cell, int32_t row) {
    const int32_t cellRow = cell / l.columns, column = cell % l.columns;
    const size_t stride = MosaicPictureOf(l).stride;
    const size_t line = size_t((l.cellHeight + kMosaicGap) * (kMosaicRows - 1 - cellRow) + kMosaicGap + row);
    return line * stride + size_t(kMosaicGap + column * (l.cellWidth + kMosaicGap)) * 3;
}

int32_t MoveSelection(const MosaicLayout& l, int32_t selected, uint32_t key) {
    if (l.columns <= 0) return selected;
    int32_t row = selected / l.columns, column = selected % l.columns;
    switch (key) {
    case kMosaicKeyLeft: --column; break;
    case kMosaicKeyRight: ++column; break;
    case kMosaicKeyUp: --row; break;
    case kMosaicKeyDown: ++row; break;
    default: return selected;
    }
    if (column < 0 || column >= l.columns || row < 0 || row >= kMosaicRows) return selected;
    const int32_t cell = row * l.columns + column;
    return cell < l.count ? cell : selected;
}

int32_t CellAt(const MosaicLayout& l, int32_t x, int32_t y) {
    if (x < 1 || y < 1 || x >= l.cellWidth * l.columns + 1 || y >= l.cellHeight * kMosaicRows + 1) return -1;
    const int32_t row = (y - 1) / (l.cellHeight + kMosaicGap), column = (x - 1) / (l.cellWidth + kMosaicGap);
    const int32_t cell = row * l.columns + column;
    return cell < l.count ? cell : -1;
}

int32_t NextCaptureCell(int32_t cell, int32_t count) { return count > 0 ? (cell + 1) % count : 0; }

int32_t CellOfPreset(const int32_t* validPresets, int32_t count, int32_t preset) {
    for (int32_t i = 0; i < count; ++i)
        if (validPresets[i] == preset) return i;
    return 0;
}

std::array<uint8_t, 44> CellFormatRecord(int32_t width, int32_t height, int32_t screenWidth, int32_t bitsPerPixel) {
    std::array<uint8_t, 44> r = CaptureFormatRecord(width, height, screenWidth, bitsPerPixel);
    // A cell's image size counts its rows unpadded.
    const uint32_t size = uint32_t(height) * (uint32_t(width) * 12 / 8);
    for (int i = 0; i < 4; ++i) r[20 + i] = uint8_t(size >> (8 * i));
    return r;
}

Rect32 ClipToMosaic(const Rect32& r, const MosaicPicture& p) {
    Rect32 c{std::max<int32_t>(r.left, 0), std::max<int32_t>(r.top, 0), std::min(r.right, p.width),
             std::min(r.bottom, p.height)};
    if (c.right <= c.left || c.bottom <= c.top) return Rect32{0, 0, 0, 0};
    return c;
}
