// The viewer's single process-wide state record. Created zero-filled at program start; every
// part of the viewer reads and writes it on the GUI thread.
#pragma once
#include <windows.h>

#include <cstdint>

class CControlFrame;
class CVoiceDazidav;
class CCaptureController;
class CWnd;

// The 44-byte video format record: a bitmap information header, a quality word and the
// decode-flags word. Written field by field wherever it leaves the process.
struct VideoFormatHeader {
    BITMAPINFOHEADER header;
    uint16_t quality;
    uint16_t decodeFlags;
};
static_assert(sizeof(VideoFormatHeader) == 44, "the format record is 44 bytes");

struct ViewerState {
    // Windows and objects. The window objects are held by their framework base; the part that
    // owns each (CMainWnd, CVideoDeck, CTuner, the help window) knows its own class.
    CControlFrame* controlFrame;
    CWnd* mainWindow;
    CWnd* videoDeck;
    CWnd* tunerPanel;
    CVoiceDazidav* voiceReceiver;
    CCaptureController* captureController;
    HWND captureWindow;
    HWND playbackWindow;
    CWnd* remoteHelpWindow;
    HANDLE mutex;
    HBRUSH backgroundBrush;
    VideoFormatHeader* formatIn;
    VideoFormatHeader* formatOut;

    // Display.
    int32_t screenWidth;
    int32_t screenHeight;
    int32_t colourDepth;

    // Paths.
    char programDirectory[256];
    char captureFilePath[260];

    // Main window geometry.
    RECT currentRect;
    RECT savedRect;
    POINT dragOrigin;
    POINT dragPoint;
    SIZE dragSize;

    // Flags and modes.
    int32_t startingUp;
    int32_t panelOnlyMode;
    int32_t commandBusy;
    int32_t windowsEnding;
    int32_t commandIndex;  // row of the command table to run; -1 before any look-up
    int32_t viewMode;      // 0 Idle, 1 Paused, 2 Playing, 3 Capturing
    int32_t deckBmpMode;
    int32_t multiScreenActive;
    int32_t pinnedOnTop;
    int32_t autoStartShortcutPresent;
    int32_t autoStartSwitchOn;  // the tuner panel's auto-start switch, kept for the main window's exit
    int32_t edgeWarningShown;
    int32_t maximisedBeforeMinimise;
    int32_t tunerHiddenByMaximise;
    int32_t deckHiddenByMaximise;
    int32_t edgeWarningSetByMaximise;
    int32_t ncActivateAllowed;
    int32_t desktopSizeNotice;
    int32_t mainWindowDragging;  // 1 while the user drags or resizes the main window

    // Still picture.
    HGLOBAL stillPicture;
    HPALETTE stillPalette;

    // Video deck: clip and recording.
    int32_t clipPresent;
    char clipPath[260];
    char lastClipPath[260];
    uint32_t lastClipBytes;
    int32_t captureDriveIndex;
    uint32_t usableCaptureBytes;
    uint32_t capturedMs;
    uint32_t clipLengthMs;
    int32_t stopPending;

    // Audio mixer memory.
    int32_t mixerIndex;
    int32_t mixerSaved[7];

    // On-screen display.
    int32_t osdCountdown;
    int32_t soundPollTicks;
};

enum ViewMode : int32_t { kIdle = 0, kPaused = 1, kPlaying = 2, kCapturing = 3 };

// The one instance.
extern ViewerState g_viewer;

// Puts the record in its start values (zero, with the few non-zero initial values).
void InitViewerState();
