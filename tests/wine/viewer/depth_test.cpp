// The viewer on a 256-colour screen: it starts and ends like on any other.
#include <gtest/gtest.h>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

TEST(Depth, TheViewerStartsOnA256ColourScreen) {
    HDC dc = GetDC(nullptr);
    int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    ASSERT_EQ(8, depth);
    SetViewerVersion("win98");
    wt::Board::Reset();
    wt::ChildProcess viewer;
    ASSERT_TRUE(StartViewer(viewer));
    ASSERT_NE(nullptr, WaitUntilStarted(viewer));
    EXPECT_EQ(nullptr, FindWindowA("#32770", "ＫＩＶＯ"));
    EXPECT_TRUE(CloseViewer(viewer));
}

}  // namespace
