#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "mixer_control.h"

namespace {

// A mixer whose controls hold values, and which records every read and write.
class FakeMixer : public MixerPort {
public:
    std::map<uint32_t, std::vector<int32_t>> values;
    std::vector<std::string> calls;
    std::map<uint32_t, bool> failRead, failWrite;

    bool Read(uint32_t control, uint32_t items, int32_t* out) override {
        calls.push_back("get " + std::to_string(control));
        if (failRead[control] || !values.count(control)) return false;
        for (uint32_t i = 0; i < items; ++i) out[i] = i < values[control].size() ? values[control][i] : 0;
        return true;
    }
    bool Write(uint32_t control, uint32_t items, const int32_t* in) override {
        calls.push_back("set " + std::to_string(control) + "=" + std::to_string(in[0]));
        if (failWrite[control]) return false;
        values[control].assign(in, in + items);
        return true;
    }
};

class FakeDevices : public MixerDevices {
public:
    std::vector<uint16_t> pids;
    FakeMixer mixer;
    bool openFails = false;
    int opens = 0, closes = 0;

    uint32_t Count() override { return static_cast<uint32_t>(pids.size()); }
    bool ProductId(uint32_t index, uint16_t* pid) override {
        *pid = pids[index];
        return true;
    }
    MixerPort* Open(uint32_t) override {
        ++opens;
        return openFails ? nullptr : &mixer;
    }
    void Close(MixerPort*) override { ++closes; }
};

void BoardControls(FakeMixer& m, int32_t level33, int32_t switch35) {
    m.values[33] = {level33};
    m.values[35] = {switch35};
    m.values[5] = {2048};
    m.values[13] = {0};
    m.values[0] = {0, 0, 1, 0};
    m.values[6] = {500};
    m.values[14] = {1};
}

TEST(Mixer, SetLevelRaisesOnlyQuietLevels) {
    FakeMixer m;
    m.values[33] = {500};
    EXPECT_EQ(500, SetLevel(m, 33, 0x7FFF, 1024));
    EXPECT_EQ(0x7FFF, m.values[33][0]);
    m.values[33] = {1024};
    EXPECT_EQ(1024, SetLevel(m, 33, 0x7FFF, 1024));
    EXPECT_EQ(1024, m.values[33][0]);
    // Threshold -1: always written; the marker is never written.
    EXPECT_EQ(1024, SetLevel(m, 33, 300, -1));
    EXPECT_EQ(300, m.values[33][0]);
    EXPECT_EQ(kMixerUnset, SetLevel(m, 33, kMixerUnset, -1));
    EXPECT_EQ(300, m.values[33][0]);
    m.failRead[33] = true;
    EXPECT_EQ(kMixerUnset, SetLevel(m, 33, 1, -1));
    m.failRead[33] = false;
    m.failWrite[33] = true;
    EXPECT_EQ(kMixerUnset, SetLevel(m, 33, 1, -1));
}

TEST(Mixer, SetSwitchAndItsMarkers) {
    FakeMixer m;
    m.values[35] = {1};
    EXPECT_EQ(1, SetSwitch(m, 35, 0));
    EXPECT_EQ(0, m.values[35][0]);
    EXPECT_EQ(-1, SetSwitch(m, 35, -1));
    EXPECT_EQ(0, m.values[35][0]);
    // -63 is not special for a switch: it is written.
    EXPECT_EQ(0, SetSwitch(m, 35, kMixerUnset));
    EXPECT_EQ(kMixerUnset, m.values[35][0]);
    EXPECT_EQ(kMixerUnset, SetSwitch(m, 99, 0));
}

TEST(Mixer, SetSelectorClearsItemZeroAndSetsTheIndex) {
    FakeMixer m;
    m.values[0] = {0, 0, 1, 0};
    EXPECT_EQ(2, SetSelector(m, 0, 4, 0));
    EXPECT_EQ((std::vector<int32_t>{1, 0, 1, 0}), m.values[0]);
    EXPECT_EQ(0, SetSelector(m, 0, 4, 3));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 1}), m.values[0]);
    // An index outside the items is not written and answers the marker.
    EXPECT_EQ(kMixerUnset, SetSelector(m, 0, 4, kMixerUnset));
    EXPECT_EQ(kMixerUnset, SetSelector(m, 0, 4, 4));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 1}), m.values[0]);
    m.values[0] = {0, 0, 0, 0};
    EXPECT_EQ(kMixerUnset, SetSelector(m, 0, 4, 1));
}

