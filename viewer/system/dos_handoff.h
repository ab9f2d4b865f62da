// The DOS full-screen hand-off (Windows 95): the TV goes to the DOS program started from
// "ZORTV2.PIF" and comes back with what the user changed there.
#pragma once

// Run by the control window for a maximise request on Windows 95.
void StartDosHandoff();
// 1 when the TV was taken back, 0 to keep waiting.
int CheckHandoffReturn();
// Makes "TVCAPWIN.BMP", the still the DOS program saved, the viewer's still picture.
void LoadDosStill();
