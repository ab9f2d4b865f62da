// Named commands: the table's names and the dispatch rules. Portable.
#pragma once
#include <cstdint>

constexpr int kCommandCount = 13;
// The names of the command table in row order; the row after the last has no name.
extern const char* const kCommandNames[kCommandCount + 1];

enum CommandRow : int32_t {
    kCmdSysGuide = 0,
    kCmdDosPower,
    kCmdSysTvPower,
    kCmdTvMainSub,
    kCmdTvSize,
    kCmdCdPlay,
    kCmdCdStop,
    kCmdCdPrev,
    kCmdTvChUp,
    kCmdTvChDown,
    kCmdTvVideo,
    kCmdVideoCapture,
    kCmdVideoFreeze,
};

// What the viewer's state says when a name arrives.
struct DispatchContext {
    bool commandBusy;
    bool mainWindowExists;
    bool mainWindowEnabled;
    bool tunerPanelExists;
    bool tunerPanelEnabled;
    bool voiceReceiverExists;
};

enum class DispatchAction {
    kRunPowerNow,  // "SYS_TV_POWER": run at once, answer 0
    kRefuse,       // answer 0, nothing queued
    kQueueTable,   // queue the table row; answer 1
    kQueueVoice,   // hand the name to the voice receiver and queue it; answer 1
};

struct DispatchDecision {
    DispatchAction action;
    // The row index the walk stopped at: the matching row, or kCommandCount when none
    // matched. Meaningful for kQueueTable, kQueueVoice and a refusal after the walk.
    int32_t rowIndex;
    // The walk ran (and so the stored row index changes and commandBusy was set).
    bool walked;
};

DispatchDecision DecideDispatch(const char* name, const DispatchContext& context);

// Row of an exact (case-sensitive) name, or -1.
int32_t FindCommand(const char* name);
