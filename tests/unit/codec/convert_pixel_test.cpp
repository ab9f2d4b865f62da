// Exact pixels of the conversions, and the rows of every kind against the plain rows.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "convert_row.h"
#include "cpu_id.h"
#include "frame_convert.h"

using namespace vancodc;

namespace {

// The SIMD row sets this processor can run.
std::vector<std::pair<const char*, const RowSet*>> FastRowSets() {
    std::vector<std::pair<const char*, const RowSet*>> sets;
    if (Sse2Rows() && (CpuFeatures() & kCpuSse2)) sets.emplace_back("SSE2", Sse2Rows());
    if (Avx2Rows() && (CpuFeatures() & kCpuAvx2)) sets.emplace_back("AVX2", Avx2Rows());
    if (Avx512Rows() && (CpuFeatures() & kCpuAvx512) && (CpuFeatures() & kCpuAvx2))
        sets.emplace_back("AVX-512", Avx512Rows());
    return sets;
}

std::vector<uint8_t> OnePair(int kind, uint8_t y0, uint8_t u, uint8_t y1, uint8_t v) {
    const uint8_t pair[4] = {y0, u, y1, v};
    std::vector<uint8_t> out(2 * kOutBytes[kind]);
    PlainRows().packed[kind](pair, out.data(), 1);
    return out;
}

}  // namespace

TEST(ConvertPixel, GreyStaysGrey) {
    EXPECT_EQ(OnePair(kOut555, 128, 128, 128, 128), (std::vector<uint8_t>{0x10, 0x42, 0x10, 0x42}));
    EXPECT_EQ(OnePair(kOut24, 128, 128, 128, 128), (std::vector<uint8_t>{128, 128, 128, 128, 128, 128}));
}

TEST(ConvertPixel, ChromaTermsClampAndRoundDown) {
    // u = 127, su = 47: B = 255 + 127 + 94 clamped, G = 255 - 47, R = 255.
    EXPECT_EQ(OnePair(kOut24, 255, 255, 255, 128), (std::vector<uint8_t>{255, 208, 255, 255, 208, 255}));
    // u = v = -128, su = sv = -48: R = 0, G = 0 + 48 + 96, B = 0.
    EXPECT_EQ(OnePair(kOut24, 0, 0, 0, 0), (std::vector<uint8_t>{0, 144, 0, 0, 144, 0}));
    EXPECT_EQ(OnePair(kOut32, 0, 0, 0, 0), (std::vector<uint8_t>{0, 144, 0, 0, 0, 144, 0, 0}));
    // 144 >> 3 = 18 in the green field.
    EXPECT_EQ(OnePair(kOut555, 0, 0, 0, 0), (std::vector<uint8_t>{0x40, 0x02, 0x40, 0x02}));
    // The two pixels of a pair share the chroma: Y0 = 10, Y1 = 200 with U = 100, V = 160.
    // u = -28, su = -11; v = 32, sv = 12: R = Y + 44, G = Y + 11 - 24, B = Y - 28 - 22.
    EXPECT_EQ(OnePair(kOut24, 10, 100, 200, 160), (std::vector<uint8_t>{0, 0, 54, 150, 187, 244}));
}

TEST(ConvertPixel, Rgb565KeepsHighBitsOnly) {
    const uint8_t white[2] = {0xFF, 0xFF};
    uint8_t out[4] = {};
    PlainRows().rgb565[kOut555](white, out, 1);
    EXPECT_EQ(out[0] | out[1] << 8, 0x7FFF);
    PlainRows().rgb565[kOut24](white, out, 1);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{0xF8, 0xFC, 0xF8}));
    // Pure green 0x07E0 drops its lowest bit in 555 and keeps six bits in 24-bit.
    const uint8_t green[2] = {0xE0, 0x07};
    PlainRows().rgb565[kOut555](green, out, 1);
    EXPECT_EQ(out[0] | out[1] << 8, 0x03E0);
    PlainRows().rgb565[kOut32](green, out, 1);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), (std::vector<uint8_t>{0x00, 0xFC, 0x00, 0x00}));
}

// Every SIMD row against its C row, on random data of every length up to a few blocks.
TEST(ConvertRows, FastRowsWriteTheBytesOfThePlainRows) {
    const auto sets = FastRowSets();
    if (sets.empty()) GTEST_SKIP() << "no SIMD rows on this processor";
    for (const auto& [name, fast] : sets) {
    SCOPED_TRACE(name);
    const RowSet& plain = PlainRows();
    std::mt19937 rng(7);
    std::vector<uint8_t> src(4 * 80 + 16), y(2 * 80), u(80), v(80);
    for (int n = 0; n <= 70; ++n) {
        for (auto* buf : {&src, &y, &u, &v})
            for (auto& b : *buf) b = uint8_t(rng());
        for (int kind = 0; kind < 3; ++kind) {
            const size_t bytes = size_t(2 * n + 1) * kOutBytes[kind] + 16;
            std::vector<uint8_t> a(bytes, 0xAA), b(bytes, 0xAA);
            plain.packed[kind](src.data(), a.data(), n);
            fast->packed[kind](src.data(), b.data(), n);
            ASSERT_EQ(a, b) << "packed kind " << kind << " pairs " << n;
            plain.planar[kind](y.data(), u.data(), v.data(), a.data(), n);
            fast->planar[kind](y.data(), u.data(), v.data(), b.data(), n);
            ASSERT_EQ(a, b) << "planar kind " << kind << " pairs " << n;
            plain.rgb565[kind](src.data(), a.data(), 2 * n + 1);
            fast->rgb565[kind](src.data(), b.data(), 2 * n + 1);
            ASSERT_EQ(a, b) << "565 kind " << kind << " width " << 2 * n + 1;
        }
        std::vector<uint8_t> a(8 * 80 + 16, 0x55), b(8 * 80 + 16, 0x55);
        plain.double16(src.data(), a.data(), n);
        fast->double16(src.data(), b.data(), n);
        ASSERT_EQ(a, b) << "double16 " << n;
        plain.double32(src.data(), a.data(), n);
        fast->double32(src.data(), b.data(), n);
        ASSERT_EQ(a, b) << "double32 " << n;
        plain.double32To24(src.data(), a.data(), n);
        fast->double32To24(src.data(), b.data(), n);
        ASSERT_EQ(a, b) << "double32To24 " << n;
    }
    }
}

TEST(ConvertRows, EveryYuvTripleThroughTheFastRows) {
    const auto sets = FastRowSets();
    if (sets.empty()) GTEST_SKIP() << "no SIMD rows on this processor";
    // All 2^24 (Y, U, V) combinations, 16 pairs at a time, against the plain row.
    std::vector<uint8_t> src(4 * 256), a(8 * 256), b(8 * 256);
    for (int u = 0; u < 256; ++u) {
        for (int v = 0; v < 256; ++v) {
            for (int k = 0; k < 128; ++k) {
                src[4 * k] = uint8_t(2 * k);
                src[4 * k + 1] = uint8_t(u);
                src[4 * k + 2] = uint8_t(2 * k + 1);
                src[4 * k + 3] = uint8_t(v);
            }
            for (int kind : {kOut555, kOut24}) {
                PlainRows().packed[kind](src.data(), a.data(), 128);
                for (const auto& [name, fast] : sets) {
                    fast->packed[kind](src.data(), b.data(), 128);
                    ASSERT_EQ(a, b) << name << " U " << u << " V " << v << " kind " << kind;
                }
            }
        }
    }
}
