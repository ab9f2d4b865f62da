#include <gtest/gtest.h>

#include <string>

#include "command_filter.h"

namespace {

FilterContext Active() {
    FilterContext c{};
    c.ownWindowActive = true;
    c.hasActiveWindow = true;
    c.activeTitle = "ＫＩＶＯ";
    return c;
}

TEST(CommandFilter, AnActiveViewerGetsEveryName) {
    for (const char* n : {"TV_SIZE", "CD_PLAY", "VCMD_TV_RED", "TV_CH_UP", "VEXT,CH3"})
        EXPECT_TRUE(FilterPassesName(n, Active())) << n;
}

TEST(CommandFilter, AnInactiveViewerGetsOnlyChannelAndPower) {
    FilterContext c = Active();
    c.ownWindowActive = false;
    c.activeTitle = "メモ帳";
    EXPECT_TRUE(FilterPassesName("TV_CH_UP", c));
    EXPECT_TRUE(FilterPassesName("TV_CH_DOWN", c));
    EXPECT_TRUE(FilterPassesName("SYS_TV_POWER", c));
    EXPECT_FALSE(FilterPassesName("TV_SIZE", c));
    EXPECT_FALSE(FilterPassesName("VIDEO_FREEZE", c));
}

TEST(CommandFilter, TheNoteProgramKeepsTheChannelKeysAndFreeze) {
    FilterContext c = Active();
    c.ownWindowActive = false;
    c.activeTitle = "ピコノート";
    EXPECT_FALSE(FilterPassesName("TV_CH_DOWN", c));
    EXPECT_FALSE(FilterPassesName("TV_CH_UP", c));
    EXPECT_TRUE(FilterPassesName("SYS_TV_POWER", c));
    // Active in the viewer's process (a dialog so titled) the prefix rule applies as well.
    c.ownWindowActive = true;
    EXPECT_FALSE(FilterPassesName("VIDEO_FREEZE", c));
    EXPECT_FALSE(FilterPassesName("TV_CHANNEL", c));
    EXPECT_TRUE(FilterPassesName("TV_MAIN_SUB", c));
}

TEST(CommandFilter, AHeldButtonDropsEverything) {
    FilterContext c = Active();
    c.mouseCaptured = true;
    EXPECT_FALSE(FilterPassesName("SYS_TV_POWER", c));
    EXPECT_FALSE(FilterPassesName("TV_CH_UP", c));
}

TEST(CommandFilter, DraggingTheMainWindowDropsEverything) {
    FilterContext c = Active();
    c.mainWindowDragging = true;
    EXPECT_FALSE(FilterPassesName("SYS_TV_POWER", c));
}

TEST(CommandFilter, TheSetupProgramKeepsChannelCaptureAndPictureWords) {
    FilterContext c = Active();
    c.setupWindowExists = true;
    c.voiceReceiverExists = true;
    EXPECT_FALSE(FilterPassesName("VIDEO_CAPTURE", c));
    EXPECT_FALSE(FilterPassesName("TV_CH_UP", c));
    EXPECT_FALSE(FilterPassesName("VCMD_TV_BRIGHT_UP", c));
    EXPECT_FALSE(FilterPassesName("VCMD_TV_MAP_SET", c));
    EXPECT_TRUE(FilterPassesName("TV_VIDEO", c));
    EXPECT_TRUE(FilterPassesName("VCMD_TV_BMP", c));
    // Without a voice receiver the picture words are left to the dispatcher.
    c.voiceReceiverExists = false;
    EXPECT_TRUE(FilterPassesName("VCMD_TV_BRIGHT_UP", c));
}

TEST(CommandFilter, PictureSetupWordsAreTheTwelveMarkedOnes) {
    int count = 0;
    for (const char* w : {"VCMD_TV_RED", "VCMD_TV_BLUE", "VCMD_TV_LIGHT", "VCMD_TV_DEEP",
                          "VCMD_TV_CON_UP", "VCMD_TV_CON_DOWN", "VCMD_TV_DEL", "VCMD_TV_TEL_SET",
                          "VCMD_TV_DEFAULT", "VCMD_TV_MAP_SET", "VCMD_TV_BRIGHT_UP",
                          "VCMD_TV_BRIGHT_DOWN"})
        count += IsPictureSetupWord(w);
    EXPECT_EQ(12, count);
    EXPECT_FALSE(IsPictureSetupWord("VCMD_TV_SETUP"));
    EXPECT_FALSE(IsPictureSetupWord("vcmd_tv_red"));
}

}  // namespace
