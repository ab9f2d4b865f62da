#include "window_hooks.h"

#include <windows.h>

#include <string>

#include "handoff.h"
#include "osd.h"
#include "viewer_state.h"

void ViewerPeriodicTick() { OsdTickNow(); }

void WriteHandoffRecordOnExit() {
    std::string path = std::string(g_viewer.programDirectory) + "TVCTRL.QIF";
    WriteHandoffRecord(path.c_str());
}
