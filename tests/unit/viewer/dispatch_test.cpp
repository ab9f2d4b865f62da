#include <gtest/gtest.h>

#include "command_table.h"

namespace {

DispatchContext Idle() {
    DispatchContext c{};
    c.mainWindowExists = c.mainWindowEnabled = true;
    c.tunerPanelExists = c.tunerPanelEnabled = true;
    return c;
}

TEST(CommandTable, ThirteenNamesInTheirRowsThenNone) {
    EXPECT_EQ(0, FindCommand("SYS_GUIDE"));
    EXPECT_EQ(2, FindCommand("SYS_TV_POWER"));
    EXPECT_EQ(4, FindCommand("TV_SIZE"));
    EXPECT_EQ(8, FindCommand("TV_CH_UP"));
    EXPECT_EQ(12, FindCommand("VIDEO_FREEZE"));
    EXPECT_EQ(nullptr, kCommandNames[kCommandCount]);
    // Exact and case-sensitive.
    EXPECT_EQ(-1, FindCommand("tv_ch_up"));
    EXPECT_EQ(-1, FindCommand("TV_CH_UP "));
    EXPECT_EQ(-1, FindCommand(""));
}

TEST(Dispatch, ATableNameIsQueuedWithItsRow) {
    DispatchDecision d = DecideDispatch("CD_STOP", Idle());
    EXPECT_EQ(DispatchAction::kQueueTable, d.action);
    EXPECT_EQ(6, d.rowIndex);
}

TEST(Dispatch, ANameWhileAnotherIsQueuedIsRefused) {
    DispatchContext c = Idle();
    c.commandBusy = true;
    EXPECT_EQ(DispatchAction::kRefuse, DecideDispatch("TV_CH_UP", c).action);
    EXPECT_FALSE(DecideDispatch("TV_CH_UP", c).walked);
}

TEST(Dispatch, PowerIsNeverRefused) {
    DispatchContext c = Idle();
    c.commandBusy = true;
    c.mainWindowEnabled = false;
    c.tunerPanelEnabled = false;
    EXPECT_EQ(DispatchAction::kRunPowerNow, DecideDispatch("SYS_TV_POWER", c).action);
}

TEST(Dispatch, ADisabledWindowMeansABoxIsUp) {
    DispatchContext c = Idle();
    c.mainWindowEnabled = false;
    EXPECT_EQ(DispatchAction::kRefuse, DecideDispatch("CD_PLAY", c).action);
    c = Idle();
    c.tunerPanelEnabled = false;
    EXPECT_EQ(DispatchAction::kRefuse, DecideDispatch("CD_PLAY", c).action);
    // A window that does not exist does not block.
    c = Idle();
    c.mainWindowExists = c.mainWindowEnabled = false;
    c.tunerPanelExists = c.tunerPanelEnabled = false;
    EXPECT_EQ(DispatchAction::kQueueTable, DecideDispatch("CD_PLAY", c).action);
}

TEST(Dispatch, AnUnknownNameGoesToTheVoiceReceiverWhenThereIsOne) {
    DispatchContext c = Idle();
    c.voiceReceiverExists = true;
    DispatchDecision d = DecideDispatch("VCMD_TV_RED", c);
    EXPECT_EQ(DispatchAction::kQueueVoice, d.action);
    EXPECT_EQ(kCommandCount, d.rowIndex);
    c.voiceReceiverExists = false;
    d = DecideDispatch("VCMD_TV_RED", c);
    EXPECT_EQ(DispatchAction::kRefuse, d.action);
    EXPECT_TRUE(d.walked);
    EXPECT_EQ(DispatchAction::kRefuse, DecideDispatch(nullptr, c).action);
}

}  // namespace
