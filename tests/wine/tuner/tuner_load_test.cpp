// Loading kvtun32.dll in other processes: the first initialises the board, a second does not,
// only the last to end puts the board to rest; a missing driver or partner is told and
// refuses the load; a failed probe is told and the library stays; VANVP.INI feeds the start.
#include <gtest/gtest.h>

#include <cstring>

#include "tuner_wine_util.h"

#include <mmsystem.h>
#include <mmddk.h>

using kivo::wt::Board;
using tunertest::Codes;
using tunertest::Helper;
using tunertest::MixerLog;
using tunertest::TunerLog;
using Seq = std::vector<uint32_t>;

namespace {

const Seq kProbe = {10, 29, 33};
const Seq kProbeAndInit = {10, 29, 33, 19, 18, 13, 28, 21, 21, 21, 21, 12, 28, 18};

void RemoveVanvp() { DeleteFileA(tunertest::WindowsFile("VANVP.INI").c_str()); }

// The mute switch (control 35) set by a process after `after`: its value, or -1.
int MuteSwitchSet(DWORD process, uint32_t after) {
    int value = -1;
    for (const auto& e : MixerLog(process, after)) {
        int32_t id = 0, first = 0;
        std::memcpy(&id, e.in, 4);
        std::memcpy(&first, e.in + 12, 4);
        if (e.code == MXDM_SETCONTROLDETAILS && id == 35 && e.result == 0) value = first;
    }
    return value;
}

// Answers the library's message box and gives its text.
std::string AnswerBox() {
    HWND box = kivo::wt::WaitForMessageBox("KVTUN32.DLL", 20000);
    if (!box) return "(no message box)";
    std::string text = kivo::wt::MessageBoxText(box);
    kivo::wt::AnswerMessageBox(box, IDOK);
    return text;
}

TEST(TunerLoad, TheSecondProcessDoesNotInitialiseAndOnlyTheLastPutsTheBoardToRest) {
    RemoveVanvp();
    Board::Reset("[mixer]\n35=0\n");
    Helper first;
    ASSERT_TRUE(first.WaitReady(20000));
    auto firstLog = TunerLog(first.Id());
    EXPECT_EQ(kProbeAndInit, Codes(firstLog));

    Helper second;
    ASSERT_TRUE(second.WaitReady(20000));
    EXPECT_EQ(kProbe, Codes(TunerLog(second.Id())));
    EXPECT_EQ(1u, Board::Snapshot()->initCount);

    uint32_t mark = Board::LogTotal();
    ASSERT_EQ(0, first.Quit());
    EXPECT_TRUE(TunerLog(first.Id(), mark).empty());
    EXPECT_EQ(-1, MuteSwitchSet(first.Id(), mark));
    EXPECT_EQ(0, Board::Snapshot()->mixer[1].values[0]);

    mark = Board::LogTotal();
    ASSERT_EQ(0, second.Quit());
    auto rest = TunerLog(second.Id(), mark);
    ASSERT_EQ(Seq{18}, Codes(rest));
    EXPECT_EQ(0xFB, rest[0].in[0]);
    EXPECT_EQ(1, MuteSwitchSet(second.Id(), mark));
    auto board = Board::Snapshot();
    EXPECT_EQ(0xFB, board->controlPort);
    EXPECT_EQ(35u, board->mixer[1].id);
    EXPECT_EQ(1, board->mixer[1].values[0]);

    // Nobody holds the initialisation mark any more: the next process initialises again.
    Helper third;
    ASSERT_TRUE(third.WaitReady(20000));
    EXPECT_EQ(kProbeAndInit, Codes(TunerLog(third.Id())));
    EXPECT_EQ(2u, Board::Snapshot()->initCount);
    EXPECT_EQ(0, third.Quit());
}

TEST(TunerLoad, AMissingDriverIsToldAndRefusesTheLoadHoldingNothing) {
    Board::Reset("[board]\npresent=0\n");
    Helper helper;
    ASSERT_TRUE(helper.Started());
    EXPECT_EQ("ZTUNER.VXDが見つかりません", AnswerBox());
    EXPECT_EQ(1, helper.Wait(20000));
    EXPECT_TRUE(Board::Log(board::kZtuner).empty());

    // The refused load gave its unit back: a process alone is again the last one.
    Board::Reset("[mixer]\n35=0\n");
    Helper alone;
    ASSERT_TRUE(alone.WaitReady(20000));
    uint32_t mark = Board::LogTotal();
    ASSERT_EQ(0, alone.Quit());
    EXPECT_EQ(Seq{18}, Codes(TunerLog(alone.Id(), mark)));
    EXPECT_EQ(1, MuteSwitchSet(alone.Id(), mark));
}

TEST(TunerLoad, AMissingPartnerIsToldAndRefusesTheLoad) {
    Board::Reset();
    kivo::wt::ScratchFolder folder(
        "tuner-nopartner", {"tuner_helper.exe", "kvtun32.dll", "ZTUNER.VXD", "KVBOARD.DLL", "BOARDMIX.DRV"});
    Helper helper(folder.Path());
    ASSERT_TRUE(helper.Started());
    EXPECT_EQ("KVTU3216.DLLが見つかりません", AnswerBox());
    EXPECT_EQ(1, helper.Wait(20000));
    EXPECT_TRUE(Board::Log(board::kZtuner).empty());

    // With the partner beside it the same folder loads.
    ASSERT_TRUE(folder.Copy("KVTU3216.DLL"));
    Helper again(folder.Path());
    ASSERT_TRUE(again.WaitReady(20000));
    EXPECT_EQ(kProbeAndInit, Codes(TunerLog(again.Id())));
    EXPECT_EQ(0, again.Quit());
}

TEST(TunerLoad, AFailedProbeIsToldButTheLibraryStaysAndInitialises) {
    for (const char* settings : {"[board]\nstatus=0\n", "[board]\nidentify=0x20\n", "[board]\nprobe=0\n"}) {
        Board::Reset(settings);
        Helper helper;
        ASSERT_TRUE(helper.Started());
        EXPECT_EQ("初期化に失敗しました", AnswerBox()) << settings;
        ASSERT_TRUE(helper.WaitReady(20000)) << settings;
        auto codes = Codes(TunerLog(helper.Id()));
        ASSERT_GE(codes.size(), 12u);
        EXPECT_EQ(13u, codes[codes.size() - 9]) << settings;  // the initialisation still ran
        EXPECT_EQ(0, helper.Quit());
    }
}

TEST(TunerLoad, VanvpIniFeedsTheInitialisation) {
    ASSERT_TRUE(kivo::wt::WriteFile(tunertest::WindowsFile("VANVP.INI"),
                                    "[NTSC - 640X480]\r\nX Offset=4\r\nY Offset=-2\r\n"
                                    "[SAA7110]\r\nBrightness=100\r\nContrast=50\r\nSaturation=40\r\n"
                                    "Hue=-32\r\nVideo_Source=1\r\n"));
    Board::Reset();
    Helper helper;
    ASSERT_TRUE(helper.WaitReady(20000));
    auto board = Board::Snapshot();
    EXPECT_EQ(100, board->decoder[0x19]);
    EXPECT_EQ(50, board->decoder[0x13]);
    EXPECT_EQ(40, board->decoder[0x12]);
    EXPECT_EQ(0xE0, board->decoder[0x07]);
    EXPECT_EQ(0x00, board->decoderInput);  // code 1: the tuner
    EXPECT_EQ(0, board->path);
    EXPECT_EQ(0, helper.Quit());

    // Any other code selects no input: the initialisation ends after the decoder.
    ASSERT_TRUE(kivo::wt::WriteFile(tunertest::WindowsFile("VANVP.INI"), "[SAA7110]\r\nVideo_Source=7\r\n"));
    Board::Reset();
    Helper other;
    ASSERT_TRUE(other.WaitReady(20000));
    EXPECT_EQ((Seq{10, 29, 33, 19, 18, 13, 28, 21, 21, 21, 21}), Codes(TunerLog(other.Id())));
    EXPECT_EQ(0x10, Board::Snapshot()->path);
    EXPECT_EQ(0, other.Quit());
    RemoveVanvp();
}

TEST(TunerLoad, AClientBoundByOrdinalAtLoadTimeWorks) {
    Board::Reset();
    kivo::wt::ChildProcess client;
    ASSERT_TRUE(client.Start("\"" + kivo::wt::InProgramFolder("tuner_linked.exe") + "\" 0x10026"));
    EXPECT_EQ(0, client.Wait(20000));
    EXPECT_EQ(88, Board::Snapshot()->channel);
}

}  // namespace
