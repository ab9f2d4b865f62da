// The caption of the panel-only window: its painter and its drag handler, shared with the main
// window's frame.
#pragma once
#include <windows.h>

#include "skin_node.h"

// Draws the caption element: an etched frame, the background, and "LOGO" while a window of
// this process is active, else "LOGO2".
void PaintCaption(HDC dc, const SkinRect& windowRect);

// The caption element's raw action: drags the host window by an outline, moving it on release.
void CaptionDrag(SkinNode* element, uint32_t message, int32_t x, int32_t y);
