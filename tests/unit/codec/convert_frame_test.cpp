// Whole frames: the stretch, the 4:2:0 re-pack and the size rules, against the literal model,
// through the plain rows and through the rows this processor selects.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "codec_format.h"
#include "cpu_id.h"
#include "frame_convert.h"
#include "reference_convert.h"
#include "stored_size.h"

using namespace vancodc;
using vancodc::test::ReferenceConvert;

namespace {

const uint32_t kDest[3] = {kFormatRgb16, kFormatRgb24, kFormatRgb32};

std::vector<uint8_t> Convert(const RowSet& rows, uint32_t srcId, uint16_t flags,
                             const std::vector<uint8_t>& src, int w, int h, int kind) {
    std::vector<uint8_t> out(size_t(w) * h * kOutBytes[kind], 0xCD);
    uint16_t ow = 0, oh = 0;
    EXPECT_EQ(ConvertFrameWith(rows, srcId, flags, src.data(), uint16_t(w), uint16_t(h), kDest[kind],
                               out.data(), &ow, &oh),
              1);
    EXPECT_EQ(ow, w);
    EXPECT_EQ(oh, h);
    return out;
}

std::vector<uint8_t> RandomSource(std::mt19937& rng, uint32_t srcId, uint16_t flags, int w, int h) {
    std::vector<uint8_t> src(SourceBytesRead(srcId, flags, uint16_t(w), uint16_t(h)));
    for (auto& b : src) b = uint8_t(rng());
    return src;
}

// The 24-bit pixel at (x, y) of a W-wide output.
std::vector<uint8_t> Pixel24(const std::vector<uint8_t>& out, int w, int x, int y) {
    const size_t at = (size_t(y) * w + x) * 3;
    return {out[at], out[at + 1], out[at + 2]};
}

}  // namespace

TEST(ConvertFrame, SupportedPairs) {
    for (uint32_t src : {107u, 112u, 117u, 118u, 119u}) {
        for (uint32_t dst : {101u, 102u, 120u}) EXPECT_TRUE(IsConversionSupported(src, dst));
        EXPECT_FALSE(IsConversionSupported(src, 100));
        uint16_t ow = 0, oh = 0;
        EXPECT_EQ(ConvertFrame(src, 0, nullptr, 32, 16, 101, nullptr, &ow, &oh), 1);  // a question only
        EXPECT_EQ(ow, 32);
        EXPECT_EQ(oh, 16);
        EXPECT_EQ(ConvertFrame(src, 0, nullptr, 32, 16, 100, nullptr, &ow, &oh), 0);
    }
    for (uint32_t src : {100u, 101u, 102u, 103u, 104u, 105u, 106u, 108u, 109u, 110u, 111u, 113u, 114u, 116u})
        EXPECT_FALSE(IsConversionSupported(src, 101)) << src;
}

TEST(ConvertFrame, DecodeFlags3DoublesEveryPixelAndRow) {
    // ty2c 640 x 480 with flags 0x03: a 320 x 240 stored frame of distinct pairs.
    std::mt19937 rng(3);
    const auto src = RandomSource(rng, 117, 0x03, 640, 480);
    ASSERT_EQ(src.size(), 320u * 240 * 2);
    const auto out = Convert(SelectedRows(), 117, 0x03, src, 640, 480, kOut24);
    const auto plain = Convert(PlainRows(), 117, 0x03, src, 640, 480, kOut24);
    EXPECT_EQ(out, plain);
    std::vector<uint8_t> direct(320 * 240 * 3);
    ConvertFrame(112, 0, src.data(), 320, 240, 102, direct.data(), nullptr, nullptr);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const size_t at = (size_t(y / 2) * 320 + x / 2) * 3;
            ASSERT_EQ(Pixel24(out, 640, x, y), (std::vector<uint8_t>{direct[at], direct[at + 1], direct[at + 2]}))
                << x << "," << y;
        }
    }
    // Decode flags 0 keep the frame at 320 x 240 stored as well.
    EXPECT_EQ(Convert(SelectedRows(), 117, 0x00, src, 640, 480, kOut24), out);
}

TEST(ConvertFrame, PlanarFrameSharesChromaBetweenRowPairs) {
    // ty0n 4 x 4 stored as is (flags 0): Y 0..15, U rows {100, 110} {120, 130}, V all 128.
    std::vector<uint8_t> src(16 + 4 + 4);
    for (int i = 0; i < 16; ++i) src[i] = uint8_t(16 * i);
    src[16] = 100; src[17] = 110; src[18] = 120; src[19] = 130;
    for (int i = 20; i < 24; ++i) src[i] = 128;
    const auto out = Convert(SelectedRows(), 118, 0, src, 4, 4, kOut24);
    EXPECT_EQ(out, ReferenceConvert(118, 0, src, 4, 4, 1));
    // Row 1, pixel 2: Y = 96, U = 110 (u = -18, su = -7): B = 96 - 18 - 14, G = 96 + 7.
    EXPECT_EQ(Pixel24(out, 4, 2, 1), (std::vector<uint8_t>{64, 103, 96}));
    // Row 2 takes the second chroma row: Y = 128, U = 120 (u = -8, su = -3): B = 114, G = 131.
    EXPECT_EQ(Pixel24(out, 4, 0, 2), (std::vector<uint8_t>{114, 131, 128}));
}

