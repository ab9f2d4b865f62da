// The on-screen display: its two lines of text and the timer rules. Portable.
#pragma once
#include <cstdint>
#include <string>

// Line 1: the preset name (TV), "Ｃ ３８" style cable channel (CATV), or the input's name.
std::string OsdChannelLine(int32_t source, const std::string& presetName, int32_t cableChannel);
// Line 2 (TV only): the broadcast's sound status, empty for codes outside 0..4.
std::string OsdSoundLine(int32_t soundKind);

// What one tick of the 100 ms timer does to the display.
struct OsdTickState {
    int32_t countdown;   // ticks left until the text is erased; 0 when nothing is shown
    int32_t pollTicks;   // ticks since the last sound-status poll
};

struct OsdTickInput {
    bool frozen;
    bool captureWindow;
    bool multiScreen;
    bool idle;           // the deck shows the live picture
};

struct OsdTickResult {
    bool pollSound;      // poll the sound status now (and show the display when it changed)
    bool erase;          // the countdown ran out on this tick
};

OsdTickResult OsdTick(OsdTickState& state, const OsdTickInput& input);

constexpr int32_t kOsdTicks = 30;  // three seconds
