// The deck's transport buttons, the movie recording and the hand-off of a clip to the editor.
#include <windows.h>
#include <vfw.h>

#include <cstdio>
#include <string>

#include "avi_save.h"
#include "capture_controller.h"
#include "capture_rules.h"
#include "command_handlers.h"
#include "main_wnd.h"
#include "still_capture.h"
#include "tuner_panel.h"
#include "video_deck.h"
#include "viewer_state.h"
#include "viewer_util.h"

namespace {

constexpr char kDiskFull[] = "ディスクの空き容量が足りません。";
constexpr char kEditorFailed[] = "クリップミルを起動できませんでした。";

void Beep() { MessageBeep(static_cast<UINT>(-1)); }
void WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
void ArrowCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }

void ReleaseFreeze() {
    if (CTuner* tuner = CTuner::Instance()) tuner->ReleaseFreeze();
}

HWND Playback() {
    HWND w = g_viewer.playbackWindow;
    return w && IsWindow(w) ? w : nullptr;
}

CMainWnd* Main() { return CMainWnd::Instance(); }

bool Exists(const std::string& path) {
    OFSTRUCT of{};
    of.cBytes = sizeof of;
    return OpenFile(path.c_str(), &of, OF_EXIST) != HFILE_ERROR;
}

}  // namespace

// The live picture back after a stop or a save: the capture window hidden and shown again round
// the tuner's source, which makes the board send its picture afresh.
void CVideoDeck::ShowLiveAgain() {
    HWND capture = g_viewer.captureWindow;
    if (!capture) return;
    ::ShowWindow(capture, SW_HIDE);
    if (CTuner* tuner = CTuner::Instance()) tuner->ReapplySource();
    ::ShowWindow(capture, SW_SHOW);
}

void CVideoDeck::StopButton() {
    if (g_viewer.multiScreenActive) return;
    if (StillMode() && g_viewer.viewMode == kCapturing) return;
    CloseRemoteHelp();
    Stop();
    ShowLiveAgain();
    if (CMainWnd* main = Main()) main->RequestNcActivate();
}

void CVideoDeck::Play() {
    if (g_viewer.multiScreenActive || g_viewer.viewMode == kCapturing) return;
    CloseRemoteHelp();
    if (StillMode()) {
        if (g_viewer.viewMode == kIdle && g_viewer.stillPicture) {
            ReleaseFreeze();
            if (CMainWnd* main = Main()) main->ShowStill();
        }
        return;
    }
    if (!g_viewer.clipPresent) return;
    ReleaseFreeze();
    if (g_viewer.viewMode == kIdle) {
        CMainWnd* main = Main();
        if (!main || main->OpenClip() != 0) return;
    }
    if (HWND playback = Playback()) MCIWndPlay(playback);
    SetState(kPlaying);
}

void CVideoDeck::Pause() {
    if (g_viewer.multiScreenActive || StillMode() || g_viewer.viewMode == kCapturing) return;
    CloseRemoteHelp();
    if (!g_viewer.clipPresent) {
        Beep();
        return;
    }
    switch (g_viewer.viewMode) {
    case kIdle:
        if (CMainWnd* main = Main()) main->OpenClip();
        break;
    case kPaused:
        if (HWND playback = Playback()) MCIWndPlay(playback);
        SetState(kPlaying);
        break;
    case kPlaying:
        if (HWND playback = Playback()) MCIWndPause(playback);
        SetState(kPaused);
        break;
    }
}

void CVideoDeck::Rewind() {
    if (g_viewer.multiScreenActive || !g_viewer.clipPresent || StillMode()) return;
    CloseRemoteHelp();
    if (g_viewer.viewMode == kCapturing) {
        Beep();
        return;
    }
    if (g_viewer.viewMode == kIdle) {
        CMainWnd* main = Main();
        if (!main || main->OpenClip() != 0) return;
    }
    if (HWND playback = Playback()) MCIWndSeek(playback, MCIWND_START);
    SetState(kPaused);
    RefreshGaugeFromPlayback();
}

void CVideoDeck::Record() {
    if (g_viewer.multiScreenActive || g_viewer.panelOnlyMode) return;
    CloseRemoteHelp();
    if (g_viewer.viewMode != kCapturing && !g_viewer.stopPending) {
        if (StillMode()) CaptureStill(kCaptureIntervals[settings_.intervalIndex], settings_.stillGrid);
        else StartRecording();
        return;
    }
    if (g_viewer.viewMode == kCapturing && !StillMode() && g_viewer.capturedMs > 0) {
        StopButton();
        return;
    }
    Beep();
}

void CVideoDeck::Edit() {
    if (g_viewer.multiScreenActive || g_viewer.viewMode == kCapturing || StillMode() || !g_viewer.clipPresent) return;
    CloseRemoteHelp();
    if (g_viewer.viewMode != kIdle) StopButton();
    HandOffToEditor();
}

// Recording ---------------------------------------------------------------------------------

