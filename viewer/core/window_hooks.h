// Where the skin toolkit's timer and the control window reach up into the viewer: the periodic
// work of every tick and the hand-off record written at exit.
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
