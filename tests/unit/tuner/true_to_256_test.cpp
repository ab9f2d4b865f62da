// The 256-colour reduction: palette, headers, chosen indices of crafted pixels, remainders,
// and the fast rows giving the reference's bytes on varied frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "true_to_256.h"

namespace kvtun::test {
namespace {

struct Frame {
    int32_t width, height;
    std::vector<uint8_t> source, destination;

    Frame(int32_t w, int32_t h) : width(w), height(h) {
        const int32_t rows = h < 0 ? -h : h;
        source.assign(40 + SourceStride() * rows, 0);
        destination.assign(1064 + DestinationStride() * rows, 0xAA);
        Put(0, 40);
        Put(4, static_cast<uint32_t>(w));
        Put(8, static_cast<uint32_t>(h));
        source[12] = 1;
        source[14] = 24;
        Put(24, 2835);
        Put(28, 3780);
    }
    size_t Columns() const { return static_cast<size_t>(std::max(width, 0)); }
    size_t SourceStride() const { return (Columns() * 3 + 3) & ~size_t{3}; }
    size_t DestinationStride() const { return (Columns() + 3) & ~size_t{3}; }
    void Put(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) source[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r) {
        uint8_t* p = &source[40 + y * SourceStride() + 3 * x];
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
    uint8_t Index(int x, int y) const { return destination[1064 + y * DestinationStride() + x]; }
    static uint32_t Get(const std::vector<uint8_t>& v, size_t at) {
        return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
    }
    int32_t Convert(ReduceRowsFunction reduce = ReduceRowsFast) {
        return TrueTo256(source.data(), destination.data(), reduce);
    }
};

TEST(TrueTo256, FillsBothHeadersAndThePaletteAsTheFormatSays) {
    Frame f(5, 3);
    ASSERT_EQ(0, f.Convert());
    const auto& d = f.destination;
    EXPECT_EQ(40u, Frame::Get(d, 0));
    EXPECT_EQ(5u, Frame::Get(d, 4));
    EXPECT_EQ(3u, Frame::Get(d, 8));
    EXPECT_EQ(1, d[12] | d[13] << 8);
    EXPECT_EQ(8, d[14] | d[15] << 8);
    EXPECT_EQ(0u, Frame::Get(d, 16));
    EXPECT_EQ(8u * 3, Frame::Get(d, 20));
    EXPECT_EQ(2835u, Frame::Get(d, 24));
    EXPECT_EQ(3780u, Frame::Get(d, 28));
    EXPECT_EQ(0u, Frame::Get(d, 32));
    EXPECT_EQ(0u, Frame::Get(d, 36));
    EXPECT_EQ(16u * 3, Frame::Get(f.source, 20));

    auto entry = [&](int i) {
        return std::vector<int>{d[40 + 4 * i], d[41 + 4 * i], d[42 + 4 * i], d[43 + 4 * i]};
    };
    // (blue, green, red, untouched)
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0xAA}), entry(0));
    EXPECT_EQ((std::vector<int>{17, 17, 17, 0xAA}), entry(1));
    EXPECT_EQ((std::vector<int>{238, 238, 238, 0xAA}), entry(10));
    EXPECT_EQ((std::vector<int>{17, 0, 0, 0xAA}), entry(11));
    EXPECT_EQ((std::vector<int>{0, 68, 0, 0xAA}), entry(23));
    EXPECT_EQ((std::vector<int>{0, 0, 17, 0xAA}), entry(31));
    EXPECT_EQ((std::vector<int>{0, 0, 238, 0xAA}), entry(40));
    EXPECT_EQ((std::vector<int>{51, 0, 0, 0xAA}), entry(41));
    EXPECT_EQ((std::vector<int>{204, 102, 51, 0xAA}), entry(40 + 36 + 12 + 4));
    EXPECT_EQ((std::vector<int>{255, 255, 255, 0xAA}), entry(255));
}

TEST(TrueTo256, NullPointersAreRefused) {
    Frame f(2, 2);
    EXPECT_EQ(-1, TrueTo256(nullptr, f.destination.data()));
    EXPECT_EQ(-1, TrueTo256(f.source.data(), nullptr));
    EXPECT_EQ(0xAA, f.destination[0]);
}

