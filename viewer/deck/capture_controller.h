// The capture controller: the one capture window of the viewer, a child of the main window over
// its video area, whose preview or overlay is the live picture.
#pragma once
#include <windows.h>
#include <vfw.h>

#include <array>
#include <cstdint>

// The disk-space rule: chooses the fixed drive for the next recording and the capture file's
// path; repaints the deck's label when the choice changed.
void ChooseCaptureDrive();

class CCaptureController {
public:
    // Creates the capture window over the main window's video area when a capture driver can be
    // attached; Window() is null when capture is unavailable.
    explicit CCaptureController(HWND mainWindow);
    ~CCaptureController();
    CCaptureController(const CCaptureController&) = delete;
    CCaptureController& operator=(const CCaptureController&) = delete;

    HWND Window() const;
    bool HasOverlay() const { return caps_.fHasOverlay != FALSE; }
    bool Detached() const { return detached_; }
    int32_t DriverIndex() const { return driver_; }

    void PreviewOn();
    void PreviewOff();
    // Resizes the window to the main window's video area and sets the format for that size.
    void FitToVideoArea();
    // Whether the driver took the format.
    bool SetVideoFormat(int32_t width, int32_t height);
    const std::array<uint8_t, 44>& FormatRecord() const { return format_; }
    uint32_t FrameBytes() const { return frameBytes_; }

    void Hide();
    void Show();
    void DetachDriver();
    // For the DOS hand-off: the sound stays as it is.
    void DetachDriverQuietly();
    void AttachDriver();

    // The main window goes: the callbacks are cleared, the driver detached, the window destroyed.
    void Teardown();
    // Windows ends: the same, with the callbacks inert from now on.
    void ShutdownForWindowsEnd();

    // Sends a capture message while the window is valid; 0 when it is not.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    bool Create();
    void Destroy();

    HWND main_;
    int32_t driver_ = -1;
    CAPDRIVERCAPS caps_{};
    bool detached_ = false;
    std::array<uint8_t, 44> format_{};
    uint32_t frameBytes_ = 0;
};
