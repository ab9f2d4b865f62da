#include "voice_receiver.h"

// The voice receiver is not part of the viewer yet: no receiver exists, so names outside the
// command table are refused by the dispatcher.
void VoiceHandOver(CVoiceDazidav*, const char*) {}
int VoiceRun(CVoiceDazidav*) { return 0; }
CVoiceDazidav* CreateVoiceReceiver() { return nullptr; }
void DestroyVoiceReceiver(CVoiceDazidav*) {}
