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


bool MultiScreenSelection(int*, int*, int*, int*) { return false; }
void ExitMultiScreen(int) {}
void EnterMultiScreen() {}
void FinishMultiScreen() {}
void MultiScreenKey(unsigned, unsigned, unsigned) {}
void MultiScreenSizeRule(int32_t&, int32_t&) {}
void PaintMultiScreen(HDC, const RECT&) {}
void MultiScreenClick(int32_t, int32_t) {}
void MultiScreenFrame(const void*, uint32_t) {}
