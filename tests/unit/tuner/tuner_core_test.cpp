// The tuner operations against a recording fake: exact request sequences and bytes, what is
// sent inside one hold of the lock, register values, and rejections that change nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "fake_host.h"
#include "tuner_core.h"

namespace kvtun::test {
namespace {

using Codes = std::vector<uint32_t>;

auto Fields(const TunerLibState& s) {
    return std::make_tuple(s.probeWord, s.tuningBusy, s.inputSource, s.voiceMode, s.brightnessLevel,
                           s.contrastLevel, s.decoderBrightness, s.decoderContrast,
                           s.decoderSaturation, s.decoderHue, s.offsetX, s.offsetY, s.stillSaved);
}
using Bytes = std::vector<uint8_t>;

class TunerTest : public ::testing::Test {
protected:
    FakeHost host;
    TunerLibState state;
    Tuner tuner{state, host};

    void TearDown() override { EXPECT_EQ(0, host.depth) << "the lock was left held"; }

    // Every request so far was sent inside one outermost hold.
    void ExpectOneHold() const {
        ASSERT_FALSE(host.sent.empty());
        for (const auto& s : host.sent) {
            EXPECT_GT(s.lockDepth, 0) << "request " << s.code << " without the lock";
            EXPECT_EQ(host.sent.front().holdId, s.holdId) << "request " << s.code;
        }
    }
    void ExpectRejected(int32_t result, const TunerLibState& before) {
        EXPECT_EQ(-1, result);
        EXPECT_TRUE(host.sent.empty());
        EXPECT_EQ(Fields(before), Fields(state));
    }
};

TEST_F(TunerTest, SelChannelMutesTunesAndUnmutesInsideOneHold) {
    uint16_t busyWhileTuning = 0;
    host.onRequest = [&](uint32_t code) {
        if (code == 16) busyWhileTuning = state.tuningBusy;
    };
    const uint32_t before = host.now;
    ASSERT_EQ(0, tuner.SelChannel(0x10000 + 38));
    EXPECT_EQ((Codes{19, 18, 16, 19, 18}), host.Codes());
    EXPECT_EQ((Bytes{0x58, 0x00}), host.sent[2].in);
    EXPECT_EQ(0xF8, host.sent[1].in[0] & 0xF8);  // muted: bit 3 and bits 4-7
    EXPECT_EQ(0, host.sent[4].in[0] & 0x08);     // sound back
    ExpectOneHold();
    EXPECT_EQ(1, busyWhileTuning);
    EXPECT_EQ(0, tuner.GetUseTuner());
    // 40 ms before the tune, 50 + 40 after it, each wait past its bound.
    EXPECT_GE(host.now - before, 133u);
}

TEST_F(TunerTest, SelChannelSendsBroadcastAndCableCodes) {
    const std::pair<uint32_t, uint16_t> cases[] = {
        {1, 1}, {62, 62}, {0x10000 + 13, 63}, {0x10000 + 38, 88}};
    for (auto [word, code] : cases) {
        host.Clear();
        ASSERT_EQ(0, tuner.SelChannel(word)) << word;
        ASSERT_EQ(5u, host.sent.size());
        EXPECT_EQ((Bytes{static_cast<uint8_t>(code), 0}), host.sent[2].in) << word;
    }
}

TEST_F(TunerTest, SelChannelRejectsWithoutSendingOrStayingBusy) {
    for (uint32_t word : {0u, 63u, 0x10000u + 12, 0x10000u + 39, 0x10000u, 0x20000u + 5,
                          0x80000000u + 1}) {
        TunerLibState before = state;
        ExpectRejected(tuner.SelChannel(word), before);
        EXPECT_EQ(0, host.depth) << word;
    }
}

TEST_F(TunerTest, SelVoiceModeReadsAndWritesThePortInOneHold) {
    host.status = 5;  // the live bits read back as 0x50
    host.port = 0x5C;
    ASSERT_EQ(0, tuner.SelVoiceMode(0));
    EXPECT_EQ((Codes{19, 18}), host.Codes());
    EXPECT_EQ(2u, host.sent[0].outLength);
    EXPECT_EQ(0x5F, host.sent[1].in[0]);
    ExpectOneHold();

    const std::pair<uint32_t, uint8_t> modes[] = {{1, 0x5E}, {3, 0x5C}, {0x10001, 0x5E}};
    for (auto [mode, port] : modes) {
        host.Clear();
        host.port = 0x5D;
        ASSERT_EQ(0, tuner.SelVoiceMode(mode));
        EXPECT_EQ(port, host.sent[1].in[0]) << mode;
        EXPECT_EQ(mode, state.voiceMode);
    }
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.SelVoiceMode(2), before);
    ExpectRejected(tuner.SelVoiceMode(4), before);
}

TEST_F(TunerTest, SetMuteSetsOrClearsBit3AndSetsTheHighBits) {
    host.port = 0x03;
    ASSERT_EQ(0, tuner.SetMute(1));
    EXPECT_EQ((Codes{19, 18}), host.Codes());
    EXPECT_EQ(0xFB, host.sent[1].in[0]);
    ExpectOneHold();
    host.Clear();
    ASSERT_EQ(0, tuner.SetMute(0));
    EXPECT_EQ(0xF3, host.sent[1].in[0]);
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.SetMute(2), before);
    ExpectRejected(tuner.SetMute(-1), before);
}