void CVideoDeck::StartRecording() {
    CMainWnd* main = Main();
    CCaptureController* capture = g_viewer.captureController;
    if (!main || !capture) return;
    ReleaseFreeze();
    main->PrepareCapture();
    WaitCursor();
    ::EnableWindow(m_hWnd, FALSE);
    ChooseCaptureDrive();
    DrainMessages();
    auto refuse = [this](bool message) {
        ::EnableWindow(m_hWnd, TRUE);
        ArrowCursor();
        if (message) ShowViewerMessage(kDiskFull, MB_TASKMODAL | MB_ICONERROR);
    };
    if (g_viewer.usableCaptureBytes < 1000000) return refuse(true);

    g_viewer.capturedMs = 0;
    capture->Send(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, reinterpret_cast<LPARAM>(g_viewer.captureFilePath));
    const auto audio = DeckAudioFormat(settings_);
    if (!capture->Send(WM_CAP_SET_AUDIOFORMAT, audio.size(), reinterpret_cast<LPARAM>(audio.data())))
        return refuse(false);
    const uint32_t audioBytes = DeckAudioBytesPerSecond(settings_);
    ChooseCaptureDrive();
    const uint32_t seconds =
        RecordingSeconds(g_viewer.usableCaptureBytes, capture->FrameBytes(), settings_.frameRate, audioBytes);
    if (seconds == 0) return refuse(true);
    SetGaugeMax(static_cast<int32_t>(seconds * 1000));

    CAPTUREPARMS p{};
    capture->Send(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p));
    p.dwRequestMicroSecPerFrame = 1000000 / static_cast<DWORD>(settings_.frameRate);
    p.wPercentDropForError = 100;
    p.fYield = TRUE;
    p.wNumVideoRequested = p.fUsingDOSMemory ? 32 : 1000;
    p.fCaptureAudio = TRUE;
    p.vKeyAbort = VK_ESCAPE;
    p.fAbortLeftMouse = FALSE;
    p.fAbortRightMouse = FALSE;
    p.fLimitEnabled = TRUE;
    p.wTimeLimit = seconds;
    if (!capture->Send(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, reinterpret_cast<LPARAM>(&p))) return refuse(false);
    if (!capture->Send(WM_CAP_SEQUENCE)) return refuse(false);
    g_viewer.viewMode = kCapturing;
    record_->SetOn();
    record_->Invalidate();
}

void CVideoDeck::RecordingFinished() {
    DrainMessages();
    record_->SetOff();
    record_->Invalidate();
    g_viewer.viewMode = kIdle;
    std::snprintf(g_viewer.lastClipPath, sizeof g_viewer.lastClipPath, "%s", g_viewer.captureFilePath);
    std::snprintf(g_viewer.clipPath, sizeof g_viewer.clipPath, "%s", g_viewer.captureFilePath);
    HANDLE file = CreateFileA(g_viewer.clipPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD length = 0;
    if (file != INVALID_HANDLE_VALUE) {
        length = SetFilePointer(file, 0, nullptr, FILE_END);
        if (length == INVALID_SET_FILE_POINTER) length = 0;
        CloseHandle(file);
    }
    g_viewer.lastClipBytes = length;
    g_viewer.clipPresent = 1;
    ChooseCaptureDrive();
    if (CMainWnd* main = Main())
        if (main->OpenClip() == 0) RefreshGaugeFromPlayback();
    g_viewer.stopPending = 0;
    DrainMessages();
    ::EnableWindow(m_hWnd, TRUE);
    ArrowCursor();
}

// The editor ------------------------------------------------------------------------------------

void CVideoDeck::HandOffToEditor() {
    std::string clip = g_viewer.clipPath;
    if (SameNameIgnoringCase(FileNamePart(clip), "ZORTVCAP.AVI")) {
        const std::string renamed = WithFileName(clip, "TVCAP.AVI");
        if (!MoveFileA(clip.c_str(), renamed.c_str())) {
            if (!Exists(renamed)) {
                MessageBoxA(m_hWnd, kEditorFailed, kViewerCaption, MB_ICONEXCLAMATION);
                return;
            }
            char windows[MAX_PATH] = {};
            GetWindowsDirectoryA(windows, MAX_PATH);
            char question[1024];
            std::snprintf(question, sizeof question,
                          "前回クリップミルを起動した時のＡＶＩファイルがＴＶＣＡＰ．ＡＶＩという名前で\n"
                          "ウィンドウズディレクトリ(%s)の中に残っています。\n"
                          "クリップミルの起動をこのまま続行すると前回編集したファイルの内容が\n"
                          "失われます。\n\nクリップミルを起動しますか。",
                          windows);
            if (MessageBoxA(m_hWnd, question, kViewerCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
            DeleteFileA(renamed.c_str());
            if (!MoveFileA(clip.c_str(), renamed.c_str())) {
                MessageBoxA(m_hWnd, kEditorFailed, kViewerCaption, MB_ICONEXCLAMATION);
                return;
            }
        }
        clip = renamed;
        std::snprintf(g_viewer.clipPath, sizeof g_viewer.clipPath, "%s", clip.c_str());
        // The recording's file is the editor's now: it is not deleted before the next recording.
        if (SameNameIgnoringCase(g_viewer.lastClipPath, WithFileName(clip, "ZORTVCAP.AVI"))) g_viewer.lastClipBytes = 0;
    }
    const std::string command = EditorCommandLine(clip);
    if (WinExec(command.c_str(), SW_SHOW) >= 32) {
        g_viewer.clipPresent = 0;
        return;
    }
    MessageBoxA(m_hWnd, kEditorFailed, kViewerCaption, MB_ICONEXCLAMATION);
    if (!SameNameIgnoringCase(FileNamePart(clip), "TVCAP.AVI")) return;
    const std::string back = WithFileName(clip, "ZORTVCAP.AVI");
    if (MoveFileA(clip.c_str(), back.c_str())) {
        std::snprintf(g_viewer.clipPath, sizeof g_viewer.clipPath, "%s", back.c_str());
        return;
    }
    g_viewer.clipPresent = 0;
}
