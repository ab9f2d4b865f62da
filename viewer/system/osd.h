// The on-screen display over the live picture: channel or input, and the broadcast's sound.
#pragma once

void ShowOsd();
void EraseOsd();
// Every tick of the toolkit's timer that no held repeat button takes.
void OsdTickNow();
// Reads the broadcast status into the tuner state; true when it changed.
bool RefreshSoundStatus();
