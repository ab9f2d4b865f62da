#include <gtest/gtest.h>

#include "skin_range.h"

namespace {

TEST(SkinRange, ToAndFromPixel) {
    SkinRange r;
    r.Init(0, 100, 50, 0, 200);
    EXPECT_EQ(100, r.ToPixel());
    EXPECT_EQ(50, r.FromPixel(99));
    EXPECT_EQ(50, r.FromPixel(100));
    EXPECT_EQ(51, r.FromPixel(101));
    EXPECT_EQ(0, r.FromPixel(-30));  // clamped first
    EXPECT_EQ(100, r.FromPixel(900));
}

TEST(SkinRange, AnEmptyRangeGivesItsMinimum) {
    SkinRange r;
    r.Init(7, 7, 3, 10, 90);
    EXPECT_EQ(7, r.value);
    EXPECT_EQ(7, r.FromPixel(50));
    EXPECT_EQ(10, r.ToPixel());
    r.Init(0, 10, 5, 40, 40);
    EXPECT_EQ(0, r.FromPixel(40));
    EXPECT_EQ(40, r.ToPixel());
}

TEST(SkinRange, InitRepairsItsBoundsAndClamps) {
    SkinRange r;
    r.Init(10, 5, 99, 30, 20);
    EXPECT_EQ(10, r.max);
    EXPECT_EQ(30, r.pixMax);
    EXPECT_EQ(10, r.value);
}

TEST(SkinRange, StepsStopAtTheEnds) {
    SkinRange r;
    r.Init(-32, 31, 28, 0, 63);
    EXPECT_EQ(1, r.StepUp(6));
    EXPECT_EQ(31, r.value);
    EXPECT_EQ(0, r.StepUp(6));
    r.SetValue(-30);
    EXPECT_EQ(1, r.StepDown(6));
    EXPECT_EQ(-32, r.value);
    EXPECT_EQ(0, r.StepDown(6));
    r.SetMax(-40);
    EXPECT_EQ(-40, r.value);
}

TEST(SkinRange, ReportsOnlyChanges) {
    SkinRange r;
    r.Init(0, 100, 50, 0, 20);  // five values a pixel
    EXPECT_EQ(0, r.SetValueAndReport(51));
    EXPECT_EQ(1, r.SetValueAndReport(60));
    EXPECT_EQ(1, r.SetFromPixel(0));
    EXPECT_EQ(0, r.value);
    EXPECT_EQ(0, r.SetFromPixel(0));
}

}  // namespace
