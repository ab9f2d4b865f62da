// The voice receiver's own logic: the word table, the "VEXT," forms, the still-mosaic cycle,
// the multi-screen click point and the registration with the voice-command service.
// Portable: the windows it acts on are reached through VoiceHost.
#pragma once
#include <cstddef>
#include <cstdint>

enum class VoiceAction : uint8_t {
    kFullSize,     // maximise request to the main window
    kMosaic,       // still-mosaic size `argument`
    kCatv,
    kSVideo,
    kVideo1,
    kMulti,        // the tuner panel's multi-screen action
    kSelect,       // click the highlighted cell of the multi-screen view
    kSetup,        // the tuner panel's setup action
    kDeckStill,
    kDeckMovie,
    kDeckLoad,
    kDeckSave,
    kPicture,      // picture step `argument` (PictureStep)
    kNothing,      // a word of the setup program
};

// The tuner's picture steps, in the order the tuner panel numbers them.
enum PictureStep : int {
    kHueUp = 0,
    kHueDown,
    kColourUp,
    kColourDown,
    kContrastUp,
    kContrastDown,
    kBrightnessUp,
    kBrightnessDown,
};

struct VoiceWord {
    const char* word;  // null in the row after the last
    VoiceAction action;
    int argument;
    bool setupWord;    // dropped by the command link while the setup program runs
};

constexpr size_t kVoiceWordCount = 28;
// The 28 words in their order, then a row with a null word.
extern const VoiceWord kVoiceWords[kVoiceWordCount + 1];

// The row of that exact word (case-sensitive), or nullptr.
const VoiceWord* FindVoiceWord(const char* text);
// One of the twelve picture-and-setup words.
bool IsVoiceSetupWord(const char* text);

// The preset index that a "VEXT,CH<n>" text names (n - 1, n read like atoi, saturated);
// false when the text is not of that form. The index is not range-checked: only the tuner
// panel knows which "PRESET%d" buttons exist.
bool ParseVoicePreset(const char* text, long* presetIndex);
// "PRESET%d" of the index into a buffer of at least 24 bytes.
void PresetElementName(long presetIndex, char* buffer, size_t size);

// The still-mosaic cycle 1, 2, 3, 4, 5, 1: the deck's grid action advances by one; the voice
// word sets the value before k so that the grid ends at k.
int NextStillGrid(int grid);
int StillGridBefore(int k);

// The point inside a cell of the multi-screen view, packed as a mouse message's lParam
// (x low word, y high word); false when the view has no columns.
bool SelectCellPoint(int selectedCell, int columns, int cellWidth, int cellHeight, uint32_t* lParam);

// The voice-command service's calls (ordinals 7 and 4).
class VoiceService {
public:
    virtual ~VoiceService() = default;
    virtual int Register(const char* application, uint16_t* id) = 0;
    virtual int Enable(int flag, uint16_t id) = 0;
};
constexpr int kVoiceServiceOk = 10000;
constexpr uint16_t kNoServiceId = 0xFFFF;

// Registration with the service, and the application-wide guard against a second change
// starting while one is in progress (the service may deliver messages while it is called).
struct VoiceRegistration {
    uint16_t serviceId = kNoServiceId;
    int32_t registered = 0;
};
void VoiceEnable(VoiceRegistration& r, VoiceService& service);
void VoiceDisable(VoiceRegistration& r, VoiceService& service);
// The guarded request: 0 at once while another runs, else enable (flag) or disable, and 1.
int VoiceSetActive(VoiceRegistration& r, VoiceService& service, int flag);
// The re-entrancy counter (0 when idle).
int VoiceChangesInProgress();

// What the voice words act on: the main window, the tuner panel, the video deck and the
// multi-screen view.
class VoiceHost {
public:
    virtual ~VoiceHost() = default;
    virtual void MaximiseMainWindow() = 0;
    virtual void ClickMainWindow(uint32_t lParam) = 0;
    virtual bool MultiScreenSelection(int* selectedCell, int* columns, int* cellWidth, int* cellHeight) = 0;
    // Finds the named element in the tuner panel's tree and runs the select-preset action on it.
    virtual bool SelectPresetNamed(const char* elementName) = 0;
    virtual bool UsesCableTV() = 0;
    virtual int Source() = 0;
    virtual void SetSource(int source) = 0;
    virtual void NextSource() = 0;
    virtual void RepaintCurrentPreset() = 0;
    virtual void MultiScreen() = 0;
    virtual void Setup() = 0;
    virtual void PictureStep(int step) = 0;
    // The deck's "FRAMES" element (attached only in Still mode), its stillGrid and Grid action.
    virtual bool DeckHasFrames() = 0;
    virtual void DeckSetStillGrid(int grid) = 0;
    virtual void DeckGridAction() = 0;
    virtual void DeckStillMode() = 0;
    virtual void DeckMovieMode() = 0;
    virtual void DeckLoad() = 0;
    virtual void DeckSave() = 0;
};

// Runs a handed-over text: registers again first while not registered; 1 when a command ran.
int RunVoiceCommand(VoiceRegistration& r, VoiceService& service, const char* text, VoiceHost& host);
