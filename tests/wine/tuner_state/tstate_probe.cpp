// Loads the tuner state from ZORTV.INI beside this program, applies it to kvtun32.dll, runs
// the steps named on the command line and saves the selection, as the tuner panel does from
// its creation to its destruction. Steps: a preset index to select, "up", "down", "source".
// Exit code: the result of the last preset selection (0 when none was asked for).
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "settings.h"
#include "tuner_state.h"
#include "tuner_state_win32.h"
#include "viewer_state.h"

int main(int argc, char** argv) {
    InitViewerState();
    DWORD n = GetModuleFileNameA(nullptr, g_viewer.programDirectory, sizeof g_viewer.programDirectory);
    if (n == 0 || n >= sizeof g_viewer.programDirectory) return 100;
    char* slash = std::strrchr(g_viewer.programDirectory, '\\');
    if (!slash) return 100;
    slash[1] = '\0';

    TunerState state{};
    state.soundKind = 2;
    LoadAll(state, ViewerSettings());
    ApplyAll(state, ViewerTuner());
    int result = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "up") == 0)
            StepChannel(state, ViewerTuner(), +1);
        else if (std::strcmp(argv[i], "down") == 0)
            StepChannel(state, ViewerTuner(), -1);
        else if (std::strcmp(argv[i], "source") == 0)
            ChangeSource(state, ViewerTuner());
        else
            result = SelectPreset(state, ViewerTuner(), static_cast<uint32_t>(std::atoi(argv[i])));
    }
    SaveOnExit(state, ViewerSettings(), ViewerTuner());
    return result;
}
