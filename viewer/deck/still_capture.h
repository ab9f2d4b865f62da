// Still pictures: grabbing one frame or an n x n mosaic through the capture window, making a
// picture the viewer's still (256 colours on a palette display, the clipboard), BMP files and
// the wallpaper.
#pragma once
#include <windows.h>

#include <cstdint>

// The deck's Record in Still mode: one frame (grid 1) or a mosaic of grid x grid frames taken
// intervalMs apart.
void CaptureStill(int32_t intervalMs, int32_t grid);
// A key frame from the capture window while in Still mode: the next cell of a running mosaic.
void MosaicStillFrame(const void* data, uint32_t bytes);

// Makes a packed picture in moveable memory (given up by the caller) the still: reduced to 256
// colours on a palette display and put on the clipboard. False when no still resulted.
bool StoreStill(HGLOBAL picture);

// Still mode's Load (true when a file became the still), Save and Wallpaper buttons.
bool LoadStill();
void SaveStill();
void MakeWallpaper();

// The still written as a BMP file: 0 written, 1 not opened (or no still), 2 write failed.
int WriteStillBmp(const char* path);

// A BMP file as a packed picture in moveable memory, or null; a refused file is told with a
// message when `tell` is set.
HGLOBAL ReadBmpFile(const char* path, bool tell);

// The still the DOS program left: it becomes the still and is shown in Still mode.
void TakeDosStill(HGLOBAL picture);