TEST(Mixer, PrepareFindsTheBoardMixerAndRestoreUndoesIt) {
    FakeDevices d;
    d.pids = {255, 255, 23};
    BoardControls(d.mixer, 500, 1);
    MixerMemory mem{};
    ASSERT_EQ(kMixerPrepared, PrepareMixer(d, mem));
    EXPECT_EQ(2, mem.mixerIndex);
    EXPECT_EQ(0x7FFF, d.mixer.values[33][0]);
    EXPECT_EQ(0, d.mixer.values[35][0]);
    EXPECT_EQ(2048, d.mixer.values[5][0]);  // loud enough already
    EXPECT_EQ(0x7FFF, d.mixer.values[6][0]);
    EXPECT_EQ(0, d.mixer.values[14][0]);
    const int32_t saved[7] = {500, 1, 2048, 0, 2, 500, 1};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(saved[i], mem.saved[i]) << i;
    const std::vector<std::string> order = {"get 33", "set 33=32767", "get 35", "set 35=0", "get 5",
                                            "get 13", "set 13=0", "get 0", "set 0=1", "get 6",
                                            "set 6=32767", "get 14", "set 14=0"};
    EXPECT_EQ(order, d.mixer.calls);

    d.mixer.calls.clear();
    RestoreMixer(d, mem);
    EXPECT_EQ(500, d.mixer.values[33][0]);
    EXPECT_EQ(1, d.mixer.values[35][0]);
    EXPECT_EQ(2048, d.mixer.values[5][0]);
    EXPECT_EQ(500, d.mixer.values[6][0]);
    EXPECT_EQ(1, d.mixer.values[14][0]);
    EXPECT_EQ((std::vector<int32_t>{0, 0, 1, 0}), d.mixer.values[0]);
    // Restoring again changes nothing further.
    RestoreMixer(d, mem);
    EXPECT_EQ(500, d.mixer.values[33][0]);
    EXPECT_EQ(3, d.opens);
    EXPECT_EQ(3, d.closes);
}

TEST(Mixer, NoBoardMixerOrOneThatWillNotOpen) {
    FakeDevices d;
    d.pids = {255};
    MixerMemory mem{};
    EXPECT_EQ(kNoBoardMixer, PrepareMixer(d, mem));
    EXPECT_EQ(1, mem.mixerIndex);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(kMixerUnset, mem.saved[i]);
    RestoreMixer(d, mem);
    EXPECT_EQ(0, d.opens);
    d.pids = {23};
    d.openFails = true;
    EXPECT_EQ(kMixerOpenFailed, PrepareMixer(d, mem));
    RestoreMixer(d, mem);  // tries, fails quietly
    EXPECT_EQ(2, d.opens);
}

TEST(Mixer, AControlThatCannotBeReadKeepsTheMarkerAndIsLeftAlone) {
    FakeDevices d;
    d.pids = {23};
    BoardControls(d.mixer, 500, 1);
    d.mixer.failRead[5] = true;
    MixerMemory mem{};
    ASSERT_EQ(kMixerPrepared, PrepareMixer(d, mem));
    EXPECT_EQ(kMixerUnset, mem.saved[2]);
    d.mixer.failRead[5] = false;
    d.mixer.values[5] = {777};
    RestoreMixer(d, mem);
    EXPECT_EQ(777, d.mixer.values[5][0]);
}

}  // namespace
