// The remote control's part in the viewer: the routing request to the remote-control driver
// and the help window showing the remote's keys.
#pragma once

// 0: the remote control goes to the DOS full-screen TV, 1: back to the Windows viewer.
void RouteRemoteControl(int mode);

// Opens the help window unless the resident program shows its own help (dazidav.ini "etc"
// "help" not 0); returns that value.
int OpenRemoteHelp();
void CloseRemoteHelpWindow();
void ToggleRemoteHelp();
