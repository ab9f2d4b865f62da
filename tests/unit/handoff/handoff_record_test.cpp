#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>

#include "handoff_record.h"

namespace {

HandoffValues Sample() {
    HandoffValues v{};
    v.source = 1;
    v.voiceMode = 2;
    v.currentPreset = 3;
    v.cableChannel = 88;
    v.brightness = -6;
    v.contrast = 200;
    v.color = 83;
    v.hue = -5;
    for (int i = 0; i < kHandoffPresets; ++i) v.presets[i] = {i % 3 == 2, i + 1, "CH" + std::to_string(i + 1)};
    v.presets[0].name = "ＮＨＫ総合テレビ東京";  // longer than 12 bytes
    v.frozen = 1;
    v.useCableTV = 1;
    v.pnpAddress = 0x12345678;
    return v;
}

TEST(HandoffRecord, FilledFieldByField) {
    HandoffRecord r;
    r.Fill(Sample());
    const auto& b = r.bytes;
    EXPECT_EQ('T', b[0]);
    EXPECT_EQ('V', b[1]);
    EXPECT_EQ(0x02, b[2]);
    EXPECT_EQ(0, b[3]);
    EXPECT_EQ(1, b[4]);
    EXPECT_EQ(0, b[5]);      // Main
    EXPECT_EQ(4, b[6]);      // preset + 1
    EXPECT_EQ(38, b[7]);     // C38
    EXPECT_EQ(0xFA, b[8]);
    EXPECT_EQ(200, b[9]);
    EXPECT_EQ(83, b[10]);
    EXPECT_EQ(0xFB, b[11]);  // hue -5
    EXPECT_EQ(1, b[12]);     // first preset's channel
    EXPECT_EQ(0, std::memcmp(&b[13], "ＮＨＫ総合テ", 12));
    EXPECT_EQ(0, b[25]);
    EXPECT_EQ(255, b[12 + 14 * 2]);  // an empty preset
    EXPECT_EQ('C', b[12 + 14 * 1 + 1]);
    EXPECT_EQ(0, b[12 + 14 * 1 + 4]);  // zero-filled
    EXPECT_EQ(1, b[180]);
    EXPECT_EQ(1, b[181]);
    EXPECT_EQ(0, b[182]);
    EXPECT_EQ(0x78, b[183]);
    EXPECT_EQ(0x12, b[186]);
}

TEST(HandoffRecord, SoundModesMapBothWaysAndUnknownOnesAreLeftAlone) {
    HandoffRecord r;
    HandoffValues v = Sample();
    for (auto [mode, code] : {std::pair{1, 2}, {2, 0}, {3, 1}}) {
        v.voiceMode = mode;
        r.Fill(v);
        EXPECT_EQ(code, r.bytes[5]);
        HandoffValues back = Sample();
        back.voiceMode = 99;
        r.ReadBack(r.bytes.data(), back);
        EXPECT_EQ(mode, back.voiceMode);
    }
    v.voiceMode = 0;  // not a mode the DOS program knows: the byte keeps its last value
    r.Fill(v);
    EXPECT_EQ(1, r.bytes[5]);
    r.bytes[5] = 9;
    HandoffValues back = Sample();
    back.voiceMode = 3;
    r.ReadBack(r.bytes.data(), back);
    EXPECT_EQ(3, back.voiceMode);
}

TEST(HandoffRecord, ReadBackTakesTheChangedValuesWithTheirSigns) {
    HandoffRecord r;
    r.Fill(Sample());
    auto data = r.bytes;
    data[182] = 1;
    HandoffValues v{};
    r.ReadBack(data.data(), v);
    EXPECT_EQ(-5, v.hue);
    EXPECT_EQ(200, v.contrast);
    EXPECT_EQ(-6, v.brightness);
    EXPECT_EQ(3, v.currentPreset);
    EXPECT_EQ(88, v.cableChannel);
    EXPECT_TRUE(r.StillSaved());
    // The still flag survives the next fill.
    r.Fill(Sample());
    EXPECT_EQ(1, r.bytes[182]);
}

TEST(HandoffRecord, ReadBackKeepsTheValuesHeldForASourcePresetOrCableChannelOutOfRange) {
    HandoffRecord r;
    r.Fill(Sample());
    const HandoffValues held = Sample();
    // Found by fuzzing: a record with source 7, preset byte 84 and cable byte 86 was taken as
    // it stood, and the cable channel 136 was saved and stepped from.
    for (const auto& [source, preset, cable] : {std::array<uint8_t, 3>{7, 84, 86}, {0xFF, 0, 12}, {4, 13, 39},
                                                 {0x80, 0xFF, 0x80}}) {
        auto data = r.bytes;
        data[4] = source;
        data[6] = preset;
        data[7] = cable;
        data[8] = 0xFA;
        HandoffValues v = held;
        r.ReadBack(data.data(), v);
        EXPECT_EQ(held.source, v.source);
        EXPECT_EQ(held.currentPreset, v.currentPreset);
        EXPECT_EQ(held.cableChannel, v.cableChannel);
        EXPECT_EQ(-6, v.brightness);  // the rest is still taken
    }
    // The edges are taken.
    auto data = r.bytes;
    data[4] = 3;
    data[6] = 12;
    data[7] = 13;
    HandoffValues v = held;
    r.ReadBack(data.data(), v);
    EXPECT_EQ(3, v.source);
    EXPECT_EQ(11, v.currentPreset);
    EXPECT_EQ(63, v.cableChannel);
    data[6] = 1;
    data[7] = 38;
    r.ReadBack(data.data(), v);
    EXPECT_EQ(0, v.currentPreset);
    EXPECT_EQ(88, v.cableChannel);
}

TEST(HandoffRecord, StatesOfARecordReadBack) {
    HandoffRecord r;
    r.Fill(Sample());
    auto d = r.bytes;
    EXPECT_EQ(HandoffState::kWaiting, HandoffRecord::StateOf(d.data(), d.size(), 29999));
    EXPECT_EQ(HandoffState::kReturned, HandoffRecord::StateOf(d.data(), d.size(), 30000));
    d[3] = 1;
    EXPECT_EQ(HandoffState::kWaiting, HandoffRecord::StateOf(d.data(), d.size(), 90000));
    d[3] = 2;
    EXPECT_EQ(HandoffState::kSwitchedOff, HandoffRecord::StateOf(d.data(), d.size(), 0));
    d[3] = 4;
    EXPECT_EQ(HandoffState::kSwitchedOff, HandoffRecord::StateOf(d.data(), d.size(), 0));
    d[3] = 3;
    EXPECT_EQ(HandoffState::kReturned, HandoffRecord::StateOf(d.data(), d.size(), 0));
    EXPECT_EQ(HandoffState::kWaiting, HandoffRecord::StateOf(d.data(), d.size() - 1, 0));
    d[0] = 't';
    EXPECT_EQ(HandoffState::kWaiting, HandoffRecord::StateOf(d.data(), d.size(), 0));
    EXPECT_EQ(HandoffState::kWaiting, HandoffRecord::StateOf(nullptr, 187, 0));
}

}  // namespace
