// CTuner: the tuner panel, docked to the right of the main window, or the program's only
// window when there is no capture window. It owns the tuner state.
#pragma once
#include "skin_host.h"
#include "tuner_state.h"

class CTuner : public SkinHost {
public:
    KIVO_DECLARE_CLASS(CTuner)
    // Creates the panel at (x, y), loads the tuner settings and applies them.
    static CTuner* Create(int x, int y, bool panelOnly);
    // The panel, or nullptr before creation and after destruction.
    static CTuner* Instance();
    ~CTuner() override;

    TunerState& State() { return state_; }
    bool PanelOnly() const { return panelOnly_; }

    // The actions of the buttons and of the named commands.
    void SelectPreset(SkinNode* element);
    // The same for a preset index (the end of the multi-screen view on a chosen cell).
    void SelectPresetAt(int32_t index);
    void RepaintMulti();
    void ChannelUp() { StepChannel(+1); }
    void ChannelDown() { StepChannel(-1); }
    void NextSource();
    void NextSoundMode();
    void Freeze();
    void ReleaseFreeze();
    void MultiScreen();
    void Setup();
    void Pin();
    void AutoStart();
    void HidePanel();
    // The current input source sent to the board again (after the capture window came back).
    void ReapplySource();
    void Key(UINT ch, UINT repeat, UINT flags);

    // For the voice words: the preset button of that name, the source, repaints.
    SkinNode* Find(const char* name) { return root_ ? root_->FindByName(name) : nullptr; }
    void SetSource(int32_t source) { state_.source = source; }
    void RepaintCurrentPreset();
    void RepaintSource();

protected:
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
    void OnSize(UINT type, int cx, int cy) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnActivateApp(BOOL active, DWORD threadId) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override { Key(ch, repeat, flags); }
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override { Key(key, repeat, flags); }
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    CTuner() = default;
    SkinNode* BuildTree();
    void MakePanelOnly();
    bool Blocked() const;
    void StepChannel(int direction);
    void RefreshPresetButtons();
    void RepaintPreset(int32_t index);

    bool panelOnly_ = false;
    TunerState state_{};
    SkinButton* presets_[kPresetCount] = {};
    SkinNode *close_ = nullptr, *inner_ = nullptr, *channels_ = nullptr, *chanUp_ = nullptr,
             *chanDown_ = nullptr, *source_ = nullptr, *voice_ = nullptr, *autoStart_ = nullptr,
             *pin_ = nullptr, *multi_ = nullptr, *freeze_ = nullptr, *setup_ = nullptr,
             *gap_ = nullptr, *pad_ = nullptr;
};
