#include <gtest/gtest.h>

#include "deck_rules.h"

namespace {

TEST(DeckRules, StoredValuesComeBackInRange) {
    DeckSettings s = SettingsFromStored(10, 0, 0, 0, 1, 3, 0);
    EXPECT_EQ(10, s.frameRate);
    EXPECT_EQ(3, s.intervalIndex);
    EXPECT_EQ(0, s.movieMode);
    s = SettingsFromStored(31, 5, -1, 2, 6, 21, 1);
    EXPECT_EQ(10, s.frameRate) << "out of range takes the default";
    EXPECT_EQ(1, s.soundRate22k) << "any non-zero sound flag counts as 1";
    EXPECT_EQ(1, s.sound16Bit);
    EXPECT_EQ(1, s.soundStereo);
    EXPECT_EQ(1, s.stillGrid);
    EXPECT_EQ(3, s.intervalIndex);
    EXPECT_EQ(1, s.movieMode);
    s = SettingsFromStored(0, 0, 0, 0, 0, -1, 2);
    EXPECT_EQ(10, s.frameRate);
    EXPECT_EQ(1, s.stillGrid);
    EXPECT_EQ(3, s.intervalIndex);
    EXPECT_EQ(0, s.movieMode) << "only 1 is Movie";
}

TEST(DeckRules, StepsStopAtTheEnds) {
    DeckSettings s;
    s.intervalIndex = 0;
    StepDeckParameter(s, true, -1);
    EXPECT_EQ(0, s.intervalIndex);
    s.intervalIndex = 20;
    StepDeckParameter(s, true, +1);
    EXPECT_EQ(20, s.intervalIndex);
    s.frameRate = 1;
    StepDeckParameter(s, false, -1);
    EXPECT_EQ(1, s.frameRate);
    s.frameRate = 30;
    StepDeckParameter(s, false, +1);
    EXPECT_EQ(30, s.frameRate);
    StepDeckParameter(s, false, -1);
    EXPECT_EQ(29, s.frameRate);
    EXPECT_EQ(20, s.intervalIndex) << "Movie mode leaves the interval alone";

    int32_t grid = 1;
    const char* labels[] = {"4", "9", "16", "25", "1"};
    for (const char* want : labels) {
        grid = NextStillGrid(grid);
        EXPECT_EQ(want, StillCountLabel(grid));
    }
}

TEST(DeckRules, Labels) {
    DeckSettings s;
    s.intervalIndex = 20;
    FrameLabel l = DeckFrameLabel(s, true);
    EXPECT_EQ("4270", l.text);
    EXPECT_EQ(11, l.height) << "four characters";
    s.intervalIndex = 16;
    l = DeckFrameLabel(s, true);
    EXPECT_EQ("854", l.text);
    EXPECT_EQ(13, l.height);
    s.intervalIndex = 3;
    EXPECT_EQ("133", DeckFrameLabel(s, true).text);
    EXPECT_EQ("10", DeckFrameLabel(s, false).text);

    EXPECT_STREQ("22KHz", SoundRateLabel(1));
    EXPECT_STREQ("11KHz", SoundRateLabel(0));
    EXPECT_STREQ(" 8 bit", SoundBitsLabel(0));
    EXPECT_STREQ("16 bit", SoundBitsLabel(1));
    EXPECT_STREQ("Mono", SoundModeLabel(0));
    EXPECT_STREQ("Stereo", SoundModeLabel(1));

    EXPECT_EQ("C: 11 MB", DiskSpaceLabel(false, 0, 2, 10485761));
    EXPECT_EQ("C: 10 MB", DiskSpaceLabel(false, 0, 2, 10485760));
    EXPECT_EQ("A: 0 MB", DiskSpaceLabel(false, 0, 0, 0));
    EXPECT_EQ("3 sec.", DiskSpaceLabel(true, 2001, 2, 0));
    EXPECT_EQ("2 sec.", DiskSpaceLabel(true, 2000, 2, 0));
}

}  // namespace

namespace {

TEST(DeckRules, TheSoundFormatAndTheRecordingsLength) {
    DeckSettings s;
    const auto mono = DeckAudioFormat(s);
    const uint8_t want[18] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0, 0, 0};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(want[i], mono[i]) << i;
    EXPECT_EQ(11025u, DeckAudioBytesPerSecond(s));
    s.soundRate22k = s.sound16Bit = s.soundStereo = 1;
    EXPECT_EQ(88200u, DeckAudioBytesPerSecond(s)) << "22,050 x 4";
    EXPECT_EQ(4, DeckAudioFormat(s)[12]) << "block align";

    // 10 frames a second of 320 x 240 (115,200 bytes) with 11 kHz 8-bit mono on 100,000,000 bytes.
    EXPECT_EQ(85u, RecordingSeconds(100000000, 115200, 10, 11025));
    EXPECT_EQ(0u, RecordingSeconds(100000, 115200, 10, 11025)) << "not a second";
    EXPECT_EQ(0u, RecordingSeconds(0xFFFFFFFFu, 8, 1, 0)) << "beyond 32,767 seconds";
    EXPECT_EQ(0u, RecordingSeconds(3000, 8, 1, 0)) << "less than the file's headers";
}

TEST(DeckRules, TheEditorsCommandLine) {
    EXPECT_EQ("A:\\Program Files\\Clipmill\\Clipmill.exe C:\\KIVO\\TVCAP.AVI", EditorCommandLine("C:\\KIVO\\TVCAP.AVI"));
    EXPECT_EQ(259u, EditorCommandLine(std::string(400, 'x')).size());
    EXPECT_EQ("ZORTVCAP.AVI", FileNamePart("C:\\KIVO\\ZORTVCAP.AVI"));
    EXPECT_EQ("C:\\KIVO\\TVCAP.AVI", WithFileName("C:\\KIVO\\ZORTVCAP.AVI", "TVCAP.AVI"));
    EXPECT_TRUE(SameNameIgnoringCase("zortvcap.avi", "ZORTVCAP.AVI"));
    EXPECT_FALSE(SameNameIgnoringCase("ZORTVCAP.AV", "ZORTVCAP.AVI"));
}

}  // namespace
