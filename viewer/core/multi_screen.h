// The multi-screen view: the main window becomes a fixed-size mosaic of small live pictures,
// one cell per valid preset; the capture window visits the cells while the tuner follows, and
// every fifteenth frame is decoded into the mosaic. Keys and clicks pick a channel.
#pragma once
#include <windows.h>

#include <cstdint>

// Starts the view; false when it did not start (no valid preset, no capture, no decoder).
bool EnterMultiScreen();
// Requests the end, on a preset index or -1 for the channel of before the view; the capture
// stops and the capture service's end report finishes it.
void ExitMultiScreen(int32_t preset);
// The teardown, when the capture service reports the end of the capture.
void FinishMultiScreen();
// A frame of the capture window while the view runs.
void MultiScreenFrame(const void* data, uint32_t bytes);
// A key that reached the main window or the tuner panel while the view runs.
void MultiScreenKey(uint32_t key);
// A left-button press on the main window's picture, in client coordinates.
void MultiScreenClick(int32_t x, int32_t y);
// The main window's picture element while the view runs.
void PaintMultiScreen(HDC dc, const RECT& area);
// The fixed outer size of the main window while the view runs.
void MultiScreenSize(int32_t& outerWidth, int32_t& outerHeight);
// The highlighted cell and the layout; false while the view is not shown.
bool MultiScreenSelection(int* selectedCell, int* columns, int* cellWidth, int* cellHeight);