TEST(ConvertFrame, StretchesBothWaysWithTheAccumulators) {
    std::mt19937 rng(11);
    // 720 x 480, flags 0: stored 320 x 240, 2.25 times wider and twice as high.
    auto src = RandomSource(rng, 119, 0, 720, 480);
    auto out = Convert(SelectedRows(), 119, 0, src, 720, 480, kOut555);
    EXPECT_EQ(out, ReferenceConvert(119, 0, src, 720, 480, 0));
    // Source pixel 0 fills output pixels 0..2 (B = 0, 320, 640), pixel 1 fills 3..4.
    EXPECT_EQ(out[0], out[4]);
    EXPECT_EQ(out[6], out[8]);
    // 500 x 300 with flag 0x04: width kept, 240 rows spread over 300.
    src = RandomSource(rng, 118, 0x04, 500, 300);
    out = Convert(SelectedRows(), 118, 0x04, src, 500, 300, kOut32);
    EXPECT_EQ(out, ReferenceConvert(118, 0x04, src, 500, 300, 2));
    // A = 0 and 240 copy stored row 0 twice; rows 1, 2 and 3 once; row 4 twice again.
    const size_t stride = 500 * 4;
    auto row = [&](int r) { return std::vector<uint8_t>(out.begin() + r * stride, out.begin() + (r + 1) * stride); };
    EXPECT_EQ(row(0), row(1));
    EXPECT_NE(row(1), row(2));
    EXPECT_NE(row(4), row(3));
    EXPECT_EQ(row(5), row(6));
}

TEST(ConvertFrame, OddWidthsLeaveTheLastPixelBlack) {
    std::mt19937 rng(5);
    const auto src = RandomSource(rng, 112, 0, 5, 3);
    const auto out = Convert(SelectedRows(), 112, 0, src, 5, 3, kOut24);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(Pixel24(out, 5, 4, y), (std::vector<uint8_t>{0, 0, 0}));
    EXPECT_EQ(out, ReferenceConvert(112, 0, src, 5, 3, 1));
}

// Random frames of odd and even sizes, every source, every output, many decode flags:
// the plain rows and the selected rows both give the model's bytes.
TEST(ConvertFrame, RandomFramesMatchTheModel) {
    std::mt19937 rng(2024);
    const uint32_t sources[] = {107, 112, 117, 118, 119};
    for (int round = 0; round < 150; ++round) {
        const uint32_t srcId = sources[round % 5];
        const int w = 1 + int(rng() % 700);
        const int h = 1 + int(rng() % 260);
        const uint16_t flags = uint16_t(rng() % 0x20);
        const int kind = int(rng() % 3);
        const auto src = RandomSource(rng, srcId, flags, w, h);
        const auto model = ReferenceConvert(srcId, flags, src, w, h, kind);
        ASSERT_EQ(Convert(PlainRows(), srcId, flags, src, w, h, kind), model)
            << "plain " << srcId << " " << w << "x" << h << " flags " << flags << " kind " << kind;
        if (Sse2Rows()) {
            ASSERT_EQ(Convert(*Sse2Rows(), srcId, flags, src, w, h, kind), model)
                << "SSE2 " << srcId << " " << w << "x" << h << " flags " << flags << " kind " << kind;
        }
        ASSERT_EQ(Convert(SelectedRows(), srcId, flags, src, w, h, kind), model)
            << "selected " << srcId << " " << w << "x" << h << " flags " << flags << " kind " << kind;
    }
}

TEST(ConvertFrame, MaskingTheCpuSelectsThePlainRows) {
    MaskCpuFeatures(0);
    EXPECT_EQ(&SelectedRows(), &PlainRows());
    MaskCpuFeatures(-1);
}

TEST(ConvertFrame, BytesReadCoverWhatTheConversionReads) {
    EXPECT_EQ(SourceBytesRead(112, 0, 320, 240), 153600u);
    EXPECT_EQ(SourceBytesRead(107, 0x03, 640, 480), 640u * 480 * 2);  // no stored size for 565
    EXPECT_EQ(SourceBytesRead(117, 0x03, 640, 480), 320u * 240 * 2);
    EXPECT_EQ(SourceBytesRead(118, 0x03, 640, 480), 320u * 240 * 3 / 2);
    // An odd stored height reads one chroma row past each plane: still W' x H' x 3 / 2 here.
    EXPECT_EQ(SourceBytesRead(118, 0x04, 320, 121), 320u * 121 * 3 / 2);
    EXPECT_EQ(SourceBytesRead(118, 0x03, 1, 1), 0u);
    EXPECT_EQ(DestBytesWritten(102, 640, 480), 640u * 480 * 3);
    EXPECT_EQ(DestBytesWritten(120, 640, 480), 640u * 480 * 4);
    EXPECT_EQ(DestBytesWritten(100, 640, 480), 0u);
}
