#include <gtest/gtest.h>

#include <vector>

#include "board_picture.h"

using namespace board;

namespace {

constexpr uint16_t kW = 320, kH = 240, kFlags = 12;  // stored 320 x 228

struct Frame {
    StoredFrameSize size;
    std::vector<uint8_t> bytes;
    // Y, U, V of an upright picture point of the stored frame.
    Yuv At(int x, int y) const {
        const int w = size.width, h = size.height, r = h - 1 - y;
        const uint8_t* u = bytes.data() + w * h + (r / 2) * (w / 2) + x / 2;
        return {bytes[size_t(r) * w + x], u[0], u[(w / 2) * (h / 2)]};
    }
};

Frame Render(const PictureInput& in, uint32_t frame, uint32_t fourcc = kFourccTy0n) {
    Frame f;
    f.size = StoredFrameOf(fourcc, kW, kH, kFlags);
    f.bytes.assign(f.size.bytes, 0xEE);
    EXPECT_EQ(f.size.bytes, RenderFrame(in, frame, fourcc, kW, kH, kFlags, f.bytes.data(), f.size.bytes));
    return f;
}

PictureInput Channel(uint16_t code) {
    PictureInput in;
    in.channel = code;
    return in;
}

void ExpectYuv(Yuv want, Yuv got) {
    EXPECT_EQ(want.y, got.y);
    EXPECT_EQ(want.u, got.u);
    EXPECT_EQ(want.v, got.v);
}

}  // namespace

TEST(BoardPicture, StoredSizeFollowsTheDecodeFlags) {
    StoredFrameSize s = StoredFrameOf(kFourccTy0n, 320, 240, 12);
    EXPECT_EQ(320, s.width);
    EXPECT_EQ(228, s.height);
    EXPECT_EQ(320u * 228 * 3 / 2, s.bytes);
    s = StoredFrameOf(kFourccTy0n, 640, 480, 28);
    EXPECT_EQ(320, s.width);
    EXPECT_EQ(228, s.height);
    s = StoredFrameOf(kFourccTy0n, 640, 480, 3);
    EXPECT_EQ(320, s.width);
    EXPECT_EQ(240, s.height);
    EXPECT_EQ(160u * 120 * 2, StoredFrameOf(kFourccTy2n, 160, 120, 0).bytes);
    EXPECT_EQ(0u, StoredFrameOf(FourCC('a', 'b', 'c', 'd'), 160, 120, 0).bytes);
    EXPECT_EQ(0u, StoredFrameOf(kFourccTy0n, 0, 120, 0).bytes);
    // A short buffer is refused without a write.
    std::vector<uint8_t> small(100, 0xEE);
    EXPECT_EQ(0u, RenderFrame(Channel(1), 0, kFourccTy0n, kW, kH, kFlags, small.data(), 100));
    EXPECT_EQ(0xEE, small[0]);
}

TEST(BoardPicture, EachChannelHasItsBarsLabelAndMovingSquare) {
    // Channel 1 starts with the white bar, channel 2 with yellow; the top row is stored last.
    Frame one = Render(Channel(1), 0);
    ExpectYuv({180, 128, 128}, one.At(0, 0));
    EXPECT_EQ(180, one.bytes[size_t(227) * 320]);
    ExpectYuv({161, 44, 141}, one.At(40, 10));  // second bar
    Frame two = Render(Channel(2), 0);
    ExpectYuv({161, 44, 141}, two.At(0, 0));
    ExpectYuv({65, 100, 212}, Render(Channel(6), 0).At(0, 0));  // channel 6 starts with red

    // The square (22 pixels) runs along the band under the bars (rows 152..173).
    ExpectYuv({235, 128, 128}, one.At(0, 160));
    ExpectYuv({16, 128, 128}, one.At(30, 160));
    Frame later = Render(Channel(1), 30);
    ExpectYuv({16, 128, 128}, later.At(0, 160));
    ExpectYuv({235, 128, 128}, later.At(30, 160));

    // The label: the first column of a "1" glyph at scale 6 is blank, its stem lies in column 2.
    const int top = 152 + 22 + 1, left = 20, scale = (228 - top - 1) / 8;
    ExpectYuv({25, 170, 121}, one.At(left + 1, top + 1));
    ExpectYuv({235, 128, 128}, one.At(left + 2 * scale + 1, top + 3 * scale + 1));
    // Cable channel 63 reads "C13": its "C" has a left stroke where "1" has none.
    ExpectYuv({235, 128, 128}, Render(Channel(63), 0).At(left + 1, top + 3 * scale + 1));
}

