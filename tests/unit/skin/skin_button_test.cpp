#include <gtest/gtest.h>

#include "skin_fakes.h"

namespace {

class Button : public ::testing::Test {
protected:
    void SetUp() override {
        InstallFakeBitmaps();
        root = new SkinNode("ROOT", {0, 0, 100, 100});
        root->host = &host;
        button = new SkinButton("BTN", 10, 10, "SMALL", "SMALL", "BTN");  // 20 x 10 at (10, 10)
        SkinNode::AddChild(root, button);
        button->action = [this](SkinNode*, uint32_t, int32_t, int32_t) { fired.push_back(tick); };
    }
    void TearDown() override {
        SkinToolkit().captureElement = nullptr;
        delete root;
    }
    void Down(int32_t x, int32_t y) { root->MouseDown(x, y); }
    void Move(int32_t x, int32_t y) { SkinCaptureMove(x, y); }
    void Up(int32_t x, int32_t y) { SkinReleaseCapture(x, y); }
    // One run of the 100 ms timer.
    void Tick() {
        ++tick;
        if (SkinRepeatTick()) ++periodicTicks;
    }

    FakeHost host;
    SkinNode* root;
    SkinButton* button;
    std::vector<int> fired;
    int tick = 0, periodicTicks = 0;
};

TEST_F(Button, ANormalButtonFiresOnRelease) {
    Down(15, 15);
    EXPECT_EQ(1, host.captures);
    EXPECT_TRUE(button->Has(SKF_PRESSED));
    EXPECT_TRUE(fired.empty());
    Up(15, 15);
    EXPECT_EQ((std::vector<int>{0}), fired);
    EXPECT_FALSE(button->Has(SKF_PRESSED));
}

TEST_F(Button, SlidingOffAndReleasingFiresNothing) {
    Down(15, 15);
    Move(50, 50);
    EXPECT_FALSE(button->Has(SKF_PRESSED));
    Up(50, 50);
    EXPECT_TRUE(fired.empty());
}

TEST_F(Button, SlidingBackBeforeReleasingFiresOnce) {
    Down(15, 15);
    Move(50, 50);
    Move(12, 12);
    EXPECT_TRUE(button->Has(SKF_PRESSED));
    Up(12, 12);
    EXPECT_EQ(1u, fired.size());
}

TEST_F(Button, FireOnPressFiresAtTheDownOnly) {
    button->flags |= SKF_FIRE_ON_PRESS;
    Down(15, 15);
    EXPECT_EQ(1u, fired.size());
    Up(15, 15);
    EXPECT_EQ(1u, fired.size());
}

TEST_F(Button, ARepeatButtonHeldThirtyTicksFiresOnTheSchedule) {
    button->flags |= SKF_REPEAT;
    Down(15, 15);
    for (int i = 0; i < 30; ++i) Tick();
    Up(15, 15);
    std::vector<int> expected = {0};
    for (int t = 7; t <= 23; t += 2) expected.push_back(t);
    for (int t = 25; t <= 30; ++t) expected.push_back(t);
    EXPECT_EQ(expected, fired);
    EXPECT_EQ(0, periodicTicks);  // the held button takes every tick
    Tick();
    EXPECT_EQ(1, periodicTicks);
}

TEST_F(Button, RepeatTicksCountButDoNotFireWhileThePointerIsOff) {
    button->flags |= SKF_REPEAT;
    Down(15, 15);
    for (int i = 0; i < 6; ++i) Tick();
    Move(80, 80);
    for (int i = 0; i < 10; ++i) Tick();  // ticks 7..16 pass without firing
    Move(15, 15);
    Tick();  // 17: odd, fires
    Tick();  // 18: even, below 25: nothing
    Tick();  // 19
    Up(15, 15);
    EXPECT_EQ((std::vector<int>{0, 17, 19}), fired);
}

TEST_F(Button, ADisabledButtonStillFires) {
    button->SetDisabled(false);
    Down(15, 15);
    Up(15, 15);
    EXPECT_EQ(1u, fired.size());
}

TEST_F(Button, RawButtonsGetEveryMouseMessageButTheTimer) {
    std::vector<uint32_t> messages;
    button->MakeRaw([&](SkinNode*, uint32_t m, int32_t x, int32_t y) {
        messages.push_back(m);
        EXPECT_EQ(15, x);
        EXPECT_EQ(16, y);
    });
    EXPECT_TRUE(button->Has(SKF_ON));
    button->flags |= SKF_REPEAT;
    Down(15, 16);
    for (int i = 0; i < 10; ++i) Tick();
    Move(15, 16);
    Up(15, 16);
    EXPECT_EQ((std::vector<uint32_t>{kSkinButtonDown, kSkinMouseMove, kSkinButtonUp}), messages);
}

TEST_F(Button, DrawingFollowsTheStateAndThePressedLook) {
    FakeCanvas c;
    SkinRect all{0, 0, 100, 100};
    button->Draw(c, all, 0, 0);
    EXPECT_TRUE(c.ops.empty());  // plain rules: enabled, off, not pressed: nothing
    button->flags |= SKF_ON;
    button->Draw(c, all, 0, 0);
    button->flags |= SKF_PRESSED;
    button->Draw(c, all, 0, 0);
    button->flags = 0;
    button->Draw(c, all, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"draw SMALL 10,10", "draw BTN 10,10", "draw SMALL 10,10"}), c.ops);

    c.ops.clear();
    button->flags = SKF_IMAGE_BUTTON | SKF_ENABLED | SKF_PRESSED;
    SkinRect area{10, 10, 30, 20};
    button->Draw(c, area, 5, 5);
    EXPECT_EQ((std::vector<std::string>{"shrunk BTN 16,16", "fill 15,15,35,17", "fill 15,15,17,25"}), c.ops);
    c.ops.clear();
    button->flags = SKF_IMAGE_BUTTON | SKF_ENABLED | SKF_ON;
    button->Draw(c, area, 0, 0);
    button->flags = SKF_IMAGE_BUTTON;
    button->Draw(c, area, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"draw SMALL 10,10", "draw SMALL 10,10"}), c.ops);
}

TEST_F(Button, SetOnRepaintsAtOnce) {
    button->SetOn();
    EXPECT_TRUE(button->Has(SKF_ON));
    EXPECT_EQ(1u, host.invalidated.size());
    EXPECT_EQ(1, host.updates);
    button->SetEnabled(false);
    EXPECT_EQ(1u, host.invalidated.size());
    button->SetPressed(true);
    EXPECT_EQ(2u, host.invalidated.size());
}

}  // namespace