TEST_F(TunerTest, SelInputSrcSwitchesInputAndPathWithTheVoiceModeForTheTuner) {
    state.voiceMode = 1;
    ASSERT_EQ(0, tuner.SelInputSrc(0));
    EXPECT_EQ((Codes{19, 18, 22, 12, 28, 19, 18, 19, 18}), host.Codes());
    EXPECT_EQ((Bytes{0x00}), host.sent[3].in);
    EXPECT_EQ((Bytes{0}), host.sent[4].in);
    EXPECT_EQ(host.sent[3].holdId, host.sent[4].holdId);  // input and path in one hold
    EXPECT_EQ(0x02, host.sent[6].in[0] & 0x03);           // mode 1 again
    EXPECT_EQ(0, host.sent[8].in[0] & 0x08);
    EXPECT_EQ(0, state.inputSource);

    const struct {
        uint32_t source;
        uint8_t input, path;
    } cases[] = {{5, 0x11, 1}, {10, 0x11, 1}, {15, 0x21, 2}, {0x1000F, 0x21, 2}};
    for (auto c : cases) {
        host.Clear();
        ASSERT_EQ(0, tuner.SelInputSrc(c.source));
        EXPECT_EQ((Codes{19, 18, 22, 12, 28, 19, 18}), host.Codes()) << c.source;
        EXPECT_EQ(c.input, host.sent[3].in[0]);
        EXPECT_EQ(c.path, host.sent[4].in[0]);
        EXPECT_EQ(c.source & 0xFFFF, state.inputSource);
    }
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.SelInputSrc(1), before);
    ExpectRejected(tuner.SelInputSrc(20), before);
}

TEST_F(TunerTest, GetStatusTVDecodesTheBroadcastSoundBits) {
    const int expected[8] = {5, 5, 5, 4, 3, 2, 1, 0};
    for (uint8_t status = 0; status < 8; ++status) {
        host.status = status;
        EXPECT_EQ(expected[status], tuner.GetStatusTV()) << int(status);
    }
    for (const auto& s : host.sent) EXPECT_EQ(1, s.lockDepth);
}

TEST_F(TunerTest, GetInputSrcMapsTheStatusBits) {
    const std::pair<uint8_t, int32_t> cases[] = {
        {0x00, 0x10}, {0x01, 0}, {0x40, 0x12}, {0x10, 0x14}, {0x04, 0x18}, {0x55, 0x0E}, {0xFF, 0x0E}};
    for (auto [status, flags] : cases) {
        host.inputStatus = status;
        EXPECT_EQ(flags, tuner.GetInputSrc()) << int(status);
    }
}

