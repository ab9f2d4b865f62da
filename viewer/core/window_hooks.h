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

// The still capture: its start (the deck's Record in Still mode) and a frame for the mosaic.
void MosaicStillStart();
void MosaicStillFrame(const void* data, uint32_t bytes);
// The still the DOS program saved (now in stillPicture): the deck switches to still mode and
// shows it.
void ShowDosStill();
