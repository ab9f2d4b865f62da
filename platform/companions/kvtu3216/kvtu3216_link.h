// The flat-thunk link between kvtun32.dll (32-bit side) and KVTU3216.DLL (16-bit side).
//
// The partner exports its thunk record "thk_ThunkData16". When kvtun32 attaches it loads the
// partner and connects: it stores its table of thunk-side entries in the record, and takes
// from it the partner's selector services. The partner's operations then call through the
// table; a 16-bit caller's far pointers (selector:offset) are mapped to flat pointers by the
// selector table the partner keeps per process.
//
// Argument forms are those of 16-bit callers: WORD for "a 16-bit value", SHORT for one that
// is widened with its sign, DWORD for 32-bit values and 16:16 far pointers. Every entry
// returns the 32-bit result that the 16-bit side hands back as DX (high word) : AX (low word).
#pragma once
#include <windows.h>

struct Kvtu3216Entries {
    DWORD(WINAPI* StillTV)(WORD ignored);
    DWORD(WINAPI* GetStatusTV)(void);
    DWORD(WINAPI* SelChannel)(DWORD channel);
    DWORD(WINAPI* SelVoiceMode)(WORD mode);
    DWORD(WINAPI* SelInputSrc)(WORD source);
    DWORD(WINAPI* GetInputSrc)(void);
    DWORD(WINAPI* SetBright)(SHORT level);
    DWORD(WINAPI* SetContrast)(WORD level);
    DWORD(WINAPI* SetColor)(WORD level);
    DWORD(WINAPI* SetHue)(SHORT level);
    DWORD(WINAPI* StillTV2)(WORD flag);
    DWORD(WINAPI* SetVoice)(SHORT flag);
    DWORD(WINAPI* TrueTo256)(DWORD farSource, DWORD farDestination);
    DWORD(WINAPI* GetInstance)(void);
    DWORD(WINAPI* GetUseTuner)(void);
    DWORD(WINAPI* SetMute)(SHORT flag);
    DWORD(WINAPI* SaveConfig)(void);
    DWORD(WINAPI* MoveOverLayPos)(WORD direction);
    DWORD(WINAPI* GetOverLayPos)(SHORT axis);
    DWORD(WINAPI* SetOverLayPos)(SHORT axis, DWORD value);
    DWORD(WINAPI* SetDefOverLayPos)(SHORT width, SHORT height, SHORT bitsPerPixel);
    DWORD(WINAPI* SetColorMode)(WORD ignored);
    DWORD(WINAPI* SetWindowPosition)(WORD a, WORD b);
    DWORD(WINAPI* SetWindowPosition2)(WORD a, WORD b);
    DWORD(WINAPI* ConvSize)(DWORD farA, DWORD farB);
    DWORD(WINAPI* GetPnpAdr)(void);
    DWORD(WINAPI* UpdateVideo)(void);
    DWORD(WINAPI* GetPipeLine)(void);
};

constexpr DWORD kThunkData16Magic = 0x3631544B;  // "KT16"

// The partner's record, exported as "thk_ThunkData16".
struct ThunkData16 {
    DWORD magic;
    DWORD size;  // sizeof(ThunkData16)
    // Set by the 32-bit side while it is attached; null otherwise.
    const Kvtu3216Entries* volatile entries;
    // MapSLFix: the flat address of a 16:16 pointer, its selector fixed; null for a null or
    // unknown selector, or an offset beyond the selector's limit.
    void*(WINAPI* mapSLFix)(DWORD farPointer);
    // UnMapSLFixArray: releases the fixes of count pointers.
    void(WINAPI* unMapSLFixArray)(DWORD count, const DWORD* farPointers);
};
