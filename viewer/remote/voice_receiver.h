// The voice receiver: registers the viewer with the voice-command service while it is the
// active application and runs the words that arrive over the remote-control link.
#pragma once
#include <windows.h>

#include "framework.h"
#include "voice_logic.h"

class CVoiceDazidav : public CObject {
public:
    KIVO_DECLARE_CLASS(CVoiceDazidav)
    // The first argument is not used; with useOwnerWindow the owner is the tuner panel in
    // panel-only mode, else the main window.
    CVoiceDazidav(int unused, int useOwnerWindow, HWND window);
    ~CVoiceDazidav() override;
    CVoiceDazidav(const CVoiceDazidav&) = delete;
    CVoiceDazidav& operator=(const CVoiceDazidav&) = delete;

    // The guarded request: 0 when another change is in progress, else 1.
    int SetActive(int flag);
    void Enable();
    void Disable();
    void HandOver(const char* text);
    // 1 when a command ran.
    int Run();
    // The setup program runs and the text is one of its picture-and-setup words.
    bool IsSetupName(const char* text) const;

    uint16_t ServiceId() const { return m_registration.serviceId; }
    int32_t Registered() const { return m_registration.registered; }
    const char* CommandText() const { return m_commandText; }

private:
    int32_t m_useOwnerWindow;
    VoiceRegistration m_registration;
    HWND m_ownerWindow;
    char m_commandText[262];
    const VoiceWord* m_wordTable;
};

// Hands a name that the command table does not know to the receiver.
void VoiceHandOver(CVoiceDazidav* receiver, const char* name);
// Runs the name handed over; 1 when a command ran.
int VoiceRun(CVoiceDazidav* receiver);
// The main window's request when the viewer becomes (1) or stops being (0) the active application.
int VoiceSetActive(CVoiceDazidav* receiver, int flag);
// Creates the receiver at start-up and frees it at shutdown.
CVoiceDazidav* CreateVoiceReceiver();
void DestroyVoiceReceiver(CVoiceDazidav* receiver);