TEST(TrueTo256, CraftedPixelsWithoutRemaindersGetTheirIndices) {
    const struct {
        uint8_t b, g, r;
        int index;
    } cases[] = {
        {0, 0, 0, 0},        {51, 51, 51, 83},   {20, 20, 20, 0},     {240, 0, 0, 44},
        {68, 68, 68, 3},     {0, 0, 68, 33},     {5, 5, 68, 33},      {0, 68, 0, 23},
        {68, 0, 0, 13},      {255, 255, 255, 255}, {16, 16, 16, 0},   {0, 0, 255, 220},
        {102, 153, 204, 40 + 36 * 4 + 6 * 3 + 2}, {250, 250, 250, 212}};
    for (auto c : cases) {
        for (auto reduce : {ReduceRowsReference, ReduceRowsFast}) {
            Frame f(1, 1);
            f.Set(0, 0, c.b, c.g, c.r);
            ASSERT_EQ(0, f.Convert(reduce));
            EXPECT_EQ(c.index, f.Index(0, 0)) << int(c.b) << "," << int(c.g) << "," << int(c.r);
        }
    }
}

TEST(TrueTo256, RemaindersStayInTheRowAndAreNeverNegative) {
    // Entry i of the row starts at (i + 2) * 3.
    std::vector<uint16_t> row(ErrorRowEntries(3) * 3, 0);
    const uint8_t pixels[] = {20, 20, 20, 240, 0, 0, 255, 255, 255};
    uint8_t out[3] = {};
    ReduceRowsReference(pixels, 9, out, 3, 3, 1, row.data());
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ((std::vector<uint16_t>{20, 20, 20}), std::vector<uint16_t>(&row[6], &row[9]));
    // 240 + 20 / 4 = 245 on blue; cube blue 204; the others keep 0 + 5.
    EXPECT_EQ(44, out[1]);
    EXPECT_EQ((std::vector<uint16_t>{41, 5, 5}), std::vector<uint16_t>(&row[9], &row[12]));
    EXPECT_EQ(255, out[2]);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(0, row[i]) << i;            // before column 0
    for (int i = 15; i < 18; ++i) EXPECT_EQ(0, row[i]) << i;          // after the last
}

TEST(TrueTo256, AOneColumnFrameTakesOnlyTheRowAboveFromItsNeighbours) {
    for (auto reduce : {ReduceRowsReference, ReduceRowsFast}) {
        Frame f(1, 3);
        f.Set(0, 0, 20, 20, 20);  // black, leaves 20
        f.Set(0, 1, 46, 46, 46);  // 46 + 20 / 4 = 51: the grey cube entry
        f.Set(0, 2, 46, 46, 46);  // 46 + 0 / 4: black again
        ASSERT_EQ(0, f.Convert(reduce));
        EXPECT_EQ(0, f.Index(0, 0));
        EXPECT_EQ(83, f.Index(0, 1));
        EXPECT_EQ(0, f.Index(0, 2));
    }
}

TEST(TrueTo256, ABlackFrameIsIndexZeroEverywhere) {
    Frame f(7, 4);
    ASSERT_EQ(0, f.Convert());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(0, f.Index(x, y));
    // Row padding is left as it was.
    EXPECT_EQ(0xAA, f.Index(7, 0));
}

TEST(TrueTo256, DegenerateFramesGetHeadersAndNoPixels) {
    for (int32_t w : {0, -3}) {
        Frame f(w, 2);
        f.destination.assign(1064, 0xAA);
        ASSERT_EQ(0, f.Convert());
        EXPECT_EQ(8, f.destination[14]);
        EXPECT_EQ(0xAA, f.destination[43]);
    }
    Frame f(4, 0);
    ASSERT_EQ(0, f.Convert());
    EXPECT_EQ(0u, Frame::Get(f.destination, 20));
}