TEST_F(TunerTest, BrightnessAndContrastWriteBothRegistersInTheirOrder) {
    ASSERT_EQ(0, tuner.SetBright(-32));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x19, 116}, {0x13, 57}}), host.DecoderWrites());
    ExpectOneHold();
    host.Clear();
    ASSERT_EQ(0, tuner.SetBright(0));
    ASSERT_EQ(0, tuner.SetContrast(87));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x19, 154}, {0x13, 57}, {0x13, 88}, {0x19, 216}}),
              host.DecoderWrites());
    EXPECT_EQ(88u, state.decoderContrast);
    EXPECT_EQ(216u, state.decoderBrightness);
    host.Clear();
    ASSERT_EQ(0, tuner.SetContrast(0x10000 + 24));  // only the low 16 bits count
    EXPECT_EQ(24, state.contrastLevel);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x13, 26}, {0x19, 91}}), host.DecoderWrites());
    host.Clear();
    ASSERT_EQ(0, tuner.SetBright(31));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x19, 130}, {0x13, 26}}), host.DecoderWrites());

    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.SetBright(32), before);
    ExpectRejected(tuner.SetBright(-33), before);
    ExpectRejected(tuner.SetContrast(23), before);
    ExpectRejected(tuner.SetContrast(88), before);
}

TEST_F(TunerTest, ColourAndHueScaleAndTruncateTowardZero) {
    const std::pair<uint32_t, int> colours[] = {{165, 127}, {0, 0}, {1, 0}, {2, 1}, {83, 63}};
    for (auto [level, value] : colours) {
        host.Clear();
        ASSERT_EQ(0, tuner.SetColor(level));
        EXPECT_EQ((std::vector<std::pair<int, int>>{{0x12, value}}), host.DecoderWrites()) << level;
    }
    const std::pair<int32_t, int> hues[] = {{-1, 0}, {-64, 0xE0}, {63, 31}, {-3, 0xFF}, {0, 0}};
    for (auto [level, value] : hues) {
        host.Clear();
        ASSERT_EQ(0, tuner.SetHue(level));
        EXPECT_EQ((std::vector<std::pair<int, int>>{{0x07, value}}), host.DecoderWrites()) << level;
        EXPECT_EQ(level / 2, state.decoderHue);
    }
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.SetColor(166), before);
    ExpectRejected(tuner.SetColor(0xFFFF), before);
    ExpectRejected(tuner.SetHue(64), before);
    ExpectRejected(tuner.SetHue(-65), before);
}

// The i686 build may evaluate in extended precision: it must not change a single value.
TEST(PictureRegisters, ExtendedPrecisionGivesTheSameValuesOverEveryLevel) {
    for (int32_t b = -32; b <= 31; ++b)
        for (uint32_t c = 24; c <= 87; ++c) {
            const long double k = static_cast<uint16_t>((static_cast<int32_t>(c) * 100 - 2400) / 63);
            const long double bb = static_cast<uint16_t>((b * 100 + 3200) / 63);
            const auto contrast = static_cast<int>(((k * 0.49L) + 21) / 100 * 127);
            const auto bright = static_cast<int>(((bb * 0.3L) + (k * 0.49L) + 21) / 100 * 255);
            const PictureRegisters r = ComputePicture(b, c);
            ASSERT_EQ(contrast & 0xFF, r.contrast) << b << " " << c;
            ASSERT_EQ(bright & 0xFF, r.brightness) << b << " " << c;
        }
}

TEST_F(TunerTest, StillTV2FreezesAndReleasesWithoutTheLock) {
    host.vp[0xB8] = 0x3F;
    ASSERT_EQ(0, tuner.StillTV2(1));
    EXPECT_EQ((Codes{24, 26}), host.Codes());
    EXPECT_EQ((Bytes{0xB8}), host.sent[0].in);
    EXPECT_EQ((Bytes{0x20, 0, 0xB8, 0}), host.sent[1].in);
    EXPECT_EQ(0x3F, state.stillSaved);
    // A second freeze saves the frozen byte, and the release writes that back.
    ASSERT_EQ(0, tuner.StillTV2(0x10001));
    EXPECT_EQ(0x20, state.stillSaved);
    ASSERT_EQ(0, tuner.StillTV2(0));
    EXPECT_EQ((Bytes{0x20, 0, 0xB8, 0}), host.sent.back().in);
    EXPECT_EQ(0, state.stillSaved);
    for (const auto& s : host.sent) EXPECT_EQ(0, s.lockDepth);
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.StillTV2(0), before);
    ExpectRejected(tuner.StillTV2(2), before);
}

