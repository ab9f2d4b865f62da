// CVideoDeck: the video deck panel hanging under the main window, with its Movie and Still faces,
// the capture parameters and the position gauge.
#pragma once
#include "deck_rules.h"
#include "skin_host.h"
#include "skin_range.h"

// The two commands the capture status callback posts to the deck.
constexpr WPARAM kDeckRecordingFinished = 10;
constexpr WPARAM kDeckRecordingProgress = 76;

class CVideoDeck : public SkinHost {
public:
    KIVO_DECLARE_CLASS(CVideoDeck)
    // Creates the hidden deck at (x, y), builds its face, reads its settings and chooses the
    // capture drive.
    static CVideoDeck* Create(int x, int y);
    static CVideoDeck* Instance();
    ~CVideoDeck() override;

    bool StillMode() const;
    const DeckSettings& Settings() const { return settings_; }

    // Deck state (Idle, Paused, Playing, Capturing) with the latched buttons that show it.
    void SetState(int32_t state);
    void ResetState() { SetState(0); }
    // The Stop operation every transport action starts with.
    void Stop();

    // The position gauge.
    void SetGaugeMax(int32_t max);
    void SetGaugeValue(int32_t value, bool force);
    void RefreshGaugeFromPlayback();
    int32_t GaugeValue() const { return gauge_.value; }
    int32_t GaugeMax() const { return gauge_.max; }

    void RepaintDiskSpace();
    // The clip window's notices, passed on by the main window.
    void PlaybackMode(LPARAM mode);
    void PlaybackPosition(LPARAM position);

    // The main window places these two in the deck's coordinates.
    SkinNode* GrowZone() const { return growZone_; }
    SkinNode* SizeView() const { return sizeView_; }

    // Buttons also reached by the voice words.
    void SwitchToMovie();
    void SwitchToStill();
    void GridAction();
    void SetStillGrid(int32_t grid);
    bool HasFrames() const { return frames_ && frames_->parent; }
    void CloseDeck();
    // Loading and saving clips and stills.
    void Load();
    void Save();
    // The transport buttons, also run by the named commands "CD_PLAY", "CD_STOP", "CD_PREV"
    // and "VIDEO_CAPTURE".
    void StopButton();
    void Play();
    void Pause();
    void Rewind();
    void Record();
    void Edit();
    void Wallpaper();
    // The Record button latched (a capture runs) or not.
    void LatchRecord(bool on);

protected:
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void PostNcDestroy() override { delete this; }

private:
    CVideoDeck() = default;
    SkinNode* BuildFace();
    void LoadSettings();
    void SaveSettings();
    void ApplyModeTips();
    void Repaint();
    void StepParameter(int direction);
    void SeekDrag(uint32_t message, int32_t x);
    void StartRecording();
    void RecordingFinished();
    void HandOffToEditor();
    void ShowLiveAgain();

    DeckSettings settings_;
    SkinRange gauge_;
    bool seeking_ = false;
    int32_t seekOffset_ = 0, seekLastX_ = 0;

    // Every element of both faces, attached or not.
    SkinNode *diskSpace_ = nullptr, *close_ = nullptr, *load_ = nullptr, *save_ = nullptr, *edit_ = nullptr,
             *wall_ = nullptr, *rewind_ = nullptr, *rewindGrey_ = nullptr, *stop_ = nullptr, *play_ = nullptr,
             *pause_ = nullptr, *pauseGrey_ = nullptr, *record_ = nullptr, *bmp_ = nullptr, *avi_ = nullptr,
             *frame_ = nullptr, *frameMinus_ = nullptr, *framePlus_ = nullptr, *videoBmp_ = nullptr,
             *frames_ = nullptr, *videoAvi_ = nullptr, *soundRate_ = nullptr, *soundBits_ = nullptr,
             *soundMode_ = nullptr, *gage_ = nullptr, *thumb_ = nullptr, *sizeView_ = nullptr,
             *growZone_ = nullptr, *interval_ = nullptr;
};
