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

// A tick runs only with a live, unfrozen picture in a capture window and no multi-screen view.
bool OsdTickRuns(const OsdTickInput& input);
// First step of a tick: true when the sound status is to be polled now (every 30th idle tick).
bool OsdPollDue(OsdTickState& state, const OsdTickInput& input);
// Second step: true when the countdown runs out on this tick (the display is to be erased).
bool OsdCountDown(OsdTickState& state);

constexpr int32_t kOsdTicks = 30;  // three seconds
