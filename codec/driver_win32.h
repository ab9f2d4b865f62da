// What the Win32 files of the driver share.
#pragma once
#include <windows.h>
#include <vfw.h>

#include "codec_instance.h"

namespace vancodc {

HINSTANCE ModuleHandle();
LRESULT ShowInfoDialog(HWND owner);
void ShowAboutBox(HWND owner, const char* description);
SharedCodecState& Shared();

// The draw messages.
LRESULT DrawQueryMessage(const void* format);
LRESULT DrawBegin(CodecInstance& instance, const ICDRAWBEGIN* begin);
LRESULT DrawFrame(CodecInstance& instance, const ICDRAW* request);
LRESULT DrawWindow(CodecInstance& instance, const RECT* rect);
LRESULT DrawEnd(CodecInstance& instance);
LRESULT DrawRealize(CodecInstance& instance, HDC dc, BOOL background);
LRESULT DrawGetPalette(CodecInstance& instance);
LRESULT DrawSuggestFormat(const ICDRAWSUGGEST* suggest);

}  // namespace vancodc
