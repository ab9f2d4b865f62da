// The application framework: modal dialogs from templates, the common file dialog, the
// memory exception and the end of the message loop.
#include <gtest/gtest.h>

#include "winetest.h"

namespace wt = kivo::wt;

namespace {

std::string App(const char* args) { return "\"" + wt::InProgramFolder("framework_app.exe") + "\" " + args; }

TEST(Framework, AModalDialogFromItsTemplateRunsOnInitDialogAndAnswersItsButton) {
    wt::ChildProcess app;
    ASSERT_TRUE(app.Start(App("dialog")));
    HWND dialog = wt::WaitForWindow("#32770", "フレームワーク", 10000);
    ASSERT_NE(nullptr, dialog);
    char text[32] = {};
    for (int i = 0; i < 50 && !text[0]; ++i) {
        GetDlgItemTextA(dialog, 101, text, sizeof text);
        wt::PumpMessages(20);
    }
    EXPECT_STREQ("ready", text);
    ASSERT_TRUE(wt::AnswerMessageBox(dialog, IDCANCEL));
    EXPECT_EQ(1000 + IDCANCEL, app.Wait(10000));
}

TEST(Framework, TheOpenDialogIsShownAndCancelled) {
    wt::ChildProcess app;
    ASSERT_TRUE(app.Start(App("open")));
    // Its caption depends on the language: the program's own dialog.
    HWND dialog = wt::WaitForDialogOf(app.Id(), 10000);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(wt::AnswerMessageBox(dialog, IDCANCEL));
    EXPECT_EQ(IDCANCEL, app.Wait(10000));
}

TEST(Framework, RunningOutOfMemoryAtStartIsReportedAndEndsTheProgram) {
    wt::ChildProcess app;
    ASSERT_TRUE(app.Start(App("memory")));
    HWND box = wt::WaitForDialogOf(app.Id(), 10000);
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("メモリが不足しています。", wt::MessageBoxText(box));
    ASSERT_TRUE(wt::AnswerMessageBox(box, IDOK));
    EXPECT_GE(app.Wait(10000), 0);
}

TEST(Framework, DestroyingTheMainWindowEndsTheMessageLoop) {
    wt::ChildProcess app;
    ASSERT_TRUE(app.Start(App("window")));
    HWND frame = wt::WaitForWindow("FrameTest", "FrameTest", 10000);
    ASSERT_NE(nullptr, frame);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(7, app.Wait(10000));
}

}  // namespace
