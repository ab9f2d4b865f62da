// The toolkit's application-wide timer: 100 ms, identifier 500, no window.
#include <windows.h>

#include "skin_bitmap.h"
#include "skin_gdi.h"
#include "skin_node.h"
#include "tip_window.h"
#include "window_hooks.h"

namespace {

UINT_PTR g_timer = 0;

void CALLBACK SkinTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    Tooltips().Tick();
    if (SkinRepeatTick()) ViewerPeriodicTick();
}

}  // namespace

void StartSkinTimer() {
    InstallSkinResourceLoader();
    g_timer = SetTimer(nullptr, 500, 100, SkinTimerProc);
}

void StopSkinTimer() {
    if (g_timer) KillTimer(nullptr, g_timer);
    g_timer = 0;
    FreeSkinBitmaps();
}
