#include <gtest/gtest.h>

#include <map>

#include "skin_fakes.h"

namespace {

std::map<std::string, std::vector<uint8_t>>& Bitmaps() {
    static std::map<std::string, std::vector<uint8_t>> bitmaps = {
        {"BTN", MakeDib(20, 10)}, {"BIG", MakeDib(30, 19)}, {"SMALL", MakeDib(8, 8)}};
    return bitmaps;
}

}  // namespace

void InstallFakeBitmaps() {
    SetSkinResourceLoader([](const char* name, size_t* size) -> const void* {
        auto it = Bitmaps().find(name);
        if (it == Bitmaps().end()) return nullptr;
        *size = it->second.size();
        return it->second.data();
    });
}

namespace {

class SkinTree : public ::testing::Test {
protected:
    void SetUp() override {
        InstallFakeBitmaps();
        root = new SkinNode("ROOT", {0, 0, 200, 100});
        root->host = &host;
        panel = new SkinNode("PANEL", {10, 20, 110, 80});
        SkinNode::AddChild(root, panel);
        a = new SkinNode("A", {0, 0, 50, 30});
        b = new SkinNode("B", {25, 10, 75, 40});  // overlaps A, added later
        SkinNode::AddChild(panel, a);
        SkinNode::AddChild(panel, b);
    }
    void TearDown() override { delete root; }
    FakeHost host;
    SkinNode *root, *panel, *a, *b;
};

TEST_F(SkinTree, TheLaterOfTwoOverlappingSiblingsIsHitAndPaintedOnTop) {
    // (40, 35) in the window is (30, 15) in the panel: inside both.
    EXPECT_EQ(b, root->HitTest(40, 35));
    EXPECT_EQ(a, root->HitTest(15, 25));
    EXPECT_EQ(panel, root->HitTest(105, 75));
    EXPECT_EQ(root, root->HitTest(150, 90));
    EXPECT_EQ(nullptr, root->HitTest(200, 50));  // right edge is outside
    std::vector<std::string> order;
    for (SkinNode* n : {a, b})
        n->paintHook = [&](SkinNode* e, SkinCanvas&, const SkinRect&) { order.push_back(e->name); };
    FakeCanvas canvas;
    root->Render(canvas, nullptr, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), order);
}

TEST_F(SkinTree, ARemovedElementIsNeitherPaintedNorHitAndComesBackLast) {
    EXPECT_EQ(1, SkinNode::Remove(b));
    EXPECT_EQ(0, SkinNode::Remove(b));
    EXPECT_EQ(nullptr, b->parent);
    EXPECT_EQ(a, root->HitTest(40, 35));
    EXPECT_EQ(nullptr, root->FindByName("B"));
    std::vector<std::string> order;
    for (SkinNode* n : {a, b})
        n->paintHook = [&](SkinNode* e, SkinCanvas&, const SkinRect&) { order.push_back(e->name); };
    FakeCanvas canvas;
    root->Render(canvas, nullptr, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"A"}), order);

    SkinNode::Remove(a);
    EXPECT_EQ(1, SkinNode::AddChild(panel, b));
    EXPECT_EQ(1, SkinNode::AddChild(panel, a));
    EXPECT_EQ(0, SkinNode::AddChild(root, a));  // already in a list
    EXPECT_EQ(b, panel->firstChild);
    EXPECT_EQ(a, panel->firstChild->LastSibling());
    EXPECT_EQ(a, root->HitTest(40, 35));  // now A is on top
}

TEST_F(SkinTree, CoordinatesFindAndInvalidate) {
    int32_t x = 5, y = 6;
    b->ToWindow(x, y);
    EXPECT_EQ(15, x);
    EXPECT_EQ(26, y);
    b->FromWindow(x, y);
    EXPECT_EQ(5, x);
    EXPECT_EQ(6, y);
    EXPECT_EQ(b, root->FindByName("B"));
    EXPECT_EQ(&host, b->HostOf());
    b->Invalidate();
    ASSERT_EQ(1u, host.invalidated.size());
    EXPECT_EQ(35, host.invalidated[0].left);
    EXPECT_EQ(30, host.invalidated[0].top);
    EXPECT_EQ(85, host.invalidated[0].right);
    EXPECT_EQ(60, host.invalidated[0].bottom);
    // Moving with repaint invalidates the union of the old and the new place.
    host.invalidated.clear();
    b->MoveAndRepaint(0, 0, true);
    ASSERT_EQ(1u, host.invalidated.size());
    EXPECT_EQ(10, host.invalidated[0].left);
    EXPECT_EQ(20, host.invalidated[0].top);
    EXPECT_EQ(85, host.invalidated[0].right);
    EXPECT_EQ(60, host.invalidated[0].bottom);
    // Without a host nothing happens.
    SkinNode::Remove(panel);
    host.invalidated.clear();
    b->Invalidate();
    EXPECT_TRUE(host.invalidated.empty());
    SkinNode::AddChild(root, panel);
}

TEST_F(SkinTree, RenderSkipsSubtreesOutsideTheClip) {
    std::vector<std::string> order;
    for (SkinNode* n : {panel, a, b})
        n->paintHook = [&](SkinNode* e, SkinCanvas&, const SkinRect&) { order.push_back(e->name); };
    FakeCanvas canvas;
    SkinRect clip{10, 20, 30, 40};  // the top-left of the panel: A only
    root->Render(canvas, &clip, 0, 0);
    EXPECT_EQ((std::vector<std::string>{"PANEL", "A"}), order);
}

TEST(SkinImageAndButton, SizesComeFromTheirImages) {
    InstallFakeBitmaps();
    SkinImage image("IMG", 3, 4, "BIG");
    EXPECT_EQ(33, image.rect.right);
    EXPECT_EQ(23, image.rect.bottom);
    SkinButton button("BTN", 5, 6, "SMALL", nullptr, "BTN");
    EXPECT_EQ(25, button.rect.right);  // the last given image decides
    EXPECT_EQ(16, button.rect.bottom);
    EXPECT_EQ(SKF_ENABLED, button.flags);
    SkinButton none("NONE", 5, 6, nullptr, nullptr, nullptr);
    EXPECT_EQ(13, none.rect.right);
    SkinButton missing("M", 0, 0, "NOSUCH", nullptr, nullptr);
    EXPECT_EQ(0, missing.rect.right);  // a missing resource measures 0 x 0
}

}  // namespace
