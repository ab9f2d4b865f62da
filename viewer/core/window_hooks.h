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

// What the voice words act on. Each does nothing (and answers false or 0) until its window is
// part of the viewer.
// Tuner panel: finds the named element ("PRESET%d") in its tree and runs the select-preset
// action on it; false when the element is not attached.
bool TunerPanelSelectPresetNamed(const char* elementName);
bool TunerUsesCableTV();
int TunerSource();  // 0 TV, 1 CATV, 2 S-Video, 3 Video
void TunerSetSource(int source);
void TunerPanelNextSource();
void TunerPanelRepaintCurrentPreset();
void TunerPanelMultiScreen();
void TunerPanelSetup();
// Picture step: 0 hue up, 1 hue down, 2 colour up, 3 colour down, 4 contrast up,
// 5 contrast down, 6 brightness up, 7 brightness down.
void TunerPictureStep(int step);
// Video deck: whether its "FRAMES" element is attached (Still mode), its stillGrid and the
// Grid action on that element; the mode buttons, Load and Save.
bool VideoDeckHasFrames();
void VideoDeckSetStillGrid(int grid);
void VideoDeckGridAction();
void VideoDeckStillMode();
void VideoDeckMovieMode();
void VideoDeckLoad();
void VideoDeckSave();
// Multi-screen view: the highlighted cell and the cell layout; false while the view is not shown.
bool MultiScreenSelection(int* selectedCell, int* columns, int* cellWidth, int* cellHeight);
// The multi-screen view's end (the preset index to end on, -1 for none) and the main window's
// movable flag.
void ExitMultiScreen(int preset);
void SetMainWindowMovable();
void ClearMainWindowMovable();
// The multi-screen view: its start, its end posted by the capture callback, its keys.
void EnterMultiScreen();
void FinishMultiScreen();
void MultiScreenKey(unsigned ch, unsigned repeat, unsigned flags);
// The capture driver around the DOS hand-off: detached quietly, attached again.
void DetachCaptureDriverQuietly();
void AttachCaptureDriver();
// The still the DOS program saved (now in stillPicture): the deck switches to still mode and
// shows it.
void ShowDosStill();
