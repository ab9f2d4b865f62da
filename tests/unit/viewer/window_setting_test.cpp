#include <gtest/gtest.h>

#include "window_setting.h"

namespace {

void ExpectSetting(const char* text, int x, int y, int w, int h, int p) {
    WindowSetting s = ParseWindowSetting(text);
    EXPECT_EQ(x, s.x) << text;
    EXPECT_EQ(y, s.y) << text;
    EXPECT_EQ(w, s.width) << text;
    EXPECT_EQ(h, s.height) << text;
    EXPECT_EQ(p, s.pinned) << text;
}

TEST(WindowSetting, TheDefaultAndAFullValue) {
    ExpectSetting(kWindowSettingDefault, 16, 16, 240, 180, 0);
    ExpectSetting("300,200,320,240,1", 300, 200, 320, 240, 1);
}

TEST(WindowSetting, MissingFieldsKeepTheirDefaults) {
    ExpectSetting("100", 100, 16, 240, 180, 0);
    ExpectSetting("100,", 100, 16, 240, 180, 0);
    ExpectSetting("100, \t ", 100, 16, 240, 180, 0);
    ExpectSetting("100,50", 100, 50, 240, 180, 0);
    ExpectSetting("1,2,3,4", 1, 2, 3, 4, 0);
    ExpectSetting("", 0, 16, 240, 180, 0);
}

TEST(WindowSetting, BlanksAndTabsAfterCommasAndSigns) {
    ExpectSetting("  -40,\t-8,  320,\t 480 ,1", -40, -8, 320, 480, 1);
    ExpectSetting("+5,+6,7,8,9", 5, 6, 7, 8, 9);
}

TEST(WindowSetting, ConversionStopsAtTheFirstNonDigit) {
    ExpectSetting("12abc,34x,5 6,78,9", 12, 34, 5, 78, 9);
    // A field that does not start with a number converts to 0 but the walk goes on.
    ExpectSetting("x,y,z,w,v", 0, 0, 0, 0, 0);
    // Empty fields between commas: the blanks after a comma are skipped up to the next comma.
    ExpectSetting("10,,20", 10, 0, 20, 180, 0);
}

TEST(WindowSetting, HugeNumbersSaturate) {
    WindowSetting s = ParseWindowSetting("99999999999999,-99999999999999");
    EXPECT_EQ(2147483647, s.x);
    EXPECT_EQ(-2147483647 - 1, s.y);
}

}  // namespace
