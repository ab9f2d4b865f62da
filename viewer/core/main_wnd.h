// CMainWnd: the main video window. The live picture is the capture window, a child over the
// video area; the tuner panel and the video deck dock to its right and bottom edges.
#pragma once
#include <memory>

#include "main_geometry.h"
#include "skin_host.h"

class CCaptureController;

class CMainWnd : public SkinHost {
public:
    KIVO_DECLARE_CLASS(CMainWnd)
    // Creates the window at the offsets, its video deck and its capture controller, and places
    // it from the "Window" setting.
    static CMainWnd* Create(int x, int y, bool withMaximiseBox);
    static CMainWnd* Instance();
    ~CMainWnd() override;

    CCaptureController* Capture() const { return capture_.get(); }

    // Whether the panels fit on the screen; the edge message shows once when they do not.
    bool TunerFits(bool hideIfNot);
    bool DeckFits(bool hideIfNot);
    // The closed-panel tabs' actions.
    void ShowDeckPanel();
    void ShowTunerPanel();
    // The first showing of the panels at start-up: each that fits is opened.
    void OpenPanelsThatFit();
    void RequestNcActivate();
    void SetMovable(bool movable) { movable_ = movable; }
    void SetLivePicture(bool live) { livePicture_ = live; }
    bool LivePicture() const { return livePicture_; }
    // The still capture marks its own resizing so that the picture area is not refitted.
    void SetMosaicResizing(bool on) { mosaicResizing_ = on; }

    // The clip view: 0 when the clip opened, 1 when it did not.
    int OpenClip();
    // Ends the clip view and brings the live picture back.
    void CloseClip();
    void ShowStill();
    void LeaveStill();
    void ForgetRecording();
    // The start of any capture, movie or still: the window back on the screen, the deck
    // stopped and the last recording (and still) forgotten.
    void PrepareCapture();

protected:
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
    LRESULT OnNcHitTest(POINT screenPoint) override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnActivateApp(BOOL active, DWORD threadId) override;
    void OnClose() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnQueryNewPalette() override;
    void OnPaletteChanged(HWND changer) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    BOOL OnNcActivate(BOOL active) override;
    void OnDisplayChange(UINT depth, int width, int height) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    CMainWnd() = default;
    SkinNode* BuildTree();
    void Place();
    void EdgeMessage();
    void LayoutElements(int32_t clientWidth, int32_t clientHeight);
    void SavePlacement();
    void UpdateAutoStart();
    void KickPlayback();

    std::unique_ptr<CCaptureController> capture_;
    bool movable_ = true;
    int32_t pendingNcActivate_ = 0;
    bool livePicture_ = true;
    bool mosaicResizing_ = false;
    SkinNode *closedDeck_ = nullptr, *closedTuner_ = nullptr, *sizeView_ = nullptr, *growZone_ = nullptr,
             *bmpView_ = nullptr;
};

// The frame of the main window as the system draws it now.
FrameMetrics CurrentFrameMetrics();
// The size label: black, and the video area's size (one cell's in multi-screen) in white.
void PaintSizeLabel(HDC dc, const RECT& rect);
// The grow zone's raw handler, shared by the main window and the deck.
void GrowZoneDrag(SkinNode* element, uint32_t message, int32_t x, int32_t y);
// The palette of a packed bitmap (header, colour table), or null for one without.
HPALETTE PaletteOfPackedDib(const void* packed, size_t size);
