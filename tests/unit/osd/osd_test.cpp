#include <gtest/gtest.h>

#include "osd_text.h"

namespace {

TEST(OsdText, TheFirstLineNamesThePresetTheCableChannelOrTheInput) {
    EXPECT_EQ("ＮＨＫ", OsdChannelLine(0, "ＮＨＫ", 63));
    EXPECT_EQ("Ｃ ３８", OsdChannelLine(1, "", 88));
    EXPECT_EQ("Ｃ １３", OsdChannelLine(1, "", 63));
    EXPECT_EQ("ビデオ Ｓ", OsdChannelLine(2, "", 0));
    EXPECT_EQ("ビデオ", OsdChannelLine(3, "", 0));
    EXPECT_EQ("ビデオ ２", OsdChannelLine(4, "", 0));
    EXPECT_EQ("", OsdChannelLine(5, "x", 0));
}

TEST(OsdText, TheSecondLineIsTheSoundStatus) {
    const char* expected[] = {"モノラル", "サブ", "メイン", "二カ国語", "ステレオ"};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(expected[k], OsdSoundLine(k));
    EXPECT_EQ("", OsdSoundLine(5));
    EXPECT_EQ("", OsdSoundLine(-1));
}

// One tick as the viewer runs it.
void Tick(OsdTickState& s, const OsdTickInput& in, int& polls, int& erases) {
    if (!OsdTickRuns(in)) return;
    polls += OsdPollDue(s, in);
    erases += OsdCountDown(s);
}

TEST(OsdTick, ShownForThirtyTicksAndPolledEveryThreeSeconds) {
    OsdTickState s{kOsdTicks, 0};
    OsdTickInput live{false, true, false, true};
    int polls = 0, erases = 0, erasedAt = -1;
    for (int t = 1; t <= 90; ++t) {
        int before = erases;
        Tick(s, live, polls, erases);
        if (erases != before) erasedAt = t;
    }
    EXPECT_EQ(30, erasedAt);
    EXPECT_EQ(1, erases);
    EXPECT_EQ(3, polls);
    EXPECT_EQ(0, s.countdown);
}

TEST(OsdTick, AFrozenPictureKeepsTheDisplayAndAClipViewDoesNotPoll) {
    OsdTickState s{kOsdTicks, 0};
    int polls = 0, erases = 0;
    OsdTickInput frozen{true, true, false, true};
    for (int t = 0; t < 100; ++t) Tick(s, frozen, polls, erases);
    EXPECT_EQ(kOsdTicks, s.countdown);
    EXPECT_EQ(0, erases);
    OsdTickInput clip{false, true, false, false};
    for (int t = 0; t < 60; ++t) Tick(s, clip, polls, erases);
    EXPECT_EQ(0, polls);
    EXPECT_EQ(1, erases);
    OsdTickInput multi{false, true, true, true};
    for (int t = 0; t < 60; ++t) Tick(s, multi, polls, erases);
    EXPECT_EQ(0, polls);
}

}  // namespace
