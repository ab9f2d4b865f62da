// The hidden control window: owns the taskbar button and the process lifetime, runs named
// commands, and takes down the viewer in order.
#pragma once
#include "framework.h"

class CControlFrame : public CFrameWnd {
public:
    KIVO_DECLARE_CLASS(CControlFrame)
    // Registers the class "KIVO", creates the window below every screen and trims its
    // system menu.
    CControlFrame();

protected:
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnActivateApp(BOOL active, DWORD threadId) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnEndSession(BOOL ending) override;
    void OnDestroy() override;
    // The object was made with new at start-up and goes with its window.
    void PostNcDestroy() override;
};