TEST_F(TunerTest, GetInstanceNeedsBothEnablesAndAProperWindow) {
    auto window = [&](int vs, int ve, int hs, int he) {
        const int regs[4][2] = {{0xA4, vs}, {0xA6, ve}, {0xA8, hs}, {0xAA, he}};
        for (auto& r : regs) {
            host.vp[r[0]] = static_cast<uint8_t>(r[1]);
            host.vp[r[0] + 1] = static_cast<uint8_t>((r[1] >> 8) | 0xFC);  // high bits ignored
        }
    };
    host.vp[0x8E] = 0x10;
    host.vp[0x9C] = 0xEF;
    EXPECT_EQ(0, tuner.GetInstance());
    EXPECT_EQ((Codes{24, 24}), host.Codes());
    host.vp[0x9C] = 0x10;
    window(46, 502, 125, 855);
    host.Clear();
    EXPECT_EQ(1, tuner.GetInstance());
    EXPECT_EQ(10u, host.sent.size());
    for (const auto& s : host.sent) EXPECT_EQ(1, s.lockDepth);
    window(0, 0, 125, 855);
    EXPECT_EQ(0, tuner.GetInstance());
    window(46, 502, 0, 0);
    EXPECT_EQ(0, tuner.GetInstance());
    window(5, 6, 7, 8);
    EXPECT_EQ(0, tuner.GetInstance());
    window(5, 6, 7, 9);
    EXPECT_EQ(1, tuner.GetInstance());
    window(502, 46, 125, 855);
    EXPECT_EQ(0, tuner.GetInstance());
    window(46, 502, 855, 125);
    EXPECT_EQ(0, tuner.GetInstance());
    host.vp[0x8E] = 0;
    window(46, 502, 125, 855);
    EXPECT_EQ(0, tuner.GetInstance());
}

TEST_F(TunerTest, OverlayPositionIsReadAndWrittenAsRegisterPairs) {
    host.vp[0xA8] = 125;
    host.vp[0xAA] = 0x57;
    host.vp[0xAB] = 0x03;
    EXPECT_EQ(125 * 65536 + 855, tuner.GetOverLayPos(0));
    EXPECT_EQ((Codes{25, 25}), host.Codes());
    EXPECT_EQ((Bytes{0xA8}), host.sent[0].in);
    EXPECT_EQ((Bytes{0xAA}), host.sent[1].in);
    ExpectOneHold();
    host.Clear();
    EXPECT_EQ(0, tuner.GetOverLayPos(2));
    EXPECT_TRUE(host.sent.empty());

    host.settings["NTSC - 640X480/X Offset"] = "-4";
    host.settings["NTSC - 640X480/Y Offset"] = "6";
    state.offsetX = 10;
    ASSERT_EQ(0, tuner.SetOverLayPos(1, 0x002E01F6));
    EXPECT_EQ((Codes{27, 27}), host.Codes());
    EXPECT_EQ((Bytes{0x2E, 0x00, 0xA4, 0}), host.sent[0].in);
    EXPECT_EQ((Bytes{0xF6, 0x01, 0xA6, 0}), host.sent[1].in);
    EXPECT_EQ(-4, state.offsetX);  // unsaved shifts are dropped
    EXPECT_EQ(6, state.offsetY);
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.SetOverLayPos(2, 0), before);
    ExpectRejected(tuner.SetOverLayPos(-1, 0), before);
}

