// Where the spine calls into the windows and services that are built on it. Each does nothing
// until its part of the viewer is there.
#pragma once
#include <windows.h>

#include <cstdint>

// The skin toolkit's application-wide timer (started with the control window); stopping it
// also frees the bitmap cache.
void StartSkinTimer();
void StopSkinTimer();
// The viewer's work on every timer tick that no held repeat button takes: the on-screen
// display's countdown and the sound-status poll.
void ViewerPeriodicTick();
// The hand-off record "TVCTRL.QIF" written when the viewer ends.
void WriteHandoffRecordOnExit();

// Multi-screen view: the highlighted cell and the cell layout; false while the view is not shown.
bool MultiScreenSelection(int* selectedCell, int* columns, int* cellWidth, int* cellHeight);
// The multi-screen view's end (the preset index to end on, -1 for none).
void ExitMultiScreen(int preset);
// The multi-screen view: its start, its end posted by the capture callback, its keys.
void EnterMultiScreen();
void FinishMultiScreen();
void MultiScreenKey(unsigned ch, unsigned repeat, unsigned flags);
// The multi-screen view's part of the main window: its size rule, its grid, a click on it, and
// the frames the capture window delivers while it is shown.
void MultiScreenSizeRule(int32_t& outerWidth, int32_t& outerHeight);
void PaintMultiScreen(HDC dc, const RECT& area);
void MultiScreenClick(int32_t x, int32_t y);
void MultiScreenFrame(const void* data, uint32_t bytes);
