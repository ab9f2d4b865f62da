// Where the tuner panel's elements go for a window of W x H (normal mode). Portable.
#pragma once
#include <cstdint>

#include "skin_node.h"

struct TunerLayout {
    int32_t level;           // -2 (tallest) .. 4 (shortest)
    SkinRect tuner;
    SkinRect inner;
    int32_t innerHeight;     // TUNERCLOSE keeps left, top and right; its bottom is top + this
    bool channels;           // the preset grid is attached
    int32_t buttonsY;        // CHANUP at (0, y), CHANDOWN at (31, y)
    int32_t sourceY;         // SOURCE at (0, y), VOICE at (0, y + 22)
    SkinRect gap;
    SkinRect pad;
    // The option buttons at x = 15: shown, and their y.
    bool setup, freeze, multi, autoStart, pin;
    int32_t setupY, freezeY, multiY, autoStartY, pinY;
};

// The level of an inner height h: 233 and more -2, 217 -1, 201 0, 185 1, 169 2, 153 3, else 4.
int32_t TunerLevel(int32_t innerHeight);
TunerLayout LayoutTuner(int32_t width, int32_t height);
