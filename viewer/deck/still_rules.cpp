#include "still_rules.h"

#include <cstring>

#include "bmp_rules.h"

MosaicGeometry ComputeMosaicGeometry(int32_t grid, int32_t videoAreaHeight, int32_t screenHeight,
                                     int32_t cyDlgFrame, int32_t cyCaption) {
    MosaicGeometry g{};
    g.grid = grid < 1 ? 1 : grid;
    const int32_t n = g.grid;
    int32_t h = ((videoAreaHeight / n) + 15) / 30 * 30;
    if (h * n + cyDlgFrame + cyCaption + 118 > screenHeight)
        h = (((screenHeight / 30 * 30) - cyDlgFrame - cyCaption - 118) / n + 29) / 30 * 30 - 30;
    if (h < 60) h = 60;
    g.tileHeight = h;
    g.tileWidth = h * 4 / 3;
    g.tileStride = (g.tileWidth * 3 + 3) & ~3;
    g.mosaicStride = (n * g.tileWidth * 3 + 3) & ~3;
    return g;
}

uint16_t MosaicTimeLimit(int32_t intervalMs, int32_t grid) {
    return static_cast<uint16_t>(intervalMs * grid * grid / 1000 + 15);
}

MosaicCell MosaicCellOf(const MosaicGeometry& g, int32_t done) {
    MosaicCell c{};
    const int32_t n = g.grid, total = g.Cells();
    c.column = done % n;
    c.rowFromBottom = (total - done - 1) / n;
    c.byteOffset = size_t(c.column) * size_t(g.tileWidth) * 3 +
                   size_t(c.rowFromBottom) * size_t(g.mosaicStride) * size_t(g.tileHeight);
    c.drawX = g.tileWidth * c.column;
    c.drawY = g.tileHeight * (n - c.rowFromBottom - 1);
    return c;
}

void CopyTileToMosaic(const MosaicGeometry& g, int32_t done, const uint8_t* tile, uint8_t* mosaicRows) {
    if (done < 0 || done >= g.Cells()) return;
    uint8_t* to = mosaicRows + MosaicCellOf(g, done).byteOffset;
    const size_t bytes = size_t(g.tileWidth) * 3;
    for (int32_t y = 0; y < g.tileHeight; ++y, tile += g.tileStride, to += g.mosaicStride) std::memcpy(to, tile, bytes);
}

std::array<uint8_t, 44> DecompressorInputFormat(const std::array<uint8_t, 44>& captureRecord, int32_t width,
                                                int32_t height) {
    std::array<uint8_t, 44> f = captureRecord;
    Put32(f.data(), 44);
    Put32(f.data() + 4, static_cast<uint32_t>(width));
    Put32(f.data() + 8, static_cast<uint32_t>(height));
    Put16(f.data() + 12, 1);
    Put16(f.data() + 14, 12);
    std::memcpy(f.data() + 16, "ty0n", 4);
    std::memset(f.data() + 20, 0, 20);
    Put32(f.data() + 20, static_cast<uint32_t>(height * (width * 12 / 8)));
    return f;
}

std::array<uint8_t, 44> DecompressorOutputFormat(int32_t width, int32_t height) {
    std::array<uint8_t, 44> f{};
    Put32(f.data(), 44);
    Put32(f.data() + 4, static_cast<uint32_t>(width));
    Put32(f.data() + 8, static_cast<uint32_t>(height));
    Put16(f.data() + 12, 1);
    Put16(f.data() + 14, 24);
    Put32(f.data() + 20, static_cast<uint32_t>(height * (width * 24 / 8)));
    return f;
}

uint64_t ReducedStillBytes(int32_t width, int32_t height) {
    const uint64_t h = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
    return BmpRowBytes(width < 0 ? 0 : width, 8) * h + 1064;
}
