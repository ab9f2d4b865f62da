#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "command_filter.h"
#include "voice_logic.h"

namespace {

// Records what the words do; the deck's grid action advances like the real one.
class FakeWindows : public VoiceHost {
public:
    std::vector<std::string> calls;
    bool framesAttached = false;
    int stillGrid = 1;
    bool cable = false;
    int source = 0;
    std::vector<std::string> presets = {"PRESET0", "PRESET1", "PRESET2", "PRESET11"};
    bool multiScreen = false;
    int cell = 0, columns = 0, width = 0, height = 0;

    void MaximiseMainWindow() override { calls.push_back("maximise"); }
    void ClickMainWindow(uint32_t lParam) override { calls.push_back("click " + std::to_string(lParam)); }
    bool MultiScreenSelection(int* c, int* cols, int* w, int* h) override {
        *c = cell, *cols = columns, *w = width, *h = height;
        return multiScreen;
    }
    bool SelectPresetNamed(const char* name) override {
        for (const auto& p : presets)
            if (p == name) {
                calls.push_back(std::string("select ") + name);
                return true;
            }
        return false;
    }
    bool UsesCableTV() override { return cable; }
    int Source() override { return source; }
    void SetSource(int s) override {
        source = s;
        calls.push_back("source " + std::to_string(s));
    }
    void NextSource() override { calls.push_back("next"); }
    void RepaintCurrentPreset() override { calls.push_back("repaint"); }
    void MultiScreen() override { calls.push_back("multi"); }
    void Setup() override { calls.push_back("setup"); }
    void PictureStep(int step) override { calls.push_back("picture " + std::to_string(step)); }
    bool DeckHasFrames() override { return framesAttached; }
    void DeckSetStillGrid(int grid) override { stillGrid = grid; calls.push_back("grid " + std::to_string(grid)); }
    void DeckGridAction() override { stillGrid = NextStillGrid(stillGrid); calls.push_back("advance"); }
    void DeckStillMode() override { calls.push_back("bmp"); }
    void DeckMovieMode() override { calls.push_back("avi"); }
    void DeckLoad() override { calls.push_back("load"); }
    void DeckSave() override { calls.push_back("save"); }
};

// A voice service that answers as told and records its calls.
class FakeService : public VoiceService {
public:
    int registerResult = kVoiceServiceOk;
    int enableResult = kVoiceServiceOk;
    uint16_t id = 7;
    std::vector<std::string> calls;
    VoiceRegistration* reenter = nullptr;
    int reenteredResult = -1;

