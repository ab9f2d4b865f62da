// The "Window" setting: x, y, w, h, p. Portable.
#pragma once
#include <cstdint>

struct WindowSetting {
    int32_t x;
    int32_t y;
    int32_t width;   // parsed and ignored: the width follows from the height
    int32_t height;
    int32_t pinned;
};

constexpr char kWindowSettingDefault[] = "16, 16, 240, 180, 0";

// Fields after the first keep these defaults when the text ends early.
WindowSetting ParseWindowSetting(const char* text);
