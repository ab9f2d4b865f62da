// The tip window and the application's tooltip tracker.
#pragma once
#include "framework.h"
#include "tooltip_tracker.h"

class TipWindow : public CWnd {
public:
    KIVO_DECLARE_CLASS(TipWindow)
    // Creates and shows the tip with its text at the cursor (screen coordinates).
    static TipWindow* Show(const char* text, int x, int y);

protected:
    void OnPaint() override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnDestroy() override;
    void PostNcDestroy() override { delete this; }

private:
    HFONT CreateTipFont() const;
    char text_[256] = {};
    HWND previousFocus_ = nullptr;
};

// The one tracker of the application.
TooltipTracker& Tooltips();
// The tip window shown now, or nullptr.
TipWindow* CurrentTip();