TEST(BoardPicture, PictureControlsChangeTheOutput) {
    PictureInput in = Channel(2);
    in.brightness = 164;
    ExpectYuv({171, 44, 141}, Render(in, 0).At(0, 0));
    in = Channel(2);
    in.contrast = 114;
    ExpectYuv({255, 44, 141}, Render(in, 0).At(0, 0));
    in = Channel(2);
    in.saturation = 32;
    ExpectYuv({161, 86, 134}, Render(in, 0).At(0, 0));
    in.saturation = 0;
    ExpectYuv({161, 128, 128}, Render(in, 0).At(0, 0));
    in = Channel(2);
    in.hue = 64;  // a quarter turn
    ExpectYuv({161, 115, 44}, Render(in, 0).At(0, 0));
}

TEST(BoardPicture, OtherFormatsAndSources) {
    // 565: the white bar (Y 180, no chroma) is grey 180 = 0xB5B6.
    Frame rgb = Render(Channel(1), 0, kFourccT565);
    EXPECT_EQ(320u * 240 * 2, rgb.size.bytes);
    const size_t top = size_t(239) * 320 * 2;
    EXPECT_EQ(0xB6, rgb.bytes[top]);
    EXPECT_EQ(0xB5, rgb.bytes[top + 1]);
    // ty2n: Y0 U Y1 V of the second bar (yellow) at x 40.
    Frame packed = Render(Channel(1), 0, kFourccTy2n);
    const uint8_t* p = packed.bytes.data() + top + 80;
    EXPECT_EQ((std::vector<uint8_t>{161, 44, 161, 141}), std::vector<uint8_t>(p, p + 4));

    // No station: snow that changes from frame to frame; an external input: a grey ramp.
    Frame snowA = Render(Channel(0), 1), snowB = Render(Channel(0), 2);
    EXPECT_NE(snowA.bytes, snowB.bytes);
    PictureInput video;
    video.channel = 1;
    video.decoderInput = 0x11;
    Frame ext = Render(video, 0);
    EXPECT_EQ(16, ext.At(0, 0).y);
    EXPECT_EQ(235, ext.At(319, 0).y);
}

TEST(BoardPicture, FrozenPictureStaysUntilReleased) {
    FrameSource source;
    PictureInput in = Channel(1);
    const std::vector<uint8_t> first = source.Next(in, 0, kFourccTy0n, kW, kH, kFlags);
    ASSERT_EQ(320u * 228 * 3 / 2, first.size());
    EXPECT_NE(first, source.Next(in, 5, kFourccTy0n, kW, kH, kFlags));  // the square moved
    const std::vector<uint8_t> held = source.Next(in, 5, kFourccTy0n, kW, kH, kFlags);
    in.frozen = true;
    in.channel = 7;
    EXPECT_EQ(held, source.Next(in, 40, kFourccTy0n, kW, kH, kFlags));
    // A new format cannot reuse the held frame.
    EXPECT_EQ(160u * 120 * 2, source.Next(in, 40, kFourccTy2n, 160, 120, 0).size());
    in.frozen = false;
    EXPECT_EQ(Render(in, 41).bytes, source.Next(in, 41, kFourccTy0n, kW, kH, kFlags));
    EXPECT_TRUE(source.Next(in, 41, FourCC('a', 'b', 'c', 'd'), kW, kH, 0).empty());
}
