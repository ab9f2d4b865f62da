// The viewer's mixer preparation over the system's mixer functions (the hw seam).
#pragma once

// 0 prepared, 1 no board mixer, 3 the mixer could not be opened. Keeps its memory in g_viewer.
int PrepareViewerMixer();
// Puts back every control that the preparation changed; may run more than once.
void RestoreViewerMixer();
