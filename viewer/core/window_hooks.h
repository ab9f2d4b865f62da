// Where the spine calls into the windows and services that are built on it. Each does nothing
// until its part of the viewer is there.
#pragma once

// The skin toolkit's application-wide timer (started with the control window); stopping it
// also frees the bitmap cache.
void StartSkinTimer();
void StopSkinTimer();
// The viewer's work on every timer tick that no held repeat button takes: the on-screen
// display's countdown and the sound-status poll.
void ViewerPeriodicTick();
// A character typed while the control window has the focus, for the tuner panel.
void TunerPanelKey(unsigned ch, unsigned repeat, unsigned flags);
// The hand-off record "TVCTRL.QIF" written when the viewer ends.
void WriteHandoffRecordOnExit();
// Windows is ending: stop the capture callbacks, detach the driver, destroy the capture window.
void DetachCaptureForShutdown();
// Creation of the windows of the start-up sequence; each leaves its state field null when
// that window is not part of the viewer yet.
void CreateMainWindow(bool withMaximiseBox);
void CreateTunerPanel(bool panelOnly);
// Start-up checks that need the main window: the capture file's drive, the panel fit.
void ChooseCaptureDrive();
void CheckPanelFit();
// Frees the compressor list of the AVI saving.
void FreeCompressorList();
