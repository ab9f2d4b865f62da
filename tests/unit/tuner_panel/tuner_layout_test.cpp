#include <gtest/gtest.h>

#include "tuner_layout.h"

namespace {

TEST(TunerLayout, LevelsFollowTheInnerHeight) {
    const std::pair<int, int> cases[] = {{233, -2}, {232, -1}, {217, -1}, {216, 0}, {201, 0}, {200, 1},
                                         {185, 1},  {169, 2},  {168, 3},  {153, 3}, {152, 4}, {0, 4}};
    for (auto [h, level] : cases) EXPECT_EQ(level, TunerLevel(h)) << h;
}

TEST(TunerLayout, TheInitialHeightShowsPresetsAndThreeOptions) {
    TunerLayout l = LayoutTuner(76, 205);
    EXPECT_EQ(0, l.level);
    EXPECT_TRUE(l.channels);
    EXPECT_EQ(90, l.buttonsY);
    EXPECT_EQ(203 - 43 - 48, l.sourceY);
    EXPECT_TRUE(l.setup && l.freeze && l.multi);
    EXPECT_FALSE(l.autoStart || l.pin);
    EXPECT_EQ(188, l.setupY);
    EXPECT_EQ(156, l.multiY);
    EXPECT_EQ(61, l.inner.right);
    EXPECT_EQ(204, l.inner.bottom);
}

TEST(TunerLayout, TallerShowsPinAndAutoStartShorterDropsThePresetGrid) {
    TunerLayout tall = LayoutTuner(76, 240);  // h = 238: level -2
    EXPECT_EQ(-2, tall.level);
    EXPECT_TRUE(tall.pin && tall.autoStart);
    EXPECT_EQ(238 - 79, tall.pinY);
    TunerLayout mid = LayoutTuner(76, 227);  // h = 225: level -1
    EXPECT_TRUE(mid.autoStart);
    EXPECT_FALSE(mid.pin);
    EXPECT_EQ(225 - 63, mid.autoStartY);
    TunerLayout low = LayoutTuner(76, 152);  // h = 150: level 4
    EXPECT_FALSE(low.channels);
    EXPECT_EQ(0, low.buttonsY);
    EXPECT_EQ(150 - 43, low.sourceY);
    EXPECT_FALSE(low.setup);
    EXPECT_EQ(0, low.gap.left);
    EXPECT_EQ(20, low.gap.top);
    EXPECT_EQ(low.sourceY - 1, low.gap.bottom);
    EXPECT_EQ(low.sourceY + 44, low.pad.top);
    EXPECT_EQ(150, low.pad.bottom);
}

}  // namespace
