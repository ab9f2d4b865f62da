// The seams to the hardware against the virtual board: requests reach ZTUNER.VXD and are
// logged, one board serves every process, the board's mixer follows the system's mixers.
#include <gtest/gtest.h>

#include <cstring>

#include "hwmixer.h"
#include "vxd.h"
#include "winetest.h"

using kivo::wt::Board;

namespace {

std::string Peer(const std::string& args) { return "\"" + kivo::wt::InProgramFolder("board_peer.exe") + "\" " + args; }

long RunPeer(const std::string& args) {
    kivo::wt::ChildProcess p;
    if (!p.Start(Peer(args))) return -2;
    return p.Wait(20000);
}

TEST(BoardDevice, RequestsReachTheBoardAndAreLoggedWithTheirBytes) {
    Board::Reset();
    HANDLE device = VxdOpen("ZTUNER.VXD");
    ASSERT_NE(INVALID_HANDLE_VALUE, device);

    DWORD probe = 0, returned = 0;
    ASSERT_TRUE(VxdControl(device, 10, nullptr, 0, &probe, 4, &returned, nullptr));
    EXPECT_NE(0u, probe);
    EXPECT_EQ(4u, returned);

    unsigned char nine = 9, id = 0;
    ASSERT_TRUE(VxdControl(device, 29, &nine, 1, &id, 1, &returned, nullptr));
    EXPECT_EQ(0x21, id);

    unsigned char channel[2] = {0x58, 0x00};
    ASSERT_TRUE(VxdControl(device, 16, channel, 2, nullptr, 0, &returned, nullptr));
    unsigned char reg[4] = {0x34, 0x02, 0xA4, 0x00};
    ASSERT_TRUE(VxdControl(device, 27, reg, 4, nullptr, 0, &returned, nullptr));
    unsigned char index = 0xA4, word[2] = {};
    ASSERT_TRUE(VxdControl(device, 25, &index, 1, word, 2, &returned, nullptr));
    EXPECT_EQ(0x34, word[0]);
    EXPECT_EQ(0x02, word[1]);
    EXPECT_FALSE(VxdControl(device, 77, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_TRUE(VxdClose(device));

    auto log = Board::Log(board::kZtuner);
    ASSERT_EQ(6u, log.size());
    const uint32_t codes[] = {10, 29, 16, 27, 25, 77};
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(codes[i], log[i].code) << i;
        EXPECT_EQ(GetCurrentProcessId(), log[i].process);
    }
    EXPECT_EQ(1u, log[1].inLength);
    EXPECT_EQ(9, log[1].in[0]);
    EXPECT_EQ(0x21, log[1].out[0]);
    EXPECT_EQ(2u, log[2].inLength);
    EXPECT_EQ(0x58, log[2].in[0]);
    EXPECT_EQ(0x00, log[2].in[1]);
    EXPECT_EQ(4u, log[3].inLength);
    EXPECT_EQ(0xA4, log[3].in[2]);
    EXPECT_EQ(2u, log[4].returned);
    EXPECT_EQ(0, log[5].result);
}

TEST(BoardDevice, TwoProcessesSeeOneBoard) {
    Board::Reset("[sound]\n5=stereo\n");
    HANDLE device = VxdOpen("ZTUNER.VXD");
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    DWORD returned = 0;
    unsigned char path = 0, input = 0;
    VxdControl(device, 12, &input, 1, nullptr, 0, &returned, nullptr);
    VxdControl(device, 28, &path, 1, nullptr, 0, &returned, nullptr);

    ASSERT_EQ(0, RunPeer("tune 5"));

    unsigned char port[2] = {};
    ASSERT_TRUE(VxdControl(device, 19, nullptr, 0, port, 2, &returned, nullptr));
    EXPECT_EQ(board::kSoundStereo, (port[0] >> 4) & 7);
    EXPECT_EQ(5, Board::Snapshot()->channel);
    VxdClose(device);

    auto tunes = Board::Log(board::kZtuner);
    ASSERT_EQ(4u, tunes.size());
    EXPECT_EQ(16u, tunes[2].code);
    EXPECT_NE(GetCurrentProcessId(), tunes[2].process);
}

TEST(BoardDevice, AMissingDeviceFailsTheOpen) {
    EXPECT_EQ(INVALID_HANDLE_VALUE, VxdOpen("NOSUCH.VXD"));
    // A fresh process, since a module already loaded here would not be asked again.
    Board::Reset("[board]\npresent=0\n");
    EXPECT_EQ(1, RunPeer("open"));
    Board::Reset();
    EXPECT_EQ(0, RunPeer("open"));
}

TEST(BoardMixer, TheBoardsDeviceFollowsTheSystemsWithProductId23) {
    Board::Reset("[mixer]\n33=500\n35=1\n");
    UINT system = mixerGetNumDevs();
    UINT all = HwMixerGetNumDevs();
    ASSERT_EQ(system + 1, all);
    for (UINT i = 0; i < system; ++i) {
        MIXERCAPSA caps = {};
        ASSERT_EQ(MMSYSERR_NOERROR, HwMixerGetDevCapsA(i, &caps, sizeof caps));
        EXPECT_NE(23, caps.wPid) << i;
    }
    MIXERCAPSA caps = {};
    ASSERT_EQ(MMSYSERR_NOERROR, HwMixerGetDevCapsA(system, &caps, sizeof caps));
    EXPECT_EQ(23, caps.wPid);
    EXPECT_EQ(MMSYSERR_BADDEVICEID, HwMixerGetDevCapsA(all, &caps, sizeof caps));

    HMIXER mixer = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, HwMixerOpen(&mixer, system, 0, 0, 0));
    LONG value[2] = {};
    MIXERCONTROLDETAILS d = {};
    d.cbStruct = sizeof d;
    d.dwControlID = 33;
    d.cChannels = 1;
    d.cMultipleItems = 1;
    d.cbDetails = 4;
    d.paDetails = value;
    auto object = reinterpret_cast<HMIXEROBJ>(mixer);
    ASSERT_EQ(MMSYSERR_NOERROR, HwMixerGetControlDetailsA(object, &d, MIXER_OBJECTF_HMIXER));
    EXPECT_EQ(500, value[0]);
    value[0] = value[1] = 0x7FFF;
    ASSERT_EQ(MMSYSERR_NOERROR, HwMixerSetControlDetails(object, &d, MIXER_OBJECTF_HMIXER));
    value[0] = 0;
    ASSERT_EQ(MMSYSERR_NOERROR, HwMixerGetControlDetailsA(object, &d, MIXER_OBJECTF_HMIXER));
    EXPECT_EQ(0x7FFF, value[0]);
    d.dwControlID = 99;
    EXPECT_EQ(static_cast<MMRESULT>(MIXERR_INVALCONTROL),
              HwMixerGetControlDetailsA(object, &d, MIXER_OBJECTF_HMIXER));
    EXPECT_EQ(MMSYSERR_NOERROR, HwMixerClose(mixer));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, HwMixerClose(mixer));

    auto log = Board::Log(board::kBoardMix);
    ASSERT_GE(log.size(), 5u);
    // open, read, set (33 = 0x7FFF), read, refused read, close
    std::vector<uint32_t> codes;
    for (auto& e : log) codes.push_back(e.code);
    EXPECT_EQ(3u, codes[codes.size() - 6]);  // MXDM_OPEN
    const auto& set = log[log.size() - 4];
    EXPECT_EQ(8u, set.code);  // MXDM_SETCONTROLDETAILS
    int32_t id = 0, first = 0;
    std::memcpy(&id, set.in, 4);
    std::memcpy(&first, set.in + 12, 4);
    EXPECT_EQ(33, id);
    EXPECT_EQ(0x7FFF, first);
    EXPECT_EQ(4u, codes.back());  // MXDM_CLOSE
}

TEST(BoardMixer, WithoutTheBoardsMixerOnlyTheSystemsAreListed) {
    Board::Reset("[board]\nmixer=0\n");
    EXPECT_EQ(mixerGetNumDevs(), HwMixerGetNumDevs());
    Board::Reset();
}

}  // namespace
