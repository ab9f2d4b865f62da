// The board's overlay as the screen shows it: the video lies under the window's own drawing and
// shows through wherever the window holds the key colour. Portable.
#pragma once
#include <cstddef>
#include <cstdint>

namespace capture {

// Key colours of the two pixel formats the overlay works in.
constexpr uint32_t kOverlayKey16 = 0xF81F;      // 5-6-5 magenta
constexpr uint32_t kOverlayKey32 = 0x00FF00FF;  // 8-8-8 magenta

// One row of the overlay. `screen` is what the window shows now, `shown` what the overlay put
// there last time: pixels that differ were drawn by someone else and become part of `primary`
// (the window's own surface, key colour where nothing is drawn). `out` gets the video where
// `primary` is the key and `primary` elsewhere. `out` may be `shown` (composed in place).
// bytesPerPixel is 2 or 4.
void ComposeOverlayRow(uint8_t* primary, const uint8_t* shown, const uint8_t* screen, const uint8_t* video,
                       uint8_t* out, int width, int bytesPerPixel);

// Fills `count` pixels with the key colour (a repainted part of the window).
void FillOverlayKey(uint8_t* row, int count, int bytesPerPixel);

// 32-bit BGRX pixels to 5-6-5 words.
void PackRgb565Row(const uint8_t* bgrx, uint8_t* out, int width);

}  // namespace capture
