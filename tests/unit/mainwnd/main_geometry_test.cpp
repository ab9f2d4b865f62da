#include <gtest/gtest.h>

#include "main_geometry.h"

namespace {

// Wine's frame: 3-pixel dialog borders and an 18-pixel caption.
constexpr FrameMetrics kFrame{3, 3, 18};

Size32 Grid(int32_t videoW, int32_t videoH, int32_t screenW, int32_t screenH) {
    int32_t cx = kFrame.FrameW() + videoW + kFrameMargin, cy = kFrame.FrameH() + videoH + kFrameMargin;
    ComputeGridSize(cx, cy, kFrame, screenW, screenH);
    return Size32{cx - kFrame.FrameW() - kFrameMargin, cy - kFrame.FrameH() - kFrameMargin};
}

void ExpectVideo(int32_t w, int32_t h, Size32 got, const char* what) {
    EXPECT_EQ(w, got.cx) << what;
    EXPECT_EQ(h, got.cy) << what;
}

TEST(MainGeometry, TheGridSnapsAlongTheDiagonalWithinTheScreensLimits) {
    ExpectVideo(240, 180, Grid(240, 180, 800, 600), "n = 6 stays");
    ExpectVideo(240, 180, Grid(300, 100, 800, 600), "300 x 100: (3000 + 12000 + 1250) / 2500 = 6");
    ExpectVideo(280, 210, Grid(262, 200, 800, 600), "rounds to the nearest step");
    ExpectVideo(120, 90, Grid(10, 10, 800, 600), "at least three steps");
    ExpectVideo(120, 90, Grid(-200, -200, 800, 600), "a size below the frame");
    ExpectVideo(520, 390, Grid(2000, 1500, 640, 480), "640 x 480: n at most 13");
    ExpectVideo(640, 480, Grid(2000, 1500, 800, 600), "800 x 600: n at most 16");
    ExpectVideo(880, 660, Grid(2000, 1500, 1024, 768), "1024 x 768: n at most 22");
    ExpectVideo(880, 660, Grid(880, 660, 1024, 768), "the largest stays");
    // Another screen height: VERTRES / 30 - 3.
    EXPECT_EQ(29, GridStepLimit(960));
    ExpectVideo(1160, 870, Grid(4000, 3000, 1280, 960), "1280 x 960: n at most 29");
    // Wider than the screen allows: the height's limit at once.
    ExpectVideo(520, 390, Grid(1000, 100, 640, 480), "too wide for 640");
}

TEST(MainGeometry, PlacementFromTheWindowSetting) {
    Placement p = PlaceFromSetting(ParseWindowSetting("16, 16, 240, 180, 0"), kFrame, 800, 600);
    EXPECT_EQ(16, p.x);
    EXPECT_EQ(16, p.y);
    EXPECT_EQ(240, p.videoWidth);
    EXPECT_EQ(180, p.videoHeight);
    EXPECT_FALSE(p.pinned);

    p = PlaceFromSetting(ParseWindowSetting("100,50,999,181,1"), kFrame, 800, 600);
    EXPECT_EQ(180, p.videoHeight) << "181 cut to a multiple of 4";
    EXPECT_EQ(240, p.videoWidth) << "the width follows the height, not the stored width";
    EXPECT_TRUE(p.pinned);

    for (const char* wild : {"0,0,0,661,0", "0,0,0,89,0", "0,0,0,-5,0", "0,0,0,abc,0"})
        EXPECT_EQ(180, PlaceFromSetting(ParseWindowSetting(wild), kFrame, 1024, 768).videoHeight) << wild;

    EXPECT_EQ(388, PlaceFromSetting(ParseWindowSetting("0,0,0,660,0"), kFrame, 640, 480).videoHeight)
        << "390 on 640 x 480, then a multiple of 4";
    EXPECT_EQ(480, PlaceFromSetting(ParseWindowSetting("0,0,0,660,0"), kFrame, 800, 600).videoHeight);
    EXPECT_EQ(660, PlaceFromSetting(ParseWindowSetting("0,0,0,660,0"), kFrame, 1024, 768).videoHeight);
    // Another screen: too tall for it comes down to whole 30-pixel steps of the height less 60.
    EXPECT_EQ(240, PlaceFromSetting(ParseWindowSetting("0,0,0,600,0"), kFrame, 400, 300).videoHeight);

    // Kept on the screen: negative places become 0, and the right and bottom edges pull back.
    p = PlaceFromSetting(ParseWindowSetting("-50,-70,0,180,0"), kFrame, 800, 600);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
    p = PlaceFromSetting(ParseWindowSetting("790,590,0,180,0"), kFrame, 800, 600);
    EXPECT_EQ(800 - 6 - 240 - 15, p.x);
    EXPECT_EQ(600 - 24 - 180 - 15, p.y);
    // Only the x field: the rest are defaults.
    p = PlaceFromSetting(ParseWindowSetting("100"), kFrame, 800, 600);
    EXPECT_EQ(100, p.x);
    EXPECT_EQ(16, p.y);
    EXPECT_EQ(180, p.videoHeight);
}

TEST(MainGeometry, TheSavedTextIsTheVideoAreaOfTheSavedRectangle) {
    const Rect32 saved{40, 30, 40 + 6 + 320 + 15, 30 + 24 + 240 + 15};
    EXPECT_EQ("40,30,320,240,0", FormatWindowSetting(saved, kFrame, false));
    EXPECT_EQ("-63,0,120,90,1", FormatWindowSetting(Rect32{-63, 0, -63 + 141, 129}, kFrame, true));
}

TEST(MainGeometry, SizeRequestsPerView) {
    int32_t cx = 6 + 300 + 15, cy = 24 + 100 + 15;
    EXPECT_TRUE(LimitRequestedSize(cx, cy, SizeContext{false, 0, 0}, kFrame, 800, 600));
    EXPECT_EQ(6 + 240 + 15, cx) << "live: the grid";
    EXPECT_EQ(24 + 180 + 15, cy);

    cx = 50, cy = 50;
    EXPECT_TRUE(LimitRequestedSize(cx, cy, SizeContext{false, 1, 0}, kFrame, 800, 600));
    EXPECT_EQ(6 + 135, cx) << "clip view: 135 x 105 of content at least";
    EXPECT_EQ(24 + 105, cy);
    cx = 5000, cy = 5000;
    LimitRequestedSize(cx, cy, SizeContext{false, 2, 0}, kFrame, 800, 600);
    EXPECT_EQ(6 + 800 + 15, cx) << "no wider than the screen and its margin";
    EXPECT_EQ(5000, cy);

    cx = 50, cy = 50;
    EXPECT_FALSE(LimitRequestedSize(cx, cy, SizeContext{false, 2, 1}, kFrame, 800, 600)) << "a still at its size";
    EXPECT_EQ(50, cx);
}

TEST(MainGeometry, GrowDragFollowsTheView) {
    int32_t cx = 6 + 300 + 15, cy = 24 + 100 + 15;
    EXPECT_TRUE(GrowDragSize(cx, cy, SizeContext{false, 0, 0}, kFrame, 800, 600));
    EXPECT_EQ(6 + 240 + 15, cx);
    EXPECT_EQ(24 + 180 + 15, cy);
    cx = 10, cy = 10;
    EXPECT_TRUE(GrowDragSize(cx, cy, SizeContext{false, 1, 0}, kFrame, 800, 600));
    EXPECT_EQ(6 + 135, cx) << "the clip view only has its minimum";
    EXPECT_EQ(24 + 105, cy);
    EXPECT_FALSE(GrowDragSize(cx, cy, SizeContext{false, 3, 0}, kFrame, 800, 600)) << "capturing";
    EXPECT_FALSE(GrowDragSize(cx, cy, SizeContext{true, 0, 0}, kFrame, 800, 600)) << "multi-screen";
    EXPECT_FALSE(GrowDragSize(cx, cy, SizeContext{false, 2, 1}, kFrame, 800, 600)) << "still on view";
}

TEST(MainGeometry, PanelsDockAndFit) {
    const Rect32 main{16, 16, 16 + 261, 16 + 219};
    const Point32 deck = DeckDockPosition(main, kFrame);
    EXPECT_EQ(19, deck.x);
    EXPECT_EQ(16 + 219 - 3 - 15, deck.y);
    const Rect32 tuner = TunerDockRect(main, kFrame);
    EXPECT_EQ(16 + 261 - 3 - 14, tuner.left);
    EXPECT_EQ(16 + 3 + 18, tuner.top);
    EXPECT_EQ(76, tuner.Width());
    EXPECT_EQ(219 - 6 - 18 - 15, tuner.Height()) << "as tall as the video area";

    EXPECT_TRUE(TunerFitsScreen(Rect32{0, 0, 740, 100}, 800));
    EXPECT_FALSE(TunerFitsScreen(Rect32{0, 0, 741, 100}, 800));
    EXPECT_TRUE(DeckFitsScreen(Rect32{0, 0, 100, 497}, 600));
    EXPECT_FALSE(DeckFitsScreen(Rect32{0, 0, 100, 498}, 600));
    EXPECT_EQ(-63, LeftmostX(kFrame));
}

TEST(MainGeometry, ElementsOfTheWindow) {
    const MainElements e = LayoutMainElements(255, 195);
    EXPECT_EQ(240, e.video.right);
    EXPECT_EQ(180, e.video.bottom);
    EXPECT_EQ(1, e.closedDeck.left);
    EXPECT_EQ(181, e.closedDeck.top);
    EXPECT_EQ(240, e.closedDeck.right);
    EXPECT_EQ(241, e.closedTuner.left);
    EXPECT_EQ(180, e.closedTuner.bottom);
    EXPECT_EQ(195, e.sizeView.left);
    EXPECT_EQ(182, e.sizeView.top);
    EXPECT_EQ(240, e.growZone.left);
    EXPECT_EQ(255, e.growZone.right);
    EXPECT_EQ(240, e.deckGrowZone.left);
    EXPECT_EQ(0, e.deckGrowZone.top);
    EXPECT_EQ(2, e.deckSizeView.top);
}

TEST(MainGeometry, TheStillViewKeepsRoomForTheDeck) {
    const Rect32 current{100, 100, 100 + 261, 100 + 219};
    Rect32 r = StillViewRect(320, 240, current, kFrame, 800, 600);
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ(100 + 320 + 6 + 15, r.right);
    EXPECT_EQ(24 + 240 + 100 + 15, r.bottom);
    r = StillViewRect(0, 0, current, kFrame, 800, 600);
    EXPECT_EQ(240 + 6 + 15, r.Width()) << "no picture: 240 x 180";
    r = StillViewRect(40, 30, current, kFrame, 800, 600);
    EXPECT_EQ(120 + 6 + 15, r.Width()) << "at least 120 x 90";
    EXPECT_EQ(90 + 24 + 15, r.Height());
    r = StillViewRect(640, 480, Rect32{300, 300, 561, 519}, kFrame, 800, 600);
    EXPECT_EQ(800 - 6 - 640 - 15, r.left) << "pulled back from the right edge";
    EXPECT_EQ(0, r.top) << "and from the bottom, not above the top";
    EXPECT_EQ(600 - 3 - 103, r.bottom) << "the deck's 103 pixels stay free below";
}

}  // namespace