    int Register(const char* application, uint16_t* out) override {
        calls.push_back(std::string("register ") + application);
        // The service may deliver messages while it is called: one of them asks to disable.
        if (reenter) reenteredResult = VoiceSetActive(*reenter, *this, 0);
        if (registerResult == kVoiceServiceOk) *out = id;
        return registerResult;
    }
    int Enable(int flag, uint16_t which) override {
        calls.push_back("enable " + std::to_string(flag) + "," + std::to_string(which));
        return enableResult;
    }
};

int RunText(const char* text, FakeWindows& windows) {
    VoiceRegistration r;
    r.registered = 1;
    FakeService service;
    return RunVoiceCommand(r, service, text, windows);
}

using Calls = std::vector<std::string>;

TEST(VoiceWords, TheTableHoldsTwentyEightWordsInOrderWithTheTwelveSetupWords) {
    const char* const expected[] = {
        "VCMD_TV_FULL_SIZE", "VCMD_TV_1SCREEN",  "VCMD_TV_4SCREEN",   "VCMD_TV_9SCREEN",
        "VCMD_TV_16SCREEN",  "VCMD_TV_25SCREEN", "VCMD_TV_CATV",      "VCMD_TV_SVIDEO",
        "VCMD_TV_VIDEO1",    "VCMD_TV_MULTI",    "VCMD_TV_SELECT",    "VCMD_TV_SETUP",
        "VCMD_TV_BMP",       "VCMD_TV_AVI",      "VCMD_TV_LOAD",      "VCMD_TV_SAVE",
        "VCMD_TV_RED",       "VCMD_TV_BLUE",     "VCMD_TV_LIGHT",     "VCMD_TV_DEEP",
        "VCMD_TV_CON_UP",    "VCMD_TV_CON_DOWN", "VCMD_TV_DEL",       "VCMD_TV_TEL_SET",
        "VCMD_TV_DEFAULT",   "VCMD_TV_MAP_SET",  "VCMD_TV_BRIGHT_UP", "VCMD_TV_BRIGHT_DOWN",
    };
    static_assert(std::size(expected) == kVoiceWordCount);
    for (size_t i = 0; i < kVoiceWordCount; ++i) {
        ASSERT_STREQ(expected[i], kVoiceWords[i].word) << i;
        EXPECT_EQ(i >= 16, kVoiceWords[i].setupWord) << expected[i];
        // The command link drops the same twelve while the setup program runs.
        EXPECT_EQ(i >= 16, IsPictureSetupWord(expected[i])) << expected[i];
    }
    EXPECT_EQ(nullptr, kVoiceWords[kVoiceWordCount].word);
    EXPECT_EQ(nullptr, FindVoiceWord("vcmd_tv_red"));
    EXPECT_EQ(nullptr, FindVoiceWord("VCMD_TV_RED "));
    EXPECT_FALSE(IsVoiceSetupWord("VCMD_TV_MULTI"));
    EXPECT_TRUE(IsVoiceSetupWord("VCMD_TV_BRIGHT_DOWN"));
}

TEST(VoiceWords, EachWordRunsItsActionAndReportsThatItRan) {
    struct Case {
        const char* word;
        Calls calls;
    } cases[] = {
        {"VCMD_TV_FULL_SIZE", {"maximise"}}, {"VCMD_TV_MULTI", {"multi"}},   {"VCMD_TV_SETUP", {"setup"}},
        {"VCMD_TV_BMP", {"bmp"}},            {"VCMD_TV_AVI", {"avi"}},       {"VCMD_TV_LOAD", {"load"}},
        {"VCMD_TV_SAVE", {"save"}},          {"VCMD_TV_RED", {"picture 0"}}, {"VCMD_TV_BLUE", {"picture 1"}},
        {"VCMD_TV_LIGHT", {"picture 2"}},    {"VCMD_TV_DEEP", {"picture 3"}}, {"VCMD_TV_CON_UP", {"picture 4"}},
        {"VCMD_TV_CON_DOWN", {"picture 5"}}, {"VCMD_TV_BRIGHT_UP", {"picture 6"}},
        {"VCMD_TV_BRIGHT_DOWN", {"picture 7"}}, {"VCMD_TV_DEL", {}},      {"VCMD_TV_MAP_SET", {}},
    };
    for (const auto& c : cases) {
        FakeWindows w;
        EXPECT_EQ(1, RunText(c.word, w)) << c.word;
        EXPECT_EQ(c.calls, w.calls) << c.word;
    }
    FakeWindows w;
    EXPECT_EQ(0, RunText("VCMD_TV_UNKNOWN", w));
    EXPECT_EQ(0, RunText("", w));
    EXPECT_TRUE(w.calls.empty());
}

TEST(VoiceWords, InputWordsStepFromTheSourceBeforeTheWantedOne) {
    FakeWindows w;
    EXPECT_EQ(1, RunText("VCMD_TV_CATV", w));  // no cable TV: nothing
    EXPECT_EQ(Calls{}, w.calls);
    w.cable = true;
    w.source = 3;
    RunText("VCMD_TV_CATV", w);
    EXPECT_EQ((Calls{"source 0", "next"}), w.calls);

    w.calls.clear();
    w.source = 0;  // from TV the current preset button loses its mark
    RunText("VCMD_TV_SVIDEO", w);
    EXPECT_EQ((Calls{"repaint", "source 1", "next"}), w.calls);
    w.calls.clear();
    w.source = 2;
    RunText("VCMD_TV_VIDEO1", w);
    EXPECT_EQ((Calls{"source 2", "next"}), w.calls);
}

TEST(VoicePresets, VextChannelFormsSelectPresetsByName) {
    long index = 0;
    EXPECT_TRUE(ParseVoicePreset("VEXT,CH3", &index));
    EXPECT_EQ(2, index);
    EXPECT_TRUE(ParseVoicePreset("VEXT,CH", &index));
    EXPECT_EQ(-1, index);
    EXPECT_TRUE(ParseVoicePreset("VEXT,CH 12x", &index));
    EXPECT_EQ(11, index);
    EXPECT_TRUE(ParseVoicePreset("VEXT,CH99999999999999999999", &index));  // no overflow
    EXPECT_GT(index, 12);
    EXPECT_FALSE(ParseVoicePreset("VEXT,abc", &index));
    EXPECT_FALSE(ParseVoicePreset("VEXT,C", &index));

    FakeWindows w;
    EXPECT_EQ(1, RunText("VEXT,CH3", w));
    EXPECT_EQ(1, RunText("VEXT,CH12", w));
    EXPECT_EQ((Calls{"select PRESET2", "select PRESET11"}), w.calls);
    for (const char* text : {"VEXT,CH0", "VEXT,CH13", "VEXT,abc", "VEXT,CH-3", "VEXT,", "VEXT,CHx"})
        EXPECT_EQ(0, RunText(text, w)) << text;
    EXPECT_EQ(2u, w.calls.size());
}

TEST(VoiceMosaic, EachSizeLeavesTheGridAtItsValueThroughTheDecksAction) {
    EXPECT_EQ(5, StillGridBefore(1));
    EXPECT_EQ(1, NextStillGrid(5));
    const char* words[] = {"VCMD_TV_1SCREEN", "VCMD_TV_4SCREEN", "VCMD_TV_9SCREEN", "VCMD_TV_16SCREEN",
                           "VCMD_TV_25SCREEN"};
    for (int k = 1; k <= 5; ++k)
        for (int start = 1; start <= 5; ++start) {
            FakeWindows w;
            w.framesAttached = true;
            w.stillGrid = start;
            EXPECT_EQ(1, RunText(words[k - 1], w));
            EXPECT_EQ(k, w.stillGrid) << words[k - 1] << " from " << start;
            EXPECT_EQ((Calls{"grid " + std::to_string(k == 1 ? 5 : k - 1), "advance"}), w.calls);
        }
    FakeWindows movie;  // "FRAMES" is attached only in Still mode
    movie.stillGrid = 4;
    EXPECT_EQ(1, RunText("VCMD_TV_9SCREEN", movie));
    EXPECT_EQ(4, movie.stillGrid);
    EXPECT_TRUE(movie.calls.empty());
}

TEST(VoiceSelect, TheHighlightedCellIsClickedTenPixelsInside) {
    uint32_t point = 0;
    ASSERT_TRUE(SelectCellPoint(5, 3, 100, 80, &point));  // column 2, row 1
    EXPECT_EQ(2u * 102 + 10, point & 0xFFFF);
    EXPECT_EQ(1u * 82 + 10, point >> 16);
    ASSERT_TRUE(SelectCellPoint(0, 4, 10, 10, &point));
    EXPECT_EQ(0x000A000Au, point);
    EXPECT_FALSE(SelectCellPoint(3, 0, 100, 80, &point));

    FakeWindows w;
    EXPECT_EQ(1, RunText("VCMD_TV_SELECT", w));  // no multi-screen view: nothing
    EXPECT_TRUE(w.calls.empty());
    w.multiScreen = true;
    w.cell = 5, w.columns = 3, w.width = 100, w.height = 80;
    RunText("VCMD_TV_SELECT", w);
    EXPECT_EQ(Calls{"click " + std::to_string((92u << 16) | 214u)}, w.calls);
}

TEST(VoiceRegistration, EnableRegistersOnceAndDisableSwitchesOffWithZeroes) {
    FakeService s;
    VoiceRegistration r;
    EXPECT_EQ(kNoServiceId, r.serviceId);
    VoiceEnable(r, s);
    VoiceEnable(r, s);  // already registered: no call
    EXPECT_EQ(1, r.registered);
    EXPECT_EQ(7, r.serviceId);
    VoiceDisable(r, s);
    VoiceDisable(r, s);  // already off: no call
    EXPECT_EQ(0, r.registered);
    EXPECT_EQ((Calls{"register KIVO", "enable 1,7", "enable 0,0"}), s.calls);

    // A refused switch-off keeps the registration.
    VoiceEnable(r, s);
    s.enableResult = 9999;
    VoiceDisable(r, s);
    EXPECT_EQ(1, r.registered);
}

TEST(VoiceRegistration, ARefusingServiceLeavesNoIdentifierAndEveryRunTriesAgain) {
    FakeService s;
    s.registerResult = 0;
    VoiceRegistration r;
    VoiceEnable(r, s);
    EXPECT_EQ(kNoServiceId, r.serviceId);
    EXPECT_EQ(0, r.registered);

    FakeWindows w;
    EXPECT_EQ(1, RunVoiceCommand(r, s, "VCMD_TV_MULTI", w));
    EXPECT_EQ(0, RunVoiceCommand(r, s, "VEXT,CH13", w));
    EXPECT_EQ((Calls{"register KIVO", "register KIVO", "register KIVO"}), s.calls);
    EXPECT_EQ(Calls{"multi"}, w.calls);

    // Registered but refused to listen: not registered, retried at the next run.
    s.calls.clear();
    s.registerResult = kVoiceServiceOk;
    s.enableResult = 1;
    RunVoiceCommand(r, s, "VCMD_TV_DEL", w);
    EXPECT_EQ(7, r.serviceId);
    EXPECT_EQ(0, r.registered);
    s.enableResult = kVoiceServiceOk;
    RunVoiceCommand(r, s, "VCMD_TV_DEL", w);
    RunVoiceCommand(r, s, "VCMD_TV_DEL", w);
    EXPECT_EQ(1, r.registered);
    EXPECT_EQ((Calls{"register KIVO", "enable 1,7", "register KIVO", "enable 1,7"}), s.calls);
}

TEST(VoiceRegistration, AChangeRequestedWhileAnotherRunsIsRefused) {
    FakeService s;
    VoiceRegistration r;
    s.reenter = &r;
    EXPECT_EQ(1, VoiceSetActive(r, s, 1));
    EXPECT_EQ(0, s.reenteredResult);
    EXPECT_EQ(1, r.registered);
    EXPECT_EQ(0, VoiceChangesInProgress());
    EXPECT_EQ((Calls{"register KIVO", "enable 1,7"}), s.calls);
    EXPECT_EQ(1, VoiceSetActive(r, s, 0));
    EXPECT_EQ(0, r.registered);
}

}  // namespace
