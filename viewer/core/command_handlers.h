// The actions behind the command table's rows, and the hooks into the windows that act on
// them. A part of the viewer that is not there yet leaves its action doing nothing.
#pragma once

void OnSysGuide(int);
void OnDosPower(int);
void OnSysTvPower(int);
void OnTvMainSub(int);
void OnTvSize(int);
void OnCdPlay(int);
void OnCdStop(int);
void OnCdPrev(int);
void OnTvChUp(int);
void OnTvChDown(int);
void OnTvVideo(int);
void OnVideoCapture(int);
void OnVideoFreeze(int);

// Closes the remote-control help window when it is open.
void CloseRemoteHelp();
// Cancels a tooltip that is waiting to appear.
void CancelPendingTip();
