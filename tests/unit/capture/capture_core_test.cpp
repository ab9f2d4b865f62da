#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "board_picture.h"
#include "capture_core.h"

using namespace capture;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// The record the viewer sends for a 320 x 240 picture on a 1024-wide 16-bit screen.
std::vector<uint8_t> ViewerRecord(uint32_t w = 320, uint32_t h = 240, uint8_t flags = 28) {
    std::vector<uint8_t> r(44, 0);
    Put32(r, 0, 44);
    Put32(r, 4, w);
    Put32(r, 8, h);
    r[12] = 1;
    r[14] = 12;
    Put32(r, 16, board::kFourccTy0n);
    Put32(r, 20, ((w * 12 + 31) & ~31u) / 8 * h);
    r[42] = flags;
    return r;
}

size_t Find(const std::vector<uint8_t>& b, const char* id, size_t from = 0) {
    for (size_t i = from; i + 4 <= b.size(); ++i)
        if (std::memcmp(&b[i], id, 4) == 0) return i;
    return std::string::npos;
}

}  // namespace

TEST(CaptureFormat, ViewerRecordIsTakenAndReadBack) {
    VideoFormat f;
    std::vector<uint8_t> r = ViewerRecord();
    ASSERT_TRUE(ParseVideoFormat(r.data(), 44, f));
    EXPECT_EQ(320u, f.width);
    EXPECT_EQ(240u, f.height);
    EXPECT_EQ(28, f.decodeFlags);
    EXPECT_EQ(320u * 228 * 3 / 2, f.frameBytes);
    // Read back: the same record with the image size the board stores.
    std::vector<uint8_t> back = VideoFormatRecord(f);
    Put32(r, 20, f.frameBytes);
    EXPECT_EQ(r, back);

    r = ViewerRecord();
    EXPECT_FALSE(ParseVideoFormat(r.data(), 43, f));  // header longer than the record
    r[14] = 16;
    EXPECT_FALSE(ParseVideoFormat(r.data(), 44, f));  // ty0n is 12 bits
    r = ViewerRecord(0, 240);
    EXPECT_FALSE(ParseVideoFormat(r.data(), 44, f));
    r = ViewerRecord(2000, 240);
    EXPECT_FALSE(ParseVideoFormat(r.data(), 44, f));
    r = ViewerRecord();
    Put32(r, 16, board::FourCC('M', 'J', 'P', 'G'));
    EXPECT_FALSE(ParseVideoFormat(r.data(), 44, f));
    EXPECT_FALSE(ParseVideoFormat(nullptr, 44, f));

    AudioFormat a;
    const uint8_t pcm[18] = {1, 0, 2, 0, 0x22, 0x56, 0, 0, 0x88, 0x58, 1, 0, 4, 0, 16, 0, 0, 0};
    ASSERT_TRUE(ParseAudioFormat(pcm, 18, a));
    EXPECT_EQ(22050u * 4, a.AvgBytesPerSec());
    EXPECT_EQ(std::vector<uint8_t>(pcm, pcm + 18), AudioFormatRecord(a));
    uint8_t adpcm[18];
    std::memcpy(adpcm, pcm, 18);
    adpcm[0] = 2;
    EXPECT_FALSE(ParseAudioFormat(adpcm, 18, a));
    EXPECT_FALSE(ParseAudioFormat(pcm, 14, a));
}

TEST(CaptureSequence, FramesAreDueAtTheRateUntilTheLimit) {
    SequenceClock c(100000, 1, true);  // 10 frames per second for one second
    EXPECT_EQ(1u, c.FramesDue(0));
    c.Took();
    EXPECT_EQ(0u, c.FramesDue(99));
    EXPECT_EQ(100u, c.WaitMs(0));
    EXPECT_EQ(1u, c.FramesDue(100));
    EXPECT_EQ(9u, c.FramesDue(5000));  // never beyond the limit's ten frames
    for (int i = 0; i < 9; ++i) c.Took();
    EXPECT_TRUE(c.LimitReached(950));
    EXPECT_EQ(900u, c.TimeOf(9));
    SequenceClock open(66666, 0, false);
    EXPECT_EQ(16u, open.FramesDue(1000));
    EXPECT_FALSE(open.LimitReached(100000));
}