TEST_F(TunerTest, MoveOverLayPosStopsAtAShiftOf32) {
    host.vp[0xA8] = 125;
    host.vp[0xAA] = 0x57;
    host.vp[0xAB] = 0x03;
    for (int i = 0; i < 16; ++i) {
        host.Clear();
        ASSERT_EQ(0, tuner.MoveOverLayPos(1));
        ASSERT_EQ((Codes{25, 25, 20, 27, 27}), host.Codes()) << i;
        EXPECT_EQ(host.sent[2].holdId, host.sent[4].holdId);
    }
    EXPECT_EQ(32, state.offsetX);
    EXPECT_EQ((Bytes{125 + 32, 0, 0xA8, 0}), host.sent[3].in);
    EXPECT_EQ((Bytes{0x57 + 32, 0x03, 0xAA, 0}), host.sent[4].in);
    host.Clear();
    ASSERT_EQ(0, tuner.MoveOverLayPos(1));
    EXPECT_EQ((Codes{25, 25}), host.Codes());  // read, nothing written
    EXPECT_EQ(32, state.offsetX);

    host.Clear();
    ASSERT_EQ(0, tuner.MoveOverLayPos(2));
    EXPECT_EQ((Bytes{0xA4}), host.sent[0].in);
    EXPECT_EQ(0xA4, host.sent[3].in[2]);
    EXPECT_EQ(-2, state.offsetY);
    EXPECT_EQ(0xFE, host.sent[3].in[0]);  // 0 - 2 wraps in the 16-bit register
    EXPECT_EQ(0xFF, host.sent[3].in[1]);
    host.Clear();
    TunerLibState before = state;
    ExpectRejected(tuner.MoveOverLayPos(4), before);
}

TEST_F(TunerTest, SetDefOverLayPosTakesOnlyTheEightModes) {
    int accepted = 0;
    for (int32_t w : {640, 800, 1024, 600})
        for (int32_t h : {480, 600, 768})
            for (int32_t bpp : {8, 16, 24, 32}) {
                host.Clear();
                state.offsetX = 4;
                int32_t r = tuner.SetDefOverLayPos(w, h, bpp);
                if (r == 0) {
                    ++accepted;
                    ASSERT_EQ((Codes{27, 27, 27, 27}), host.Codes());
                    EXPECT_EQ((Bytes{46, 0, 0xA4, 0}), host.sent[0].in);
                    EXPECT_EQ((Bytes{0xF6, 0x01, 0xA6, 0}), host.sent[1].in);
                    EXPECT_EQ((Bytes{125, 0, 0xA8, 0}), host.sent[2].in);
                    EXPECT_EQ((Bytes{0x57, 0x03, 0xAA, 0}), host.sent[3].in);
                    EXPECT_EQ(0, state.offsetX);
                } else {
                    EXPECT_EQ(-1, r);
                    EXPECT_TRUE(host.sent.empty());
                    EXPECT_EQ(4, state.offsetX);
                }
            }
    EXPECT_EQ(8, accepted);
    EXPECT_EQ(-1, tuner.SetDefOverLayPos(1024, 768, 24));
}

TEST_F(TunerTest, SetColorModeInitialisesTheBoardOnce) {
    state.decoderBrightness = 100;
    state.decoderContrast = 50;
    state.decoderSaturation = 40;
    state.decoderHue = -5;
    state.inputSource = 2;
    ASSERT_EQ(0, tuner.SetColorMode(0));
    EXPECT_EQ((Codes{19, 18, 13, 28, 21, 21, 21, 21, 12, 28, 18}), host.Codes());
    EXPECT_EQ(0x08, host.sent[1].in[0] & 0x08);
    EXPECT_EQ((Bytes{0x10}), host.sent[3].in);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x19, 100}, {0x13, 50}, {0x12, 40}, {0x07, 0xFB}}),
              host.DecoderWrites());
    EXPECT_EQ((Bytes{0x21}), host.sent[8].in);
    EXPECT_EQ((Bytes{2}), host.sent[9].in);
    EXPECT_EQ((Bytes{0xFB}), host.sent[10].in);
    EXPECT_EQ(host.sent[8].holdId, host.sent[10].holdId);
    host.Clear();
    ASSERT_EQ(0, tuner.SetColorMode(0));
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(TunerTest, SetColorModeSelectsTheStoredInputOrStops) {
    const struct {
        uint16_t code;
        uint8_t input, path;
    } cases[] = {{0, 0x11, 1}, {1, 0x00, 0}, {2, 0x21, 2}};
    for (auto c : cases) {
        FakeHost h;
        TunerLibState s;
        s.inputSource = c.code;
        Tuner t(s, h);
        ASSERT_EQ(0, t.SetColorMode(0));
        ASSERT_EQ(11u, h.sent.size());
        EXPECT_EQ(c.input, h.sent[8].in[0]);
        EXPECT_EQ(c.path, h.sent[9].in[0]);
    }
    state.inputSource = 3;
    ASSERT_EQ(0, tuner.SetColorMode(0));
    EXPECT_EQ((Codes{19, 18, 13, 28, 21, 21, 21, 21}), host.Codes());
}

