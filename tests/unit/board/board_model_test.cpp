#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "board_state.h"

namespace {

using namespace board;

class BoardModel : public ::testing::Test {
protected:
    void SetUp() override { Reset(*state, DefaultSettings()); }

    bool Send(uint32_t code, std::vector<uint8_t> in, uint8_t* out = nullptr, uint32_t outLength = 0,
              uint32_t* returned = nullptr) {
        uint32_t got = 0;
        bool ok = Request(*state, 7, kZtuner, code, in.empty() ? nullptr : in.data(),
                          static_cast<uint32_t>(in.size()), out, outLength, &got);
        if (returned) *returned = got;
        return ok;
    }

    uint8_t Port() {
        uint8_t b = 0;
        Send(19, {}, &b, 1);
        return b;
    }

    std::unique_ptr<State> state = std::make_unique<State>();
};

TEST_F(BoardModel, AVideoFileIsReportedOncePerChannelUntilTheReset) {
    EXPECT_TRUE(TakeFeedReport(*state, 13));
    EXPECT_FALSE(TakeFeedReport(*state, 13));
    EXPECT_TRUE(TakeFeedReport(*state, 88));
    EXPECT_TRUE(TakeFeedReport(*state, 1));
    EXPECT_FALSE(TakeFeedReport(*state, 96));  // beyond the record
    Reset(*state, DefaultSettings());
    EXPECT_TRUE(TakeFeedReport(*state, 13));
}

TEST_F(BoardModel, ProbeAnswersAsAReadyBoard) {
    uint8_t out[4] = {};
    uint32_t n = 0;
    ASSERT_TRUE(Send(10, {}, out, 4, &n));
    EXPECT_EQ(4u, n);
    EXPECT_NE(0u, out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    ASSERT_TRUE(Send(29, {9}, out, 1, &n));
    EXPECT_EQ(0x21, out[0]);
    ASSERT_TRUE(Send(29, {8}, out, 1, &n));
    EXPECT_EQ(0x00, out[0]);
    ASSERT_TRUE(Send(33, {}, out, 1, &n));
    EXPECT_EQ(1, out[0]);
}

TEST_F(BoardModel, TuningAndPathDecideTheSoundStatusBits) {
    Send(18, {0xF8});  // mute, mode bits 00
    Send(12, {0x00});
    Send(28, {0});
    Send(16, {1, 0});  // a stereo station
    EXPECT_EQ(1, state->channel);
    EXPECT_EQ(0x88 | (kSoundStereo << 4), Port());
    Send(16, {3, 0});
    EXPECT_EQ((kSoundBilingual << 4), Port() & 0x70);
    Send(16, {0x58, 0x00});  // cable 38
    EXPECT_EQ(88, state->channel);
    EXPECT_EQ((kSoundMono << 4), Port() & 0x70);
    // An external input has no broadcast sound.
    Send(12, {0x11});
    Send(28, {1});
    EXPECT_EQ(0, Port() & 0x70);
    // Written bits other than 4-6 read back as written.
    Send(18, {0x03});
    EXPECT_EQ(0x03, Port());
}

TEST_F(BoardModel, ControlPortReadFillsATwoByteBuffer) {
    uint8_t out[2] = {0xAA, 0xAA};
    uint32_t n = 0;
    ASSERT_TRUE(Send(19, {}, out, 2, &n));
    EXPECT_EQ(2u, n);
    EXPECT_EQ(0, out[1]);
}

TEST_F(BoardModel, VideoProcessorRegistersReadBackWhatWasWritten) {
    Send(27, {0x57, 0x03, 0xA8, 0x00});  // 16-bit 0x357 at 0xA8/0xA9
    uint8_t out[2] = {};
    ASSERT_TRUE(Send(25, {0xA8}, out, 2));
    EXPECT_EQ(0x57, out[0]);
    EXPECT_EQ(0x03, out[1]);
    ASSERT_TRUE(Send(24, {0xA9}, out, 1));
    EXPECT_EQ(0x03, out[0]);
    // Freeze: the capture control's low five bits cleared.
    EXPECT_FALSE(Frozen(*state));
    Send(26, {0xE0, 0, 0xB8, 0});
    EXPECT_TRUE(Frozen(*state));
    EXPECT_EQ(0xE0, state->vp[0xB8]);
}

TEST_F(BoardModel, DecoderRegistersAndInitialisation) {
    Send(21, {116, 0x19});
    Send(21, {0xE0, 0x07});
    EXPECT_EQ(116, state->decoder[0x19]);
    EXPECT_EQ(0xE0, state->decoder[0x07]);
    Send(13, {});
    Send(28, {0x10});
    EXPECT_EQ(1u, state->initCount);
    EXPECT_EQ(0x10, state->path);
}

TEST_F(BoardModel, ShortInputIsRefusedAndChangesNothing) {
    EXPECT_FALSE(Send(16, {5}));
    EXPECT_EQ(0, state->channel);
    EXPECT_FALSE(Send(27, {1, 2}));
    EXPECT_FALSE(Send(99, {}));
}

TEST_F(BoardModel, EveryRequestIsLoggedWithItsBytes) {
    uint8_t out[1] = {};
    Send(16, {0x3F, 0x00});
    Send(29, {9}, out, 1);
    ASSERT_EQ(2u, state->logTotal);
    const LogEntry& tune = state->log[0];
    EXPECT_EQ(1u, tune.sequence);
    EXPECT_EQ(7u, tune.process);
    EXPECT_EQ(kZtuner, tune.device);
    EXPECT_EQ(16u, tune.code);
    EXPECT_EQ(2u, tune.inLength);
    EXPECT_EQ(0x3F, tune.in[0]);
    const LogEntry& id = state->log[1];
    EXPECT_EQ(1u, id.returned);
    EXPECT_EQ(0x21, id.out[0]);
}

TEST_F(BoardModel, LogKeepsTheLatestEntriesWhenFull) {
    for (uint32_t i = 0; i < kLogCapacity + 5; ++i) Send(20, {});
    EXPECT_EQ(kLogCapacity + 5, state->logTotal);
    EXPECT_EQ(kLogCapacity + 5, state->log[(kLogCapacity + 4) % kLogCapacity].sequence);
}

TEST_F(BoardModel, AnswerIsCutToTheCallersBuffer) {
    uint8_t out[2] = {};
    uint32_t n = 0;
    ASSERT_TRUE(Send(10, {}, out, 2, &n));
    EXPECT_EQ(2u, n);
}

TEST_F(BoardModel, MixerControlsReadBackWhatWasSet) {
    int32_t v[4] = {};
    ASSERT_TRUE(MixerRead(*state, 33, v, 1));
    EXPECT_EQ(500, v[0]);
    int32_t level[2] = {32767, 32767};
    ASSERT_TRUE(MixerWrite(*state, 33, level, 2));
    ASSERT_TRUE(MixerRead(*state, 33, v, 2));
    EXPECT_EQ(32767, v[0]);
    EXPECT_EQ(32767, v[1]);
    // The selector: one flag per item.
    ASSERT_TRUE(MixerRead(*state, 0, v, 4));
    EXPECT_EQ(0, v[0]);
    EXPECT_EQ(1, v[2]);
    int32_t pick[4] = {1, 0, 0, 0};
    ASSERT_TRUE(MixerWrite(*state, 0, pick, 4));
    ASSERT_TRUE(MixerRead(*state, 0, v, 4));
    EXPECT_EQ(1, v[0]);
    EXPECT_EQ(0, v[2]);
    EXPECT_FALSE(MixerRead(*state, 99, v, 1));
}

TEST_F(BoardModel, SupportKitDriverAnswersFromTheSettings) {
    Settings s = DefaultSettings();
    s.spkdOsReady = 1;
    s.spkdIdCheck = 1;
    s.spkdMachineId = 0xABC;
    Reset(*state, s);
    uint8_t in[4] = {1, 0, 0, 0}, out[4] = {};
    uint32_t n = 0;
    ASSERT_TRUE(Request(*state, 1, kSpkd, 1, in, 4, out, 4, &n));
    EXPECT_EQ(4u, n);
    EXPECT_EQ(1, out[0]);
    EXPECT_EQ(1, out[1]);
    EXPECT_EQ(0xBC, out[2]);
    EXPECT_EQ(0x0A, out[3]);
    s.spkdRequestOk = 0;
    Reset(*state, s);
    EXPECT_FALSE(Request(*state, 1, kSpkd, 1, in, 4, out, 4, &n));
}

TEST_F(BoardModel, RemoteRoutingFollowsTheInputLength) {
    uint8_t dummy = 0;
    Request(*state, 1, kDazidav, 3, &dummy, 0, nullptr, 0, nullptr);
    EXPECT_EQ(1u, state->routing);
    Request(*state, 1, kDazidav, 3, &dummy, 1, nullptr, 0, nullptr);
    EXPECT_EQ(0u, state->routing);
}

}  // namespace