TEST(CaptureAvi, FileHoldsVideoSoundAndIndex) {
    VideoFormat f;
    std::vector<uint8_t> r = ViewerRecord(160, 120, 0);
    ASSERT_TRUE(ParseVideoFormat(r.data(), 44, f));
    AudioFormat a;  // 11 kHz 8-bit mono
    const std::string path = ::testing::TempDir() + "capture_test.avi";
    {
        AviWriter w;
        ASSERT_TRUE(w.Open(path, f, 100000, &a));
        std::vector<uint8_t> frame(f.frameBytes);
        for (uint8_t n = 0; n < 3; ++n) {
            std::fill(frame.begin(), frame.end(), uint8_t(n + 1));
            ASSERT_TRUE(w.AddFrame(frame.data(), uint32_t(frame.size())));
        }
        EXPECT_EQ(3u, w.Frames());
        EXPECT_EQ(3307u, w.AudioBytes());  // 0.3 s of 11,025 bytes per second
        ASSERT_TRUE(w.Close());
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_GT(b.size(), 400u);
    EXPECT_EQ(0, std::memcmp(b.data(), "RIFF", 4));
    EXPECT_EQ(b.size() - 8, Get32(b, 4));
    EXPECT_EQ(0, std::memcmp(&b[8], "AVI LIST", 8));
    const size_t avih = Find(b, "avih");
    EXPECT_EQ(100000u, Get32(b, avih + 8));
    EXPECT_EQ(3u, Get32(b, avih + 8 + 16));  // total frames
    EXPECT_EQ(2u, Get32(b, avih + 8 + 24));  // streams
    const size_t vids = Find(b, "vids");
    EXPECT_EQ(board::kFourccTy0n, Get32(b, vids + 4));
    EXPECT_EQ(3u, Get32(b, vids + 32));  // length in frames
    const size_t vstrf = Find(b, "strf", vids);
    EXPECT_EQ(44u, Get32(b, vstrf + 4));
    EXPECT_EQ(std::vector<uint8_t>(r.begin(), r.begin() + 20), std::vector<uint8_t>(&b[vstrf + 8], &b[vstrf + 28]));
    const size_t auds = Find(b, "auds");
    EXPECT_EQ(1u, Get32(b, auds + 20));      // scale: the block
    EXPECT_EQ(11025u, Get32(b, auds + 24));  // rate: bytes per second
    EXPECT_EQ(3307u, Get32(b, auds + 32));   // length in blocks

    const size_t movi = Find(b, "movi");
    EXPECT_EQ(b.size() - 8 - 6 * 16 - movi, Get32(b, movi - 4));  // the list ends at idx1
    const size_t idx = Find(b, "idx1", movi + Get32(b, movi - 4));
    ASSERT_NE(std::string::npos, idx);
    ASSERT_EQ(6u * 16, Get32(b, idx + 4));  // three frames and three sound chunks
    EXPECT_EQ(0, std::memcmp(&b[idx + 8], "00dc", 4));
    EXPECT_EQ(4u, Get32(b, idx + 16));
    EXPECT_EQ(f.frameBytes, Get32(b, idx + 20));
    // The third frame, found through the index, holds its own bytes.
    const size_t third = movi + Get32(b, idx + 8 + 4 * 16 + 8);
    EXPECT_EQ(0, std::memcmp(&b[third], "00dc", 4));
    EXPECT_EQ(3, b[third + 8]);
    EXPECT_EQ(3, b[third + 8 + f.frameBytes - 1]);
    EXPECT_EQ(0x80, b[movi + Get32(b, idx + 8 + 16 + 8) + 8]);  // silence of 8-bit sound
}

// The overlay's keying, one row at a time.
#include "overlay_compose.h"

TEST(OverlayCompose, DrawingStaysOverTheVideoUntilRepainted) {
    using namespace capture;
    constexpr uint16_t K = kOverlayKey16;
    uint16_t primary[6] = {K, K, K, K, K, K};
    const uint16_t shown[6] = {1, 2, 3, 4, 5, 6};
    const uint16_t screen[6] = {1, 2, 0x07E0, 4, 0x07E0, 6};  // someone drew green on pixels 2 and 4
    const uint16_t video[6] = {11, 12, 13, 14, 15, 16};
    uint16_t out[6] = {};
    ComposeOverlayRow(reinterpret_cast<uint8_t*>(primary), reinterpret_cast<const uint8_t*>(shown),
                      reinterpret_cast<const uint8_t*>(screen), reinterpret_cast<const uint8_t*>(video),
                      reinterpret_cast<uint8_t*>(out), 6, 2);
    const uint16_t want[6] = {11, 12, 0x07E0, 14, 0x07E0, 16};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(want[i], out[i]) << i;
    // Next frame: the screen holds what was shown; the drawing stays in the primary surface.
    const uint16_t video2[6] = {21, 22, 23, 24, 25, 26};
    uint16_t out2[6] = {};
    ComposeOverlayRow(reinterpret_cast<uint8_t*>(primary), reinterpret_cast<const uint8_t*>(out),
                      reinterpret_cast<const uint8_t*>(out), reinterpret_cast<const uint8_t*>(video2),
                      reinterpret_cast<uint8_t*>(out2), 6, 2);
    const uint16_t want2[6] = {21, 22, 0x07E0, 24, 0x07E0, 26};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(want2[i], out2[i]) << i;
    // The part repainted: keyed again, the video shows.
    FillOverlayKey(reinterpret_cast<uint8_t*>(primary + 2), 1, 2);
    ComposeOverlayRow(reinterpret_cast<uint8_t*>(primary), reinterpret_cast<const uint8_t*>(out2),
                      reinterpret_cast<const uint8_t*>(out2), reinterpret_cast<const uint8_t*>(video2),
                      reinterpret_cast<uint8_t*>(out), 6, 2);
    EXPECT_EQ(23, out[2]);
    EXPECT_EQ(0x07E0, out[4]);

    const uint8_t bgrx[8] = {0xFF, 0x00, 0x00, 0, 0x08, 0x0C, 0xF8, 0};
    uint16_t packed[2];
    PackRgb565Row(bgrx, reinterpret_cast<uint8_t*>(packed), 2);
    EXPECT_EQ(0x001F, packed[0]);
    EXPECT_EQ(uint16_t(0xF800 | (0x0C >> 2) << 5 | 1), packed[1]);
    // Every channel value lands in its own field, whatever the fourth byte holds.
    std::vector<uint8_t> ramp(4 * 256);
    for (int i = 0; i < 256; ++i) {
        ramp[4 * i] = uint8_t(i);
        ramp[4 * i + 1] = uint8_t(255 - i);
        ramp[4 * i + 2] = uint8_t(i * 7);
        ramp[4 * i + 3] = uint8_t(0xA5);
    }
    for (int width : {256, 13}) {  // whole steps, and a tail
        std::vector<uint16_t> words(size_t(width) + 1, 0x1234);
        PackRgb565Row(ramp.data(), reinterpret_cast<uint8_t*>(words.data()), width);
        for (int i = 0; i < width; ++i)
            ASSERT_EQ(uint16_t((uint8_t(i * 7) >> 3) << 11 | ((255 - i) >> 2) << 5 | i >> 3), words[i]) << i;
        EXPECT_EQ(0x1234, words[size_t(width)]) << "nothing written past the row";
    }
    // A row wider than one step: the key lets the video through, anything else stays.
    std::vector<uint16_t> wide(19, K), wideVideo(19), wideOut(19);
    wide[3] = wide[11] = wide[18] = 0x07E0;
    for (int i = 0; i < 19; ++i) wideVideo[size_t(i)] = uint16_t(100 + i);
    ComposeOverlayRow(reinterpret_cast<uint8_t*>(wide.data()), reinterpret_cast<const uint8_t*>(wideOut.data()),
                      reinterpret_cast<const uint8_t*>(wideOut.data()), reinterpret_cast<const uint8_t*>(wideVideo.data()),
                      reinterpret_cast<uint8_t*>(wideOut.data()), 19, 2);
    for (int i = 0; i < 19; ++i) EXPECT_EQ(i == 3 || i == 11 || i == 18 ? 0x07E0 : 100 + i, wideOut[size_t(i)]) << i;
    std::vector<uint32_t> wide32(11, kOverlayKey32), video32(11), out32(11);
    wide32[5] = 0x00123456;
    for (int i = 0; i < 11; ++i) video32[size_t(i)] = uint32_t(0x01000000 + i);
    ComposeOverlayRow(reinterpret_cast<uint8_t*>(wide32.data()), reinterpret_cast<const uint8_t*>(out32.data()),
                      reinterpret_cast<const uint8_t*>(out32.data()), reinterpret_cast<const uint8_t*>(video32.data()),
                      reinterpret_cast<uint8_t*>(out32.data()), 11, 4);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(i == 5 ? 0x00123456u : uint32_t(0x01000000 + i), out32[size_t(i)]) << i;

    // Composed in place (the last frame shown is the output surface): the same result.
    uint16_t keyed[6] = {K, K, K, K, K, K};
    uint16_t surface[6] = {1, 2, 3, 4, 5, 6};
    ComposeOverlayRow(reinterpret_cast<uint8_t*>(keyed), reinterpret_cast<const uint8_t*>(surface),
                      reinterpret_cast<const uint8_t*>(screen), reinterpret_cast<const uint8_t*>(video),
                      reinterpret_cast<uint8_t*>(surface), 6, 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(want[i], surface[i]) << i;
}
