// The voice receiver as the rest of the viewer uses it.
#pragma once

class CVoiceDazidav;

// Hands a name that the command table does not know to the receiver.
void VoiceHandOver(CVoiceDazidav* receiver, const char* name);
// Runs the name handed over; 1 when a command ran.
int VoiceRun(CVoiceDazidav* receiver);
// Creates the receiver at start-up (nullptr when there is none) and frees it at shutdown.
CVoiceDazidav* CreateVoiceReceiver();
void DestroyVoiceReceiver(CVoiceDazidav* receiver);
