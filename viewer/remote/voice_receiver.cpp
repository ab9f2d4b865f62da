#include "voice_receiver.h"

#include <cstring>

#include "kvcmd32.h"
#include "tuner_panel.h"
#include "tuner_state_win32.h"
#include "video_deck.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "multi_screen.h"

namespace {

class ServiceLibrary : public VoiceService {
public:
    int Register(const char* application, uint16_t* id) override { return VcmdRegister(application, id); }
    int Enable(int flag, uint16_t id) override { return VcmdEnable(flag, id); }
};

class ViewerWindows : public VoiceHost {
public:
    void MaximiseMainWindow() override {
        if (HWND main = CWnd::SafeHandle(g_viewer.mainWindow)) PostMessageA(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    void ClickMainWindow(uint32_t lParam) override {
        HWND main = CWnd::SafeHandle(g_viewer.mainWindow);
        if (!main) return;
        PostMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, static_cast<LPARAM>(lParam));
        PostMessageA(main, WM_LBUTTONUP, 0, static_cast<LPARAM>(lParam));
    }
    bool MultiScreenSelection(int* cell, int* columns, int* width, int* height) override {
        return ::MultiScreenSelection(cell, columns, width, height);
    }
    bool SelectPresetNamed(const char* name) override {
        CTuner* t = CTuner::Instance();
        SkinNode* e = t ? t->Find(name) : nullptr;
        if (!e) return false;
        t->SelectPreset(e);
        return true;
    }
    bool UsesCableTV() override {
        CTuner* t = CTuner::Instance();
        return t && t->State().useCableTV;
    }
    int Source() override {
        CTuner* t = CTuner::Instance();
        return t ? t->State().source : 0;
    }
    void SetSource(int source) override {
        if (CTuner* t = CTuner::Instance()) t->SetSource(source);
    }
    void NextSource() override {
        if (CTuner* t = CTuner::Instance()) t->NextSource();
    }
    void RepaintCurrentPreset() override {
        if (CTuner* t = CTuner::Instance()) t->RepaintCurrentPreset();
    }
    void MultiScreen() override {
        if (CTuner* t = CTuner::Instance()) t->MultiScreen();
    }
    void Setup() override {
        if (CTuner* t = CTuner::Instance()) t->Setup();
    }
    void PictureStep(int step) override {
        CTuner* t = CTuner::Instance();
        if (!t) return;
        void (*const steps[])(TunerState&, TunerLibrary&) = {HueUp,        HueDown,      ColorUp,
                                                             ColorDown,    ContrastUp,   ContrastDown,
                                                             BrightnessUp, BrightnessDown};
        if (step >= 0 && step < 8) steps[step](t->State(), ViewerTuner());
    }
    bool DeckHasFrames() override {
        CVideoDeck* d = CVideoDeck::Instance();
        return d && d->HasFrames();
    }
    void DeckSetStillGrid(int grid) override {
        if (CVideoDeck* d = CVideoDeck::Instance()) d->SetStillGrid(grid);
    }
    void DeckGridAction() override {
        if (CVideoDeck* d = CVideoDeck::Instance()) d->GridAction();
    }
    void DeckStillMode() override {
        if (CVideoDeck* d = CVideoDeck::Instance()) d->SwitchToStill();
    }
    void DeckMovieMode() override {
        if (CVideoDeck* d = CVideoDeck::Instance()) d->SwitchToMovie();
    }
    void DeckLoad() override {
        if (CVideoDeck* d = CVideoDeck::Instance()) d->Load();
    }
    void DeckSave() override {
        if (CVideoDeck* d = CVideoDeck::Instance()) d->Save();
    }
};

ServiceLibrary g_service;

}  // namespace

CVoiceDazidav::CVoiceDazidav(int, int useOwnerWindow, HWND window)
    : m_useOwnerWindow(useOwnerWindow), m_ownerWindow(window), m_commandText{}, m_wordTable(kVoiceWords) {
    if (m_useOwnerWindow)
        m_ownerWindow = CWnd::SafeHandle(g_viewer.panelOnlyMode ? g_viewer.tunerPanel : g_viewer.mainWindow);
    Enable();
}

CVoiceDazidav::~CVoiceDazidav() { Disable(); }

int CVoiceDazidav::SetActive(int flag) { return VoiceSetActive(m_registration, g_service, flag); }

void CVoiceDazidav::Enable() { VoiceEnable(m_registration, g_service); }

void CVoiceDazidav::Disable() { VoiceDisable(m_registration, g_service); }

void CVoiceDazidav::HandOver(const char* text) {
    if (!text) text = "";
    std::strncpy(m_commandText, text, sizeof m_commandText - 1);
    m_commandText[sizeof m_commandText - 1] = '\0';
}

int CVoiceDazidav::Run() {
    ViewerWindows windows;
    return RunVoiceCommand(m_registration, g_service, m_commandText, windows);
}

bool CVoiceDazidav::IsSetupName(const char* text) const {
    return FindSetupWindow() != nullptr && IsVoiceSetupWord(text);
}

void VoiceHandOver(CVoiceDazidav* receiver, const char* name) {
    if (receiver) receiver->HandOver(name);
}

int VoiceRun(CVoiceDazidav* receiver) { return receiver ? receiver->Run() : 0; }

int VoiceSetActive(CVoiceDazidav* receiver, int flag) { return receiver ? receiver->SetActive(flag) : 0; }

CVoiceDazidav* CreateVoiceReceiver() { return new CVoiceDazidav(1, 1, nullptr); }

void DestroyVoiceReceiver(CVoiceDazidav* receiver) { delete receiver; }
