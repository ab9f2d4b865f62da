#include "viewer_state.h"

#include <cstring>

ViewerState g_viewer;

void InitViewerState() {
    std::memset(&g_viewer, 0, sizeof g_viewer);
    g_viewer.commandIndex = -1;
    g_viewer.desktopSizeNotice = 1;
}
