#include "capture_controller.h"

#include <cstdio>
#include <cstring>

#include "capture_rules.h"
#include "framework.h"
#include "kvtun32.h"
#include "multi_screen.h"
#include "still_capture.h"
#include "video_deck.h"
#include "viewer_state.h"
#include "window_hooks.h"

namespace {

constexpr int kCaptureChildId = 7;
constexpr UINT kPreviewRateMs = 66;

// The video area of the main window: its client area less the right and bottom margins.
RECT VideoArea(HWND main) {
    RECT r{};
    GetClientRect(main, &r);
    r.right -= 15;
    r.bottom -= 15;
    if (r.right < 0) r.right = 0;
    if (r.bottom < 0) r.bottom = 0;
    return r;
}

void PostToDeck(WPARAM command) {
    if (HWND deck = CWnd::SafeHandle(g_viewer.videoDeck)) PostMessageA(deck, WM_COMMAND, command, 0);
}

LRESULT CALLBACK StatusCallback(HWND, int id, LPCSTR) {
    if (g_viewer.windowsEnding) return 1;
    if (id == 301) {  // end of capture
        if (g_viewer.multiScreenActive) {
            if (HWND tuner = CWnd::SafeHandle(g_viewer.tunerPanel)) PostMessageA(tuner, WM_COMMAND, 121, 0);
        } else if (g_viewer.deckBmpMode == 0) {
            PostToDeck(kDeckRecordingFinished);
        }
    } else if (id >= 506 && id <= 512) {  // frame and time progress
        PostToDeck(kDeckRecordingProgress);
    }
    return 1;
}

int g_multiScreenNesting = 0;

LRESULT CALLBACK VideoStreamCallback(HWND, LPVIDEOHDR header) {
    if (g_viewer.windowsEnding || !header || !(header->dwFlags & VHDR_KEYFRAME)) return 1;
    if (g_viewer.multiScreenActive) {
        if (g_multiScreenNesting == 0) {
            ++g_multiScreenNesting;
            MultiScreenFrame(header->lpData, header->dwBytesUsed);
            --g_multiScreenNesting;
        }
        return 1;
    }
    if (g_viewer.deckBmpMode) {
        MosaicStillFrame(header->lpData, header->dwBytesUsed);
        return 1;
    }
    if (g_viewer.capturedMs == 0) {
        if (HWND deck = CWnd::SafeHandle(g_viewer.videoDeck)) EnableWindow(deck, TRUE);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    if (header->dwTimeCaptured >= g_viewer.capturedMs) g_viewer.capturedMs = header->dwTimeCaptured;
    return 1;
}

}  // namespace

CCaptureController::CCaptureController(HWND mainWindow) : main_(mainWindow) {
    if (!Create()) g_viewer.captureWindow = nullptr;
}

CCaptureController::~CCaptureController() { Teardown(); }

HWND CCaptureController::Window() const { return g_viewer.captureWindow; }

LRESULT CCaptureController::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND w = g_viewer.captureWindow;
    if (!w || !IsWindow(w)) return 0;
    return SendMessageA(w, message, wParam, lParam);
}

bool CCaptureController::Create() {
    // Another program holds the board: no live picture here.
    if (GetInstance() != 0) return false;
    const RECT area = VideoArea(main_);
    HWND w = capCreateCaptureWindowA("", WS_CHILD, 0, 0, area.right, area.bottom, main_, kCaptureChildId);
    if (!w) return false;
    g_viewer.captureWindow = w;

    const char* names[10] = {};
    char found[10][128] = {};
    for (UINT i = 0; i < 10; ++i) {
        char version[128];
        if (!capGetDriverDescriptionA(i, found[i], sizeof found[i], version, sizeof version)) break;
        names[i] = found[i];
    }
    driver_ = ChooseCaptureDriver(names);
    if (driver_ < 0 || !Send(WM_CAP_DRIVER_CONNECT, WPARAM(driver_))) {
        Destroy();
        return false;
    }
    Send(WM_CAP_DRIVER_GET_CAPS, sizeof caps_, LPARAM(&caps_));
    PreviewOn();
    SetVideoFormat(area.right, area.bottom);
    Send(WM_CAP_SET_CALLBACK_STATUSA, 0, LPARAM(StatusCallback));
    Send(WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, LPARAM(VideoStreamCallback));
    return true;
}

void CCaptureController::Destroy() {
    HWND w = g_viewer.captureWindow;
    g_viewer.captureWindow = nullptr;
    if (w && IsWindow(w)) DestroyWindow(w);
}

