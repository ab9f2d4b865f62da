// A channel fed from a YUV4MPEG2 file: what the reader takes and refuses, the frame shown at a
// time, and the picture the board makes of it in the capture formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "board_feed.h"
#include "board_picture.h"

using namespace board;

namespace {

// A file whose frame n has luma 10 + n everywhere, U 100 + n, V 200 - n, unless `fill` says.
std::string Y4m(int w, int h, int frames, const std::string& tags = " F25:1", const std::string& frameHeader = "FRAME\n") {
    std::string s = "YUV4MPEG2 W" + std::to_string(w) + " H" + std::to_string(h) + tags + "\n";
    const size_t luma = size_t(w) * h, chroma = size_t((w + 1) / 2) * ((h + 1) / 2);
    for (int n = 0; n < frames; ++n) {
        s += frameHeader;
        s.append(luma, char(10 + n));
        s.append(chroma, char(100 + n));
        s.append(chroma, char(200 - n));
    }
    return s;
}

FeedError Open(Y4mClip& clip, const std::string& file) {
    return clip.Open(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

FeedError OpenOnly(const std::string& file) {
    Y4mClip clip;
    const FeedError e = Open(clip, file);
    EXPECT_EQ(e == kFeedOk || e == kFeedTruncated, clip.Playable()) << file.substr(0, 60);
    return e;
}

// Four quadrants of known colours, as in the board's sample clip (2x2-aligned when w and h
// are multiples of 4).
constexpr Yuv kRed{82, 90, 240}, kGreen{144, 54, 34}, kBlue{41, 240, 110}, kWhite{235, 128, 128};

struct Quadrants {
    int w, h;
    std::vector<uint8_t> y, u, v;
    Quadrants(int width, int height) : w(width), h(height) {
        const int cw = (w + 1) / 2, ch = (h + 1) / 2;
        y.resize(size_t(w) * h);
        u.resize(size_t(cw) * ch);
        v.resize(u.size());
        for (int r = 0; r < h; ++r)
            for (int x = 0; x < w; ++x) {
                const Yuv c = At(x, r);
                y[size_t(r) * w + x] = c.y;
                u[size_t(r / 2) * cw + x / 2] = c.u;
                v[size_t(r / 2) * cw + x / 2] = c.v;
            }
    }
    Yuv At(int x, int r) const {
        if (r < h / 2) return x < w / 2 ? kRed : kGreen;
        return x < w / 2 ? kBlue : kWhite;
    }
    FeedPicture Picture() const {
        FeedPicture p;
        p.y = y.data();
        p.u = u.data();
        p.v = v.data();
        p.width = uint16_t(w);
        p.height = uint16_t(h);
        return p;
    }
};

PictureInput Fed(const FeedPicture& picture) {
    PictureInput in;
    in.channel = 13;
    in.fed = true;
    in.picture = picture;
    return in;
}

std::vector<uint8_t> Render(const PictureInput& in, uint32_t fourcc, uint16_t w, uint16_t h, uint16_t flags = 0) {
    std::vector<uint8_t> out(StoredFrameOf(fourcc, w, h, flags).bytes, 0xEE);
    EXPECT_EQ(out.size(), RenderFrame(in, 0, fourcc, w, h, flags, out.data(), uint32_t(out.size())));
    return out;
}

// Y, U, V of an upright point of a stored ty0n frame.
Yuv Ty0nAt(const std::vector<uint8_t>& f, int w, int h, int x, int y) {
    const int r = h - 1 - y;
    const size_t u = size_t(w) * h + size_t(r / 2) * (w / 2) + x / 2;
    return {f[size_t(r) * w + x], f[u], f[u + size_t(w / 2) * (h / 2)]};
}

void ExpectYuv(Yuv want, Yuv got, const std::string& where = "") {
    EXPECT_EQ(want.y, got.y) << where;
    EXPECT_EQ(want.u, got.u) << where;
    EXPECT_EQ(want.v, got.v) << where;
}

// The frame the point-by-point path makes (PatternPoint, the controls, the storing rules),
// the reference for the board's table-driven feed path.
std::vector<uint8_t> Reference(const PictureInput& in, uint32_t fourcc, int w, int h) {
    std::vector<uint8_t> out(StoredFrameOf(fourcc, uint16_t(w), uint16_t(h), 0).bytes, 128);
    const size_t cr = size_t(w / 2);
    uint8_t* uPlane = out.data() + size_t(w) * h;
    uint8_t* vPlane = uPlane + cr * size_t(h / 2);
    for (int r = 0; r < h; ++r) {
        std::vector<Yuv> row(static_cast<size_t>(w));
        for (int x = 0; x < w; ++x) row[x] = ApplyControls(in, PatternPoint(in, 0, x, h - 1 - r, w, h));
        for (int x = 0; x < w; ++x) {
            if (fourcc == kFourccTy0n) {
                out[size_t(r) * w + x] = row[x].y;
                if (r % 2 == 0 && x % 2 == 0 && size_t(x / 2) < cr) {
                    uPlane[size_t(r / 2) * cr + x / 2] = row[x].u;
                    vPlane[size_t(r / 2) * cr + x / 2] = row[x].v;
                }
            } else if (fourcc == kFourccTy2n) {
                uint8_t* p = out.data() + (size_t(r) * w + x) * 2;
                p[0] = row[x].y;
                p[1] = x % 2 == 0 ? row[x].u : row[x - 1].v;
            }
        }
    }
    return out;
}

}  // namespace

TEST(Y4mClip, TakesEightBitFourTwoZeroOfAnySize) {
    const struct {
        int w, h, frames;
        const char* tags;
    } good[] = {
        {160, 120, 3, " F25:1 Ip A1:1 C420jpeg XYSCSS=420JPEG"},
        {1, 1, 1, " C420"},
        {3, 5, 2, " F30000:1001 C420paldv"},
        {64, 48, 2, " C420mpeg2 It"},
        {2, 2, 4, ""},
        {7, 3, 2, "  F1:1  "},  // extra blanks
    };
    for (const auto& g : good) {
        Y4mClip clip;
        const std::string file = Y4m(g.w, g.h, g.frames, g.tags);
        ASSERT_EQ(kFeedOk, Open(clip, file)) << g.tags;
        EXPECT_EQ(g.w, clip.Width());
        EXPECT_EQ(g.h, clip.Height());
        ASSERT_EQ(uint32_t(g.frames), clip.Frames());
        const FeedPicture last = clip.Picture(uint32_t(g.frames - 1));
        const size_t chroma = size_t((g.w + 1) / 2) * ((g.h + 1) / 2);
        EXPECT_EQ(9 + g.frames, last.y[size_t(g.w) * g.h - 1]);
        EXPECT_EQ(99 + g.frames, last.u[chroma - 1]);
        EXPECT_EQ(201 - g.frames, last.v[chroma - 1]);
    }
    // Frame headers may carry parameters.
    Y4mClip clip;
    const std::string withParameters = Y4m(4, 2, 3, "", "FRAME Ip Xtime=1\n");
    ASSERT_EQ(kFeedOk, Open(clip, withParameters));
    EXPECT_EQ(12, clip.Picture(2).y[0]);
}

TEST(Y4mClip, RefusesWhatDoesNotAddUp) {
    const std::string good = Y4m(4, 2, 2);
    const struct {
        std::string file;
        FeedError want;
    } bad[] = {
        {"", kFeedBadMagic},
        {"RIFF\0\0\0\0AVI ", kFeedBadMagic},
        {"YUV4MPEG W4 H2\nFRAME\n", kFeedBadMagic},
        {"YUV4MPEG2W4 H2\n", kFeedBadMagic},
        {"YUV4MPEG2 W4 H2", kFeedBadHeader},  // no end of line
        {"YUV4MPEG2 W4 H2 " + std::string(5000, 'X') + "\n", kFeedBadHeader},
        {"YUV4MPEG2 W4 H2 I\nFRAME\n", kFeedBadHeader},
        {"YUV4MPEG2 H2\nFRAME\n12345678912345", kFeedNoSize},
        {"YUV4MPEG2 W4\n", kFeedNoSize},
        {"YUV4MPEG2\n", kFeedNoSize},
        {"YUV4MPEG2 W0 H2\n", kFeedBadSize},
        {"YUV4MPEG2 W4 H99999999999999999999\n", kFeedBadSize},
        {"YUV4MPEG2 W16385 H2\n", kFeedBadSize},
        {"YUV4MPEG2 W-4 H2\n", kFeedBadSize},
        {"YUV4MPEG2 W4x H2\n", kFeedBadSize},
        {"YUV4MPEG2 W4 H2 F0:1\n", kFeedBadRate},
        {"YUV4MPEG2 W4 H2 F25:0\n", kFeedBadRate},
        {"YUV4MPEG2 W4 H2 F25\n", kFeedBadRate},
        {"YUV4MPEG2 W4 H2 F1001:1\n", kFeedBadRate},
        {"YUV4MPEG2 W4 H2 F1:99999999\n", kFeedBadRate},
        {"YUV4MPEG2 W4 H2 C422\n", kFeedBadColour},
        {"YUV4MPEG2 W4 H2 C444\n", kFeedBadColour},
        {"YUV4MPEG2 W4 H2 Cmono\n", kFeedBadColour},
        {"YUV4MPEG2 W4 H2 C420p10\n", kFeedBadColour},
        {"YUV4MPEG2 W4 H2\nFRAMX\n12345678912345", kFeedBadFrame},
        {"YUV4MPEG2 W4 H2\nFRAMEX\n12345678912345", kFeedBadFrame},
        {"YUV4MPEG2 W4 H2\n12345678912345", kFeedBadFrame},
        {good + "garbage after the frames", kFeedBadFrame},
        {"YUV4MPEG2 W4 H2\nFRAME " + std::string(2000, 'x') + "\n12345678912345", kFeedBadFrame},
        {"YUV4MPEG2 W4 H2\n", kFeedShort},
        {"YUV4MPEG2 W4 H2\nFRAME\n1234567", kFeedShort},  // 12 bytes make a frame
        {"YUV4MPEG2 W4 H2\nFRA", kFeedShort},
        {"YUV4MPEG2 W16384 H16384\nFRAME\n12345678", kFeedShort},
    };
    for (const auto& b : bad) EXPECT_EQ(b.want, OpenOnly(b.file)) << b.file.substr(0, 60);
    // A file over the limit is refused before a byte is read.
    Y4mClip clip;
    const uint8_t one = 'Y';
    EXPECT_EQ(kFeedTooLarge, clip.Open(&one, kFeedMaxBytes + 1));
    EXPECT_EQ(kFeedCannotOpen, clip.Open(nullptr, 10));
    // A refused file leaves nothing to show, even after a good one.
    ASSERT_EQ(kFeedOk, Open(clip, good));
    EXPECT_EQ(kFeedBadFrame, Open(clip, good + "x"));
    EXPECT_FALSE(clip.Playable());
    EXPECT_EQ(nullptr, clip.Picture(0).y);
}

TEST(Y4mClip, ACutLastFramePlaysTheWholeOnesAndLoops) {
    const std::string whole = Y4m(4, 2, 3);
    for (size_t cut : {size_t(1), size_t(5), size_t(14), size_t(17)}) {  // into the samples, the header
        Y4mClip clip;
        const std::string file = Y4m(4, 2, 4).substr(0, whole.size() + 18 - cut);
        ASSERT_EQ(kFeedTruncated, Open(clip, file)) << cut;
        ASSERT_EQ(3u, clip.Frames());
        EXPECT_EQ(10, clip.Picture(3).y[0]);  // frame 3 is frame 0 again
    }
}

TEST(Y4mClip, FramesFollowTheFilesRate) {
    Y4mClip clip;
    const std::string fifty = Y4m(2, 2, 50, " F25:1");
    ASSERT_EQ(kFeedOk, Open(clip, fifty));
    EXPECT_EQ(0u, clip.FrameAt(0));
    EXPECT_EQ(0u, clip.FrameAt(39));
    EXPECT_EQ(1u, clip.FrameAt(40));
    EXPECT_EQ(25u, clip.FrameAt(1000));
    EXPECT_EQ(0u, clip.FrameAt(2000));  // two seconds: looped
    EXPECT_EQ(49u, clip.FrameAt(1999));
    // What the capture service asks at its own 33 ms steps: 25 of them a second, none skipped twice.
    uint32_t shown = 0, last = 0;
    for (uint32_t t = 0; t < 1000; t += 33) {
        const uint32_t f = clip.FrameAt(t);
        EXPECT_LE(f - last, 1u);
        shown += f != last;
        last = f;
    }
    EXPECT_EQ(24u, shown);
    const std::string ntsc = Y4m(2, 2, 100, " F30000:1001");
    ASSERT_EQ(kFeedOk, Open(clip, ntsc));
    EXPECT_EQ(29u, clip.FrameAt(1000));
    EXPECT_EQ(30u, clip.FrameAt(1001));
    const std::string noRate = Y4m(2, 2, 7, "");
    ASSERT_EQ(kFeedOk, Open(clip, noRate));  // no rate: 25 a second
    EXPECT_EQ(1u, clip.FrameAt(40));
    EXPECT_EQ(uint32_t(0xFFFFFFFFull * 25 / 1000 % 7), clip.FrameAt(0xFFFFFFFFu));  // the tick count wraps
    EXPECT_EQ(0xFFFFFFFFu % 7, FeedFrameAt(0xFFFFFFFFu, 1000, 1, 7));  // 1000 a second
    EXPECT_EQ(uint32_t(0xFFFFFFFFull * 0xFFFFFFFFull / (1000 * 0xFFFFFFFFull) % 7),
              FeedFrameAt(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 7));  // no overflow
    EXPECT_EQ(0u, FeedFrameAt(5000, 25, 1, 0));
}

TEST(FeedPicture, ScalesSolidColoursExactly) {
    const Quadrants q(8, 4);
    const PictureInput in = Fed(q.Picture());
    // 8 x 4 to 320 x 240: every stored point shows its quadrant, edges where they belong.
    const std::vector<uint8_t> big = Render(in, kFourccTy0n, 320, 240);
    for (int y = 0; y < 240; y += 7)
        for (int x = 0; x < 320; x += 5) {
            const Yuv want = y < 120 ? (x < 160 ? kRed : kGreen) : (x < 160 ? kBlue : kWhite);
            ExpectYuv(want, Ty0nAt(big, 320, 240, x, y), std::to_string(x) + "," + std::to_string(y));
        }
    ExpectYuv(kRed, Ty0nAt(big, 320, 240, 159, 119));
    ExpectYuv(kWhite, Ty0nAt(big, 320, 240, 160, 120));
    // 160 x 120 down to 80 x 60 in the packed format: Y0 U Y1 V at each quadrant's centre.
    const Quadrants sample(160, 120);
    const std::vector<uint8_t> small = Render(Fed(sample.Picture()), kFourccTy2n, 80, 60);
    for (int qy : {0, 1})
        for (int qx : {0, 1}) {
            const Yuv want = sample.At(qx * 80 + 40, qy * 60 + 30);
            const uint8_t* p = small.data() + (size_t(59 - (qy * 30 + 15)) * 80 + qx * 40 + 20) * 2;
            EXPECT_EQ((std::vector<uint8_t>{want.y, want.u, want.y, want.v}), std::vector<uint8_t>(p, p + 4));
        }
    // The table-driven path gives the point-by-point picture byte for byte, odd sizes too.
    const Quadrants odd(13, 7);
    for (auto [w, h] : {std::pair{99, 77}, std::pair{320, 240}, std::pair{5, 3}, std::pair{1, 1}}) {
        EXPECT_EQ(Reference(Fed(odd.Picture()), kFourccTy0n, w, h), Render(Fed(odd.Picture()), kFourccTy0n, uint16_t(w), uint16_t(h)))
            << w << "x" << h;
        EXPECT_EQ(Reference(Fed(odd.Picture()), kFourccTy2n, w, h), Render(Fed(odd.Picture()), kFourccTy2n, uint16_t(w), uint16_t(h)))
            << w << "x" << h;
    }
    // 565: the decoder's inverse of white (235, grey) and of blue, bottom row stored first.
    const std::vector<uint8_t> rgb = Render(in, kFourccT565, 16, 12);
    EXPECT_EQ(0xEF5D, rgb[30] | rgb[31] << 8);  // right: white is R = G = B = 235
    const int u = 240 - 128, v = 110 - 128, R = std::max(0, 41 + v + ((3 * v) >> 3)),
              G = 41 - ((3 * u) >> 3) - 2 * ((3 * v) >> 3), B = std::min(255, 41 + u + 2 * ((3 * u) >> 3));
    const uint16_t word = uint16_t((R >> 3) << 11 | (G >> 2) << 5 | (B >> 3));
    EXPECT_EQ(word, rgb[0] | rgb[1] << 8);  // left: blue
}

TEST(FeedPicture, ControlsAndFreezeApplyAsToTheTestPicture) {
    const Quadrants q(4, 4);
    PictureInput in = Fed(q.Picture());
    const struct {
        int brightness, contrast, saturation, hue;
    } settings[] = {{164, 57, 64, 0}, {154, 114, 64, 0}, {154, 57, 32, 0}, {154, 57, 0, 0}, {140, 40, 90, 64}, {154, 57, 64, -30}};
    for (const auto& s : settings) {
        in.brightness = uint8_t(s.brightness);
        in.contrast = uint8_t(s.contrast);
        in.saturation = uint8_t(s.saturation);
        in.hue = int8_t(s.hue);
        const std::vector<uint8_t> f = Render(in, kFourccTy0n, 8, 8);
        ExpectYuv(ApplyControls(in, kRed), Ty0nAt(f, 8, 8, 1, 1));
        ExpectYuv(ApplyControls(in, kWhite), Ty0nAt(f, 8, 8, 6, 6));
    }
    in.saturation = 0;
    ExpectYuv({82, 128, 128}, Ty0nAt(Render(in, kFourccTy0n, 8, 8), 8, 8, 1, 1));
    // Byte for byte as the point-by-point path, with and without a hue turn.
    const Quadrants odd(13, 7);
    for (const auto& s : settings) {
        PictureInput c = Fed(odd.Picture());
        c.brightness = uint8_t(s.brightness);
        c.contrast = uint8_t(s.contrast);
        c.saturation = uint8_t(s.saturation);
        c.hue = int8_t(s.hue);
        for (uint32_t fourcc : {kFourccTy0n, kFourccTy2n})
            EXPECT_EQ(Reference(c, fourcc, 21, 9), Render(c, fourcc, 21, 9)) << s.saturation << " " << s.hue;
    }

    // Frozen, the source hands the held frame while the file plays on.
    in = Fed(q.Picture());
    FrameSource source;
    const std::vector<uint8_t> held = source.Next(in, 0, kFourccTy0n, 8, 8, 0);
    in.frozen = true;
    in.picture = NoSignalPicture();
    EXPECT_EQ(held, source.Next(in, 1, kFourccTy0n, 8, 8, 0));
    in.frozen = false;
    EXPECT_NE(held, source.Next(in, 2, kFourccTy0n, 8, 8, 0));
}

TEST(FeedPicture, NoSignalIsAPlainDarkBlueField) {
    PictureInput in = Fed(FeedPicture());  // a fed channel whose file cannot be shown
    const std::vector<uint8_t> f = Render(in, kFourccTy0n, 64, 48);
    for (int y = 0; y < 48; y += 5)
        for (int x = 0; x < 64; x += 3) ExpectYuv({32, 198, 117}, Ty0nAt(f, 64, 48, x, y));
    EXPECT_EQ(Reference(in, kFourccTy2n, 9, 5), Render(in, kFourccTy2n, 9, 5));
    in.brightness = 164;  // the board makes the field before its controls
    ExpectYuv({42, 198, 117}, Ty0nAt(Render(in, kFourccTy0n, 64, 48), 64, 48, 10, 10));
}

TEST(FeedPicture, TheBoardsSampleClipHasItsKnownColours) {
    const std::string path = std::string(KIVO_SOURCE_DIR) + "/platform/board/data/sample.y4m";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(nullptr, f) << path;
    std::string file;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) file.append(buffer, n);
    std::fclose(f);
    EXPECT_LT(file.size(), 1u << 20);
    Y4mClip clip;
    ASSERT_EQ(kFeedOk, Open(clip, file));
    EXPECT_EQ(160, clip.Width());
    EXPECT_EQ(120, clip.Height());
    EXPECT_EQ(24u, clip.Frames());
    EXPECT_EQ(12u, clip.RateNumerator());
    EXPECT_EQ(1u, clip.RateDenominator());
    const Quadrants want(160, 120);
    for (uint32_t n = 0; n < 24; ++n) {
        PictureInput in = Fed(clip.Picture(n));
        for (auto [x, y] : {std::pair{40, 30}, std::pair{120, 30}, std::pair{40, 90}, std::pair{120, 90}})
            ExpectYuv(want.At(x, y), PatternPoint(in, 0, x, y, 160, 120), std::to_string(n));
        // The yellow box: 16 x 8 at rows 56-63, 6 pixels further each frame.
        ExpectYuv({210, 16, 146}, PatternPoint(in, 0, int(6 * n), 56, 160, 120));
        ExpectYuv({210, 16, 146}, PatternPoint(in, 0, int(6 * n + 15), 63, 160, 120));
        if (n > 0) ExpectYuv(want.At(int(6 * n - 1), 56), PatternPoint(in, 0, int(6 * n - 1), 56, 160, 120));
    }
}