TEST_F(TunerTest, WaitSpinsPastItsBoundButNeverPastASecond) {
    host.tickStep = 1;
    uint32_t start = host.now;
    tuner.Wait(40);
    EXPECT_EQ(start + 42, host.now);  // the first reading, then 41 ms later
    EXPECT_EQ(1, host.maxDepth);
    host.tickStep = 300;
    start = host.now;
    tuner.Wait(1000);
    EXPECT_EQ(start + 300 * 5, host.now);  // 1200 > 1000
    const uint32_t reads = host.ticksRead;
    tuner.Wait(1001);
    EXPECT_EQ(reads, host.ticksRead);
    host.tickStep = 1;
    host.now = 0xFFFFFFF0u;  // the tick count wraps
    tuner.Wait(40);
    EXPECT_EQ(0xFFFFFFF0u + 42, host.now);
}

TEST_F(TunerTest, SetVoiceUsesTheLastMixerWithProduct23) {
    host.mixers = {{23}, {5}, {23}, {7}};
    EXPECT_EQ(0, tuner.SetVoice(0));
    EXPECT_EQ((std::vector<std::string>{"count", "caps 0", "caps 1", "caps 2", "caps 3", "open 2",
                                        "set 2 35=1", "close 2"}),
              host.mixerCalls);
    host.Clear();
    host.setResult = 11;
    EXPECT_EQ(11, tuner.SetVoice(5));
    EXPECT_EQ("set 2 35=0", host.mixerCalls[6]);
    host.Clear();
    host.mixers[2].capsResult = 2;  // a device that cannot tell is not chosen
    host.setResult = 0;
    EXPECT_EQ(0, tuner.SetVoice(1));
    EXPECT_EQ("open 0", host.mixerCalls[5]);
    host.mixers[0].openResult = 4;
    host.Clear();
    EXPECT_EQ(3, tuner.SetVoice(1));
    EXPECT_EQ((std::vector<std::string>{"count", "caps 0", "caps 1", "caps 2", "caps 3", "open 0"}),
              host.mixerCalls);
    host.mixers = {{5}};
    EXPECT_EQ(1, tuner.SetVoice(1));
    host.mixers.clear();
    EXPECT_EQ(1, tuner.SetVoice(1));
    EXPECT_TRUE(host.sent.empty());
}

TEST_F(TunerTest, ProbeAsksThreeQuestionsEachUnderTheLock) {
    EXPECT_TRUE(tuner.Probe());
    EXPECT_EQ((Codes{10, 29, 33}), host.Codes());
    EXPECT_EQ((Bytes{9}), host.sent[1].in);
    EXPECT_EQ(4u, host.sent[0].outLength);
    EXPECT_EQ(0x300u, state.probeWord);
    for (const auto& s : host.sent) EXPECT_EQ(1, s.lockDepth);
    EXPECT_NE(host.sent[0].holdId, host.sent[1].holdId);

    host.Clear();
    host.boardStatus = 0;
    EXPECT_FALSE(tuner.Probe());
    host.boardStatus = 1;
    host.identify = 0x20;
    EXPECT_FALSE(tuner.Probe());
    host.Clear();
    host.probeWord = 0;
    EXPECT_FALSE(tuner.Probe());
    EXPECT_EQ((Codes{10}), host.Codes());
}

TEST_F(TunerTest, PutToRestSwitchesTheSoundOffAndWrites0xFB) {
    host.mixers = {{23}};
    tuner.PutToRest();
    EXPECT_EQ("set 0 35=1", host.mixerCalls[3]);
    EXPECT_EQ((Codes{18}), host.Codes());
    EXPECT_EQ((Bytes{0xFB}), host.sent[0].in);
    EXPECT_EQ(1, host.sent[0].lockDepth);
}

TEST_F(TunerTest, TheNoOperationsAnswerAsTheTableSays) {
    EXPECT_EQ(-1, tuner.StillTV(5));
    EXPECT_EQ(0, tuner.GetUseTuner());
    EXPECT_TRUE(host.sent.empty());
}

}  // namespace
}  // namespace kvtun::test
