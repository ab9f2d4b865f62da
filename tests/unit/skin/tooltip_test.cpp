#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin_node.h"
#include "tooltip_tracker.h"

namespace {

struct FakeEnv : TooltipEnvironment {
    SkinNode* under = nullptr;
    int32_t cursorX = 100, cursorY = 100;
    bool hostUnder = true, active = true;
    std::vector<std::string> shown;
    int hides = 0;
    SkinNode* HitTest(void*, int32_t, int32_t) override { return under; }
    void ClientToScreen(void*, int32_t& x, int32_t& y) override {
        x += 1000;
        y += 1000;
    }
    void CursorPosition(int32_t& x, int32_t& y) override {
        x = cursorX;
        y = cursorY;
    }
    bool HostUnderPoint(void*, int32_t, int32_t) override { return hostUnder; }
    bool OwnWindowActive() override { return active; }
    void ShowTip(const char* text, int32_t x, int32_t y) override {
        shown.push_back(std::string(text) + "@" + std::to_string(x) + "," + std::to_string(y));
    }
    void HideTip() override { ++hides; }
};

class Tooltip : public ::testing::Test {
protected:
    Tooltip() : tracker(env) {
        up.tipText = "ﾁｬﾝﾈﾙｱｯﾌﾟ";
        down.tipText = "ﾁｬﾝﾈﾙﾀﾞｳﾝ";
        env.under = &up;
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) tracker.Tick();
    }
    FakeEnv env;
    TooltipTracker tracker;
    SkinNode up{"CHANUP", {0, 0, 30, 19}};
    SkinNode down{"CHANDOWN", {0, 20, 30, 39}};
    SkinNode filler{"FILL", {0, 40, 30, 60}};
    int host = 0;
};

TEST_F(Tooltip, ShownAfterHalfASecondAndHiddenAfterFiveAndAHalf) {
    tracker.PointerMoved(&host, 5, 5);
    Ticks(4);  // 400 ms
    EXPECT_TRUE(env.shown.empty());
    Ticks(1);  // the fifth tick: 500 ms
    ASSERT_EQ(1u, env.shown.size());
    EXPECT_EQ(std::string("ﾁｬﾝﾈﾙｱｯﾌﾟ@100,100"), env.shown[0]);
    int hidesBefore = env.hides;
    Ticks(49);  // up to 5.4 s
    EXPECT_EQ(hidesBefore, env.hides);
    Ticks(1);  // 5.5 s
    EXPECT_EQ(hidesBefore + 1, env.hides);
    Ticks(100);
    EXPECT_EQ(1u, env.shown.size());  // does not come back
}

TEST_F(Tooltip, AOnePixelMoveBeforeTheTipRestartsTheDelay) {
    tracker.PointerMoved(&host, 5, 5);
    Ticks(4);
    tracker.PointerMoved(&host, 6, 5);
    Ticks(4);
    EXPECT_TRUE(env.shown.empty());
    Ticks(1);
    EXPECT_EQ(1u, env.shown.size());
    // After it is shown, small moves leave it.
    int hides = env.hides;
    tracker.PointerMoved(&host, 7, 5);
    EXPECT_EQ(hides, env.hides);
    EXPECT_GE(tracker.ticks, 5);
}

TEST_F(Tooltip, APressHidesTheTipUntilAnotherElement) {
    tracker.PointerMoved(&host, 5, 5);
    Ticks(5);
    tracker.ButtonPressed();
    Ticks(200);
    EXPECT_EQ(1u, env.shown.size());
    env.under = &down;
    tracker.PointerMoved(&host, 5, 25);
    Ticks(5);
    ASSERT_EQ(2u, env.shown.size());
    EXPECT_EQ(0u, env.shown[1].find("ﾁｬﾝﾈﾙﾀﾞｳﾝ"));
}

TEST_F(Tooltip, NoTipWhileAnotherProgramIsActive) {
    env.active = false;
    tracker.PointerMoved(&host, 5, 5);
    Ticks(20);
    EXPECT_TRUE(env.shown.empty());
    env.active = true;
    Ticks(5);
    EXPECT_EQ(1u, env.shown.size());
}

TEST_F(Tooltip, LeavingTheHostForgetsItAndElementsWithoutTextShowNothing) {
    tracker.PointerMoved(&host, 5, 5);
    env.hostUnder = false;
    tracker.Tick();
    EXPECT_EQ(nullptr, tracker.host);
    Ticks(10);
    EXPECT_TRUE(env.shown.empty());
    env.hostUnder = true;
    env.under = &filler;
    tracker.PointerMoved(&host, 5, 45);
    Ticks(10);
    EXPECT_TRUE(env.shown.empty());
}

TEST(TipPlacement, BelowTheCursorOrAboveItAndShiftedLeftAtTheEdges) {
    TipPlace p = PlaceTip(100, 100, 60, 12, 640, 480);
    EXPECT_EQ(100, p.left);
    EXPECT_EQ(118, p.top);
    EXPECT_EQ(165, p.right);
    EXPECT_EQ(134, p.bottom);
    p = PlaceTip(630, 470, 60, 12, 640, 480);
    EXPECT_EQ(452, p.top);  // moved up by cy + 24
    EXPECT_EQ(468, p.bottom);
    EXPECT_EQ(640, p.right);  // ends at the edge
    EXPECT_EQ(575, p.left);
}

}  // namespace
