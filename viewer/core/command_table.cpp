#include "command_table.h"

#include <cstring>

const char* const kCommandNames[kCommandCount + 1] = {
    "SYS_GUIDE", "DOS_POWER", "SYS_TV_POWER", "TV_MAIN_SUB", "TV_SIZE",
    "CD_PLAY",   "CD_STOP",   "CD_PREV",      "TV_CH_UP",    "TV_CH_DOWN",
    "TV_VIDEO",  "VIDEO_CAPTURE", "VIDEO_FREEZE", nullptr,
};

int32_t FindCommand(const char* name) {
    if (!name) return -1;
    for (int32_t i = 0; kCommandNames[i]; ++i)
        if (std::strcmp(kCommandNames[i], name) == 0) return i;
    return -1;
}

DispatchDecision DecideDispatch(const char* name, const DispatchContext& c) {
    if (!name) return {DispatchAction::kRefuse, -1, false};
    if (std::strcmp(name, "SYS_TV_POWER") == 0) return {DispatchAction::kRunPowerNow, -1, false};
    if (c.commandBusy) return {DispatchAction::kRefuse, -1, false};
    // A message box or dialog is up.
    if ((c.mainWindowExists && !c.mainWindowEnabled) || (c.tunerPanelExists && !c.tunerPanelEnabled))
        return {DispatchAction::kRefuse, -1, false};
    int32_t row = FindCommand(name);
    if (row >= 0) return {DispatchAction::kQueueTable, row, true};
    if (c.voiceReceiverExists) return {DispatchAction::kQueueVoice, kCommandCount, true};
    return {DispatchAction::kRefuse, kCommandCount, true};
}
