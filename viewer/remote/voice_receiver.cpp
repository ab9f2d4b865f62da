#include "voice_receiver.h"

#include <cstring>

#include "kvcmd32.h"
#include "viewer_state.h"
#include "viewer_util.h"
#include "window_hooks.h"

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
    bool SelectPresetNamed(const char* name) override { return TunerPanelSelectPresetNamed(name); }
    bool UsesCableTV() override { return TunerUsesCableTV(); }
    int Source() override { return TunerSource(); }
    void SetSource(int source) override { TunerSetSource(source); }
    void NextSource() override { TunerPanelNextSource(); }
    void RepaintCurrentPreset() override { TunerPanelRepaintCurrentPreset(); }
    void MultiScreen() override { TunerPanelMultiScreen(); }
    void Setup() override { TunerPanelSetup(); }
    void PictureStep(int step) override { TunerPictureStep(step); }
    bool DeckHasFrames() override { return VideoDeckHasFrames(); }
    void DeckSetStillGrid(int grid) override { VideoDeckSetStillGrid(grid); }
    void DeckGridAction() override { VideoDeckGridAction(); }
    void DeckStillMode() override { VideoDeckStillMode(); }
    void DeckMovieMode() override { VideoDeckMovieMode(); }
    void DeckLoad() override { VideoDeckLoad(); }
    void DeckSave() override { VideoDeckSave(); }
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
