// kvtun32.dll: the tuner control library. Clients bind these by ordinal (the number beside
// each). Results: 0 for success and -1 for a rejected argument unless stated otherwise.
#pragma once
#include <windows.h>

#ifdef KVTUN32_BUILD
#define KVTUN32_API extern "C"
#else
#define KVTUN32_API extern "C" __declspec(dllimport)
#endif

KVTUN32_API LONG WINAPI StillTV(LONG ignored);                          // 2, always -1
KVTUN32_API LONG WINAPI GetStatusTV(void);                              // 3, 0..5
KVTUN32_API LONG WINAPI SelChannel(DWORD channel);                      // 4, bit 16: cable
KVTUN32_API LONG WINAPI SelVoiceMode(DWORD mode);                       // 5, 0, 1 or 3
KVTUN32_API LONG WINAPI SelInputSrc(DWORD source);                      // 6, 0, 5, 10 or 15
KVTUN32_API LONG WINAPI GetInputSrc(void);                              // 7, flag byte
KVTUN32_API LONG WINAPI SetBright(LONG level);                          // 8, -32..31
KVTUN32_API LONG WINAPI SetContrast(DWORD level);                       // 9, 24..87
KVTUN32_API LONG WINAPI SetColor(DWORD level);                          // 10, 0..165
KVTUN32_API LONG WINAPI SetHue(LONG level);                             // 11, -64..63
KVTUN32_API LONG WINAPI StillTV2(DWORD freeze);                         // 12, 1 freeze, 0 release
KVTUN32_API LONG WINAPI SetVoice(LONG on);                              // 13, mixer result
KVTUN32_API LONG WINAPI TrueTo256(LPVOID source, LPVOID destination);   // 14, 0, -1, -2
KVTUN32_API LONG WINAPI GetInstance(void);                              // 15, 1 or 0
KVTUN32_API LONG WINAPI GetUseTuner(void);                              // 16, 0 or 1
KVTUN32_API LONG WINAPI SetMute(LONG mute);                             // 17
KVTUN32_API LONG WINAPI SaveConfig(void);                               // 18, always 0
KVTUN32_API LONG WINAPI MoveOverLayPos(DWORD direction);                // 19, 0..3
KVTUN32_API LONG WINAPI GetOverLayPos(LONG axis);                       // 20, start << 16 | end
KVTUN32_API LONG WINAPI SetOverLayPos(LONG axis, DWORD startEnd);       // 21
KVTUN32_API LONG WINAPI SetDefOverLayPos(LONG width, LONG height, LONG bitsPerPixel);  // 22
KVTUN32_API LONG WINAPI SetColorMode(LONG ignored);                     // 23, always 0
KVTUN32_API LONG WINAPI SetWindowPosition(LONG a, LONG b);              // 24, always -1
KVTUN32_API LONG WINAPI SetWindowPosition2(LONG a, LONG b);             // 25, always -1
KVTUN32_API LONG WINAPI ConvSize(LPVOID a, LPVOID b);                   // 26, always -1
KVTUN32_API LONG WINAPI GetPnpAdr(void);                                // 27, always 0
KVTUN32_API LONG WINAPI UpdateVideo(void);                              // 28, always -1
KVTUN32_API LONG WINAPI GetPipeLine(void);                              // 29, always 0
