// The skin toolkit on a real desktop: what buttons look like in their states, bitmaps with a
// full colour table, and where the tip window goes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "winetest.h"

namespace wt = kivo::wt;

namespace {

struct Rgb {
    int r, g, b;
};

Rgb ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Colours on a 16-bit screen lose their low bits.
::testing::AssertionResult Near(const Rgb& got, int r, int g, int b) {
    if (std::abs(got.r - r) <= 8 && std::abs(got.g - g) <= 8 && std::abs(got.b - b) <= 8)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel is (" << got.r << ", " << got.g << ", " << got.b << "), expected about (" << r << ", "
           << g << ", " << b << ")";
}

class Skin : public ::testing::Test {
protected:
    void Start(const char* args = "") {
        ASSERT_TRUE(app.Start("\"" + wt::InProgramFolder("skin_app.exe") + "\" " + args));
        window = wt::WaitForWindow(nullptr, "SkinTest", 10000);
        ASSERT_NE(nullptr, window);
        WaitForInputIdle(app.Handle(), 5000);
        Settle();
        RECT r;
        GetWindowRect(window, &r);
        x0 = r.left;
        y0 = r.top;
    }
    // Lets the program paint.
    void Settle() {
        DWORD_PTR result;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
        UpdateWindow(window);
        wt::PumpMessages(150);
    }
    void Command(int id) {
        DWORD_PTR result;
        SendMessageTimeoutA(window, WM_COMMAND, id, 0, SMTO_ABORTIFHUNG, 5000, &result);
        Settle();
    }
    Rgb At(int x, int y) { return ScreenPixel(x0 + x, y0 + y); }

    wt::ChildProcess app;
    HWND window = nullptr;
    int x0 = 0, y0 = 0;
};

TEST_F(Skin, ButtonsShowTheImageOfTheirState) {
    Start();
    EXPECT_TRUE(Near(At(15, 15), 255, 0, 0)) << "image button, off: its third image";
    EXPECT_TRUE(Near(At(45, 15), 0, 0, 0)) << "plain button, off: no image";
    EXPECT_TRUE(Near(At(15, 35), 0, 200, 0)) << "single image, 8-bit without a colour count";
    Command(1);
    EXPECT_TRUE(Near(At(15, 15), 0, 200, 0)) << "on: the second image";
    Command(3);
    EXPECT_TRUE(Near(At(15, 15), 128, 128, 128)) << "disabled: the first image";
    Command(4);
    Command(2);
    EXPECT_TRUE(Near(At(15, 15), 255, 0, 0));
}

TEST_F(Skin, APressedImageButtonLooksPushedIn) {
    Start();
    Command(1);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    Settle();
    // The light-grey strips along the top and left, the image shifted by one.
    EXPECT_TRUE(Near(At(10, 10), 192, 192, 192));
    EXPECT_TRUE(Near(At(25, 11), 192, 192, 192));
    EXPECT_TRUE(Near(At(11, 18), 192, 192, 192));
    EXPECT_TRUE(Near(At(12, 12), 0, 200, 0));
    EXPECT_TRUE(Near(At(29, 21), 0, 200, 0)) << "one pixel in: the shrunk image";
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    Settle();
    EXPECT_TRUE(Near(At(10, 10), 0, 200, 0));
}

TEST_F(Skin, APressedPlainButtonShowsItsThirdImage) {
    Start();
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(45, 15));
    Settle();
    EXPECT_TRUE(Near(At(45, 15), 255, 0, 0));
    // Sliding off shows it released.
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 45));
    Settle();
    EXPECT_TRUE(Near(At(45, 15), 0, 0, 0));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(70, 45));
}

// Rests the pointer on the image button and waits for a tip.
HWND RestOnImageButton(HWND window, int x, int y, DWORD ms) {
    SetCursorPos(x, y);
    POINT p{x, y};
    ScreenToClient(window, &p);
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    HWND tip = wt::WaitForWindow(nullptr, "KIVOToolTip", ms);
    // It exists a moment before it is placed and shown.
    for (int i = 0; tip && i < 100 && !IsWindowVisible(tip); ++i) wt::PumpMessages(20);
    wt::PumpMessages(100);
    return tip;
}

TEST_F(Skin, TheTipNearTheBottomRightCornerGoesAboveAndEndsAtTheEdge) {
    Start("corner");
    SetForegroundWindow(window);
    Settle();
    int cx = x0 + 15, cy = y0 + 20;
    HWND tip = RestOnImageButton(window, cx, cy, 3000);
    ASSERT_NE(nullptr, tip);
    RECT r;
    GetWindowRect(tip, &r);
    HDC dc = GetDC(nullptr);
    int screenWidth = GetDeviceCaps(dc, HORZRES);
    ReleaseDC(nullptr, dc);
    EXPECT_LT(r.bottom, cy) << "above the cursor";
    EXPECT_EQ(screenWidth, r.right) << "shifted left to end at the edge";
    EXPECT_LT(r.left, cx);
    // Inside the black frame, before the text: the pale yellow fill.
    UpdateWindow(tip);
    bool yellow = false;
    for (int i = 0; i < 20 && !yellow; ++i) {
        wt::PumpMessages(50);
        yellow = Near(ScreenPixel(r.left + 1, r.top + 1), 255, 255, 202);
    }
    EXPECT_TRUE(yellow) << "pale yellow";
    EXPECT_TRUE(Near(ScreenPixel(r.left, r.top + 4), 0, 0, 0)) << "the frame";
}

TEST_F(Skin, NoTipWhileAnotherProgramIsActive) {
    Start();
    HWND other = wt::ActivateOwnWindow("other");
    EXPECT_EQ(nullptr, RestOnImageButton(window, x0 + 15, y0 + 15, 1500));
    DestroyWindow(other);
}

}  // namespace
