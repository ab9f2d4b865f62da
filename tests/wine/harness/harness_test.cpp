// The harness itself, in a 640 x 480 virtual desktop: the screen size, another program's
// message box and window, clicks.
#include <gtest/gtest.h>

#include <vector>

#include "winetest.h"

namespace wt = kivo::wt;

namespace {

std::string Box(const char* args) { return "\"" + wt::InProgramFolder("harness_box.exe") + "\" " + args; }

TEST(Harness, RunsInAVirtualDesktopOfTheAskedSize) {
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(640, GetDeviceCaps(dc, HORZRES));
    EXPECT_EQ(480, GetDeviceCaps(dc, VERTRES));
    ReleaseDC(nullptr, dc);
}

TEST(Harness, ReadsAndAnswersAnotherProgramsMessageBox) {
    wt::ChildProcess p;
    ASSERT_TRUE(p.Start(Box("box")));
    HWND box = wt::WaitForMessageBox("ハーネス", 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("こんにちは、テレビ", wt::MessageBoxText(box));
    ASSERT_TRUE(wt::AnswerMessageBox(box, IDCANCEL));
    EXPECT_EQ(IDCANCEL, p.Wait(10000));
}

TEST(Harness, FindsClicksAndEndsAnotherProgramsWindow) {
    wt::ChildProcess p;
    ASSERT_TRUE(p.Start(Box("window")));
    HWND w = wt::WaitForWindow("KivoHarness", "ハーネス", 10000);
    ASSERT_NE(nullptr, w);
    wt::ClickClient(w, 12, 34);
    char title[64] = {};
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ("clicks 1 at 12,34", title);
    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, p.Wait(10000));
    EXPECT_TRUE(wt::WaitForNoWindow("KivoHarness", nullptr, 1000));
}

TEST(Harness, AStartedProgramDoesNotOutliveItsObject) {
    DWORD id = 0;
    {
        wt::ChildProcess p;
        ASSERT_TRUE(p.Start(Box("window")));
        ASSERT_NE(nullptr, wt::WaitForWindow("KivoHarness", nullptr, 10000));
        id = p.Id();
    }
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (h) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0));
        CloseHandle(h);
    }
    EXPECT_TRUE(wt::WaitForNoWindow("KivoHarness", nullptr, 2000));
}

TEST(Harness, CountsAProcesssGdiObjects) {
    const DWORD before = wt::GdiObjectsOf(GetCurrentProcess());
    ASSERT_GT(before, 0u);
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 40; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, nullptr);
    EXPECT_EQ(before + 41, wt::GdiObjectsOf(GetCurrentProcess()));
    for (HBRUSH b : brushes) DeleteObject(b);
    DeleteObject(bitmap);
    EXPECT_EQ(before, wt::GdiObjectsOf(GetCurrentProcess()));
}

TEST(Harness, SavesAScreenshot) {
    std::string file = wt::ProgramFolder() + "\\..\\harness-shot.bmp";
    ASSERT_TRUE(wt::SaveScreenshot(file));
    std::string bmp = wt::ReadFile(file);
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ('B', bmp[0]);
    EXPECT_EQ('M', bmp[1]);
    DeleteFileA(file.c_str());
}

}  // namespace
