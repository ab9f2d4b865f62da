// Which command names arriving over the remote-control link reach the dispatcher. Portable.
#pragma once
#include <cstddef>
#include <string>

struct FilterContext {
    bool mouseCaptured;         // a window of the GUI thread holds the mouse capture
    bool setupWindowExists;     // the setup program runs
    bool voiceReceiverExists;
    bool ownWindowActive;       // a window of this process is active
    bool mainWindowDragging;    // the user drags or resizes the main window
    bool hasActiveWindow;
    std::string activeTitle;    // title of the active window, as read into 32 bytes
};

// True when the name is to be dispatched; false when it is dropped.
bool FilterPassesName(const char* name, const FilterContext& context);

// The voice words for picture and setup that are dropped while the setup program runs.
bool IsPictureSetupWord(const char* name);

// The longest name used from one advise; the rest is cut.
constexpr size_t kMaxCommandName = 261;
