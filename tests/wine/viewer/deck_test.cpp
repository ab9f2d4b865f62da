// The video deck with live television: a recording from the deck's Record button, its playback
// in the main window, saving it to a file of the user's choice, and the hand-off to the editor.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "viewer_harness.h"

namespace wt = kivo::wt;
using namespace viewer_test;

namespace {

// A click posted, not sent: the button may open a modal dialog.
void PostClick(HWND w, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(w, WM_MOUSEMOVE, 0, at);
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(w, WM_LBUTTONUP, 0, at);
}

// The deck's buttons (client points of the deck).
constexpr POINT kRecord{201, 49}, kStop{50, 49}, kPlay{74, 49}, kSave{86, 21}, kEdit{133, 21};

template <typename Ready>
bool WaitFor(Ready ready, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (ready()) return true;
        wt::PumpMessages(50);
    }
    return ready();
}

HWND ClipWindow(HWND main) { return FindWindowExA(main, nullptr, "MCIWndClass", nullptr); }

std::string CFile(const char* name) { return std::string("C:\\") + name; }

class Deck : public ::testing::Test {
protected:
    void SetUp() override {
        SetViewerVersion("win98");
        wt::Board::Reset();
        for (const char* f : {"ZORTVCAP.AVI", "TVCAP.AVI", "SAVED.AVI"}) DeleteFileA(CFile(f).c_str());
        DeleteFileA(Editor("Clipmill.txt").c_str());
        // Movie mode, 10 frames a second, 11 kHz 8-bit mono sound.
        ASSERT_TRUE(LiveFolder().Write("ZORTV.INI", "[ZORTV]\r\nWindow=100,60,0,240,0\r\nChannel1=2,Two\r\n"
                                                    "Capture=1\r\nFrameRate=10\r\n"));
    }
    void TearDown() override {
        if (viewer.Running()) CloseViewer(viewer);
        if (HWND editor = FindWindowA("Clipmill", nullptr)) PostMessageA(editor, WM_CLOSE, 0, 0);
    }
    static std::string Editor(const char* file) {
        return std::string("A:\\Program Files\\Clipmill\\") + file;
    }
    void Start() {
        LiveWindows w;
        ASSERT_NO_FATAL_FAILURE(StartLive(viewer, w, false));
        main = w.main, deck = w.deck, capture = w.capture;
    }
    wt::ChildProcess viewer;
    HWND main = nullptr, deck = nullptr, capture = nullptr;
};

TEST_F(Deck, RecordsPlaysSavesAndHandsTheClipToTheEditor) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // The program folder lies on Z:, the same disk as C:; the earlier letter takes the recording.
    PostClick(deck, kRecord.x, kRecord.y);
    ASSERT_TRUE(WaitFor([] { return wt::FileExists(CFile("ZORTVCAP.AVI")); }, 10000)) << "recording to C:";
    wt::PumpMessages(2000);
    PostClick(deck, kStop.x, kStop.y);

    // The recording ends and opens paused in the main window, in place of the live picture.
    ASSERT_TRUE(WaitFor([&] { return ClipWindow(main) && IsWindowVisible(ClipWindow(main)); }, 15000));
    EXPECT_FALSE(IsWindowVisible(capture));
    const std::string clip = wt::ReadFile(CFile("ZORTVCAP.AVI"));
    ASSERT_GT(clip.size(), 100000u);
    EXPECT_EQ("RIFF", clip.substr(0, 4));
    EXPECT_EQ("AVI ", clip.substr(8, 4));
    EXPECT_NE(std::string::npos, clip.find("ty0n")) << "the capture format";
    EXPECT_NE(std::string::npos, clip.find("auds")) << "with its sound";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(deck) != FALSE; }, 5000));

    // The clip window's "invalid device ID" notice (its device already closed) shows no box;
    // the soak met it as a box with the system's text about device IDs.
    PostMessageA(main, 0x4CD /* MCIWNDM_NOTIFYERROR */, reinterpret_cast<WPARAM>(ClipWindow(main)),
                 MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(nullptr, wt::WaitForDialogOf(viewer.Id(), 2000));

    // Play runs the clip to its end; Stop brings the live picture back.
    PostClick(deck, kPlay.x, kPlay.y);
    wt::PumpMessages(3000);
    EXPECT_TRUE(ClipWindow(main) != nullptr);
    PostClick(deck, kStop.x, kStop.y);
    ASSERT_TRUE(WaitFor([&] { return ClipWindow(main) == nullptr && IsWindowVisible(capture); }, 10000))
        << "running " << viewer.Running() << " clip window " << ClipWindow(main) << " capture shown "
        << IsWindowVisible(capture);

    // Save: the save dialog offers "do not recompress" in its extra field; the clip is copied.
    PostClick(deck, kSave.x, kSave.y);
    HWND dialog = wt::WaitForDialogOf(viewer.Id(), 15000);
    ASSERT_NE(nullptr, dialog);
    HWND extra = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND c = FindWindowExA(dialog, nullptr, "#32770", nullptr); c && !extra; c = FindWindowExA(dialog, c, "#32770", nullptr))
            extra = GetDlgItem(c, 1000) ? c : nullptr;
        return extra != nullptr;
    }, 5000));
    HWND list = GetDlgItem(extra, 1000);
    // Read in UTF-16: this Wine hands another process's combo box text back unconverted to "A" calls.
    wchar_t item[64] = {};
    const LRESULT selected = SendMessageW(list, CB_GETCURSEL, 0, 0);
    ASSERT_GE(selected, 0);
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(L"再圧縮しない", item);
    char label[32] = {};
    GetDlgItemTextA(extra, 1001, label, sizeof label);
    EXPECT_STREQ("圧縮方法 :", label);
    const std::string target = CFile("SAVED.AVI");
    HWND name = GetDlgItem(dialog, 0x47C);  // the file name field of the Explorer-style dialog
    if (!name) name = GetDlgItem(dialog, 0x480);
    ASSERT_NE(nullptr, name);
    SetWindowTextA(name, target.c_str());
    if (HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr)) SetWindowTextA(edit, target.c_str());
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return wt::FileExists(target); }, 10000));
    EXPECT_EQ(clip, wt::ReadFile(target)) << "a plain copy";
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(deck) && IsWindowEnabled(main); }, 5000));

    // Edit: the clip goes to the editor as TVCAP.AVI; the editor shows its first frame.
    PostClick(deck, kEdit.x, kEdit.y);
    ASSERT_TRUE(WaitFor([] { return FindWindowA("Clipmill", nullptr) != nullptr; }, 15000));
    EXPECT_TRUE(wt::FileExists(CFile("TVCAP.AVI")));
    EXPECT_FALSE(wt::FileExists(CFile("ZORTVCAP.AVI")));
    EXPECT_EQ("C:\\TVCAP.AVI\r\n", wt::ReadFile(Editor("Clipmill.txt")));
    // The clip belongs to the editor now: the deck has none to play.
    PostClick(deck, kPlay.x, kPlay.y);
    wt::PumpMessages(800);
    EXPECT_EQ(nullptr, ClipWindow(main));

    // The saved copy for other players.
    EXPECT_TRUE(CopyFileA(target.c_str(), wt::InProgramFolder("deck-saved.avi").c_str(), FALSE));
}

}  // namespace