void CCaptureController::PreviewOn() {
    Send(WM_CAP_SET_PREVIEWRATE, kPreviewRateMs);
    if (HasOverlay()) Send(WM_CAP_SET_OVERLAY, 1);
    else Send(WM_CAP_SET_PREVIEW, 1);
}

void CCaptureController::PreviewOff() {
    if (HasOverlay()) Send(WM_CAP_SET_OVERLAY, 0);
    else Send(WM_CAP_SET_PREVIEW, 0);
}

bool CCaptureController::SetVideoFormat(int32_t width, int32_t height) {
    format_ = CaptureFormatRecord(width, height, g_viewer.screenWidth, g_viewer.colourDepth);
    frameBytes_ = CaptureFrameBytes(width, height);
    return Send(WM_CAP_SET_VIDEOFORMAT, format_.size(), LPARAM(format_.data())) != 0;
}

void CCaptureController::FitToVideoArea() {
    HWND w = g_viewer.captureWindow;
    if (!w || detached_) return;
    HCURSOR old = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const RECT area = VideoArea(main_);
    SetWindowPos(w, nullptr, 0, 0, area.right, area.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(w);
    SetVideoFormat(area.right, area.bottom);
    SetCursor(old ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
}

void CCaptureController::Hide() {
    SetVoice(0);
    if (HWND w = g_viewer.captureWindow) ShowWindow(w, SW_HIDE);
}

void CCaptureController::Show() {
    SetVoice(1);
    if (HWND w = g_viewer.captureWindow) ShowWindow(w, SW_SHOW);
}

void CCaptureController::DetachDriver() {
    Hide();
    Send(WM_CAP_DRIVER_DISCONNECT);
    detached_ = true;
}

void CCaptureController::DetachDriverQuietly() {
    if (HWND w = g_viewer.captureWindow) ShowWindow(w, SW_HIDE);
    Send(WM_CAP_DRIVER_DISCONNECT);
    detached_ = true;
}

void CCaptureController::AttachDriver() {
    if (g_viewer.captureWindow) {
        Send(WM_CAP_DRIVER_CONNECT, WPARAM(driver_));
        detached_ = false;
        Send(WM_CAP_DRIVER_GET_CAPS, sizeof caps_, LPARAM(&caps_));
        FitToVideoArea();
        PreviewOn();
    }
    Show();
}

void CCaptureController::Teardown() {
    HWND w = g_viewer.captureWindow;
    if (!w || !IsWindow(w)) {
        g_viewer.captureWindow = nullptr;
        return;
    }
    SendMessageA(w, WM_CAP_SET_CALLBACK_STATUSA, 0, 0);
    SendMessageA(w, WM_CAP_SET_CALLBACK_VIDEOSTREAM, 0, 0);
    g_viewer.captureWindow = nullptr;
    SendMessageA(w, WM_CAP_DRIVER_DISCONNECT, 0, 0);
    DestroyWindow(w);
}

void CCaptureController::ShutdownForWindowsEnd() {
    g_viewer.windowsEnding = 1;
    HWND w = g_viewer.captureWindow;
    if (w && IsWindow(w)) {
        // Each only while the window is still there: a callback may end it.
        const UINT messages[] = {WM_CAP_SET_CALLBACK_STATUSA, WM_CAP_SET_CALLBACK_VIDEOSTREAM, WM_CAP_DRIVER_DISCONNECT};
        for (UINT m : messages)
            if (IsWindow(w)) SendMessageA(w, m, 0, 0);
        if (IsWindow(w)) DestroyWindow(w);
    }
    g_viewer.captureWindow = nullptr;
    SetVoice(0);
}

void ChooseCaptureDrive() {
    DriveSpace drives[26] = {};
    for (int i = 0; i < 26; ++i) {
        char root[4] = {char('A' + i), ':', '\\', 0};
        if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
        if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) continue;
        drives[i].fixed = true;
        drives[i].freeBytes = uint64_t(freeClusters) * sectorsPerCluster * bytesPerSector;
    }
    DiskChoice c = ::ChooseCaptureDrive(drives, g_viewer.lastClipPath, g_viewer.lastClipBytes,
                                        g_viewer.programDirectory, g_viewer.captureDriveIndex,
                                        g_viewer.usableCaptureBytes);
    if (!c.changed) return;
    g_viewer.captureDriveIndex = c.driveIndex;
    g_viewer.usableCaptureBytes = c.usableBytes;
    std::snprintf(g_viewer.captureFilePath, sizeof g_viewer.captureFilePath, "%s", c.captureFilePath.c_str());
    if (CVideoDeck* deck = CVideoDeck::Instance())
        if (g_viewer.deckBmpMode == 0 && (g_viewer.viewMode == kIdle || g_viewer.viewMode == kCapturing))
            deck->RepaintDiskSpace();
}