// Frames that visit every branch: noise, smooth gradients, greys, dark and saturated areas.
void Paint(Frame& f, int kind, std::mt19937& rng) {
    const int32_t rows = f.height < 0 ? -f.height : f.height;
    std::uniform_int_distribution<int> any(0, 255), small(0, 24), jitter(-12, 12);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < f.width; ++x) {
            int b = 0, g = 0, r = 0;
            switch (kind) {
            case 0: b = any(rng); g = any(rng); r = any(rng); break;
            case 1: b = x * 255 / std::max(1, f.width - 1); g = y * 255 / std::max(1, rows - 1); r = (x + y) & 255; break;
            case 2: b = g = r = (x * 7 + y * 3) & 255; g = std::clamp(g + jitter(rng), 0, 255); break;
            case 3: b = small(rng); g = small(rng); r = any(rng); if (x & 1) std::swap(b, r); if (y & 1) std::swap(g, r); break;
            case 4: b = g = r = 255 - small(rng); if ((x ^ y) & 4) r = 0; break;
            default: b = small(rng) * 10; g = small(rng) * 10; r = small(rng) * 10; break;
            }
            f.Set(x, y, static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r));
        }
}

// The quick rows to hold to the reference: the table-driven ones, and the AVX2 ones where the
// processor has them.
std::vector<ReduceRowsFunction> QuickRows() {
    std::vector<ReduceRowsFunction> rows{ReduceRowsFast, ReduceRowsBest};
    if (HasAvx2()) rows.push_back(ReduceRowsAvx2);
    else std::printf("no AVX2 here: its rows are not checked\n");
    return rows;
}

TEST(TrueTo256, FastRowsGiveTheReferenceBytesOnVariedFrames) {
    std::mt19937 rng(1234);
    // Bands of 16 rows with rows left over, widths round the 32 columns a band needs.
    const std::pair<int32_t, int32_t> sizes[] = {{1, 9},   {2, 5},   {3, 3},     {5, 7},   {64, 48}, {641, 13},
                                                 {640, -20}, {97, 31}, {31, 17}, {32, 16}, {33, 35}, {640, 480}};
    for (ReduceRowsFunction quick : QuickRows())
        for (auto [w, h] : sizes)
            for (int kind = 0; kind < 6; ++kind) {
                Frame a(w, h);
                Paint(a, kind, rng);
                Frame b = a;
                ASSERT_EQ(0, a.Convert(ReduceRowsReference));
                ASSERT_EQ(0, b.Convert(quick));
                ASSERT_EQ(a.destination, b.destination) << w << "x" << h << " kind " << kind;
                ASSERT_EQ(a.source, b.source);
            }
}

TEST(TrueTo256, FastRowsMatchOnEveryColourOfACoarseCube) {
    // Every (b, g, r) in steps of 3, each as the first pixel of a row and again with remainders.
    std::vector<uint8_t> pixels;
    for (int b = 0; b < 256; b += 3)
        for (int g = 0; g < 256; g += 3)
            for (int r = 0; r < 256; r += 3) {
                pixels.push_back(static_cast<uint8_t>(b));
                pixels.push_back(static_cast<uint8_t>(g));
                pixels.push_back(static_cast<uint8_t>(r));
            }
    const int32_t width = 86 * 86, rows = 86;  // 86 rows of 86 * 86 pixels
    std::vector<uint8_t> a(width * rows);
    std::vector<uint16_t> ea(ErrorRowEntries(width) * 3);
    ReduceRowsReference(pixels.data(), width * 3, a.data(), width, width, rows, ea.data());
    for (ReduceRowsFunction quick : QuickRows()) {
        std::vector<uint8_t> b(width * rows);
        std::vector<uint16_t> eb(ea.size());
        quick(pixels.data(), width * 3, b.data(), width, width, rows, eb.data());
        EXPECT_EQ(a, b);
        EXPECT_EQ(ea, eb) << "the remainder row the last row leaves";
    }
    uint8_t sa[1], sb[1];
    std::vector<uint16_t> za(ErrorRowEntries(1) * 3), zb(za.size());
    for (size_t i = 0; i < pixels.size() / 3; ++i) {
        std::fill(za.begin(), za.end(), 0);
        std::fill(zb.begin(), zb.end(), 0);
        ReduceRowsReference(&pixels[3 * i], 3, &sa[0], 1, 1, 1, za.data());
        ReduceRowsFast(&pixels[3 * i], 3, &sb[0], 1, 1, 1, zb.data());
        ASSERT_EQ(sa[0], sb[0]) << i;
        ASSERT_EQ(za, zb) << i;
    }
}

}  // namespace
}  // namespace kvtun::test
