// Loading a clip and saving it as an AVI file, copied or recompressed with a compressor chosen
// in the save dialog.
#pragma once

// Movie mode's Load: the open dialog, then the clip view of the chosen file.
void LoadClip();
// Movie mode's Save: reports its own failures.
void SaveClip();
// Closes the compressors the list holds open (at exit).
void FreeCompressorList();

// The save dialog's extra field.
constexpr int kSaveTemplate = 102;
constexpr int kCompressorList = 1000;
constexpr int kCompressorLabel = 1001;
